#pragma once

#include <QDialog>
#include <QMargins>

class Form1;
class QLabel;
class QPushButton;

// The modeless question "cancel the conversion?". The batch keeps running while it is open.
class FrmCancel : public QDialog
{
    Q_OBJECT
public:
    explicit FrmCancel(Form1& form);
    // Sets the texts and shows the dialog centred on the main window.
    void Load();
    // The window system has reported the dialog's frame; the first one after opening centres it again.
    void FrameChanged(const QMargins& frame);

    QLabel* lblMsg;
    QPushButton* cmdYes;
    QPushButton* cmdNo;

protected:
    // Escape or the title bar's close button: the same as No, so the main window never stays disabled.
    void reject() override;
    bool event(QEvent* event) override;

private:
    void Centre();
    Form1& form_;
    QMargins frame_;
    bool centring_ = false;
};
