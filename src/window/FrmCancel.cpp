#include "FrmCancel.h"

#include "Form1.h"
#include "Twips.h"
#include "conversion/Batch.h"

#include <QLabel>
#include <QPushButton>

FrmCancel::FrmCancel(Form1& form)
    // A window of its own: disabling the main window must not disable the question.
    : QDialog(nullptr)
    , form_(form)
{
    setObjectName(QStringLiteral("frmCancel"));
    setWindowTitle(QStringLiteral("Reelpocket"));
    setModal(false);
    setFixedSize(ToPixels(4800), ToPixels(1800));
    lblMsg = new QLabel(this);
    lblMsg->setObjectName(QStringLiteral("lblMsg"));
    lblMsg->setWordWrap(true);
    lblMsg->setAlignment(Qt::AlignCenter);
    PlaceTwips(lblMsg, 240, 180, 4320, 720);
    cmdYes = new QPushButton(this);
    cmdYes->setObjectName(QStringLiteral("cmdYes"));
    PlaceTwips(cmdYes, 600, 1080, 1560, 495);
    cmdNo = new QPushButton(this);
    cmdNo->setObjectName(QStringLiteral("cmdNo"));
    PlaceTwips(cmdNo, 2640, 1080, 1560, 495);
    cmdNo->setDefault(true);
    connect(cmdYes, &QPushButton::clicked, this, [this] { form_.batch->ConfirmCancel(); });
    connect(cmdNo, &QPushButton::clicked, this, [this] { form_.batch->DeclineCancel(); });
}

void FrmCancel::Load()
{
    cmdYes->setText(T(form_, QStringLiteral("cmdYes")));
    cmdNo->setText(T(form_, QStringLiteral("cmdNo")));
    lblMsg->setText(T(form_, QStringLiteral("cmdCancel_confirm")));
    show();
    const QRect main = form_.frameGeometry();
    move(main.left() + main.width() / 2 - frameGeometry().width() / 2,
         main.top() + main.height() / 2 - frameGeometry().height() / 2);
    raise();
    activateWindow();
}

void FrmCancel::reject()
{
    if (isVisible())
        form_.batch->DeclineCancel();
}
