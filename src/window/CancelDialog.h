#pragma once

#include <QDialog>
#include <QMargins>

class QLabel;
class QPushButton;
struct Localisation;

// The modeless question "cancel the conversion?". The batch keeps running while it is open.
class CancelDialog : public QDialog
{
    Q_OBJECT
public:
    // A window of its own, centred on `mainWindow`: disabling the main window must not disable it.
    CancelDialog(const Localisation& lang, QWidget& mainWindow);
    // Sets the texts and shows the dialog centred on the main window.
    void Load();
    // The window system has reported the dialog's frame; the first one after opening centres it again.
    void FrameChanged(const QMargins& frame);
    const QWidget& Owner() const { return mainWindow_; }

signals:
    void confirmed();
    void declined();

protected:
    // Escape or the title bar's close button: the same as No, so the main window never stays disabled.
    void reject() override;
    bool event(QEvent* event) override;

private:
    void Centre();
    const Localisation& lang_;
    QWidget& mainWindow_;
    QLabel* lblMsg_;
    QPushButton* cmdYes_;
    QPushButton* cmdNo_;
    QMargins frame_;
    bool centring_ = false;
};
