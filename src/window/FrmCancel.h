#pragma once

#include <QDialog>

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

    QLabel* lblMsg;
    QPushButton* cmdYes;
    QPushButton* cmdNo;

protected:
    // Escape or the title bar's close button: the same as No, so the main window never stays disabled.
    void reject() override;

private:
    Form1& form_;
};
