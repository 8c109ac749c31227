#pragma once

#include "platform/Platform.h"

#include <QDBusConnection>
#include <QObject>

// Notifications through the freedesktop notification service on the session bus.
class DesktopNotifier : public QObject, public Notifier
{
    Q_OBJECT
public:
    // `openFolder` opens a folder the way the desktop does (the shell's "open").
    DesktopNotifier(QDBusConnection bus, std::function<void(const QString&)> openFolder);
    void notify(const QString& text, const QString& actionText, const QString& folder) override;
    // Sends whatever the window's state: the caller decides when a notification is wanted.
    void send(const QString& text, const QString& actionText, const QString& folder);

private:
    // Actions are offered only where the service shows them.
    void show(const QString& text, const QString& actionText, const QString& folder, bool actions);
    Q_SLOT void actionInvoked(uint id, const QString& action);
    QDBusConnection bus_;
    std::function<void(const QString&)> openFolder_;
    QMap<uint, QString> folders_; // the folder of each notification that offers to open one
};
