#include "DesktopNotifier.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QGuiApplication>

namespace {
const QString Service = QStringLiteral("org.freedesktop.Notifications");
const QString Path = QStringLiteral("/org/freedesktop/Notifications");
const QString Interface = QStringLiteral("org.freedesktop.Notifications");
const QString OpenAction = QStringLiteral("open-folder");
} // namespace

DesktopNotifier::DesktopNotifier(QDBusConnection bus, std::function<void(const QString&)> openFolder)
    : bus_(std::move(bus))
    , openFolder_(std::move(openFolder))
{
    if (bus_.isConnected())
        bus_.connect(Service, Path, Interface, QStringLiteral("ActionInvoked"), this,
                     SLOT(actionInvoked(uint, QString)));
}

void DesktopNotifier::notify(const QString& text, const QString& actionText, const QString& folder)
{
    // Someone watching the window sees the outcome there.
    if (QGuiApplication::focusWindow())
        return;
    send(text, actionText, folder);
}

void DesktopNotifier::send(const QString& text, const QString& actionText, const QString& folder)
{
    if (!bus_.isConnected())
        return;
    // Nothing waits for the service: without one, the question goes unanswered and nothing follows.
    const QDBusMessage question = QDBusMessage::createMethodCall(Service, Path, Interface, "GetCapabilities");
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(question, 5000), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher, text, actionText, folder] {
        const QDBusPendingReply<QStringList> capabilities = *watcher;
        watcher->deleteLater();
        if (capabilities.isValid())
            show(text, actionText, folder, capabilities.value().contains(QStringLiteral("actions")));
    });
}

void DesktopNotifier::show(const QString& text, const QString& actionText, const QString& folder, bool actions)
{
    QDBusMessage message = QDBusMessage::createMethodCall(Service, Path, Interface, "Notify");
    const QStringList actionList = actions && !folder.isEmpty() ? QStringList {OpenAction, actionText} : QStringList();
    message << QStringLiteral("Reelpocket") << uint(0) << QGuiApplication::desktopFileName()
            << QStringLiteral("Reelpocket") << text << actionList << QVariantMap() << int(-1);
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(message), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher, folder, actions] {
        const QDBusPendingReply<uint> reply = *watcher;
        if (reply.isValid() && actions)
            folders_.insert(reply.value(), folder);
        watcher->deleteLater();
    });
}

void DesktopNotifier::actionInvoked(uint id, const QString& action)
{
    if (action == OpenAction && folders_.contains(id))
        openFolder_(folders_.take(id));
}
