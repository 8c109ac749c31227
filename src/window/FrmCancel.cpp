#include "FrmCancel.h"

#include "Form1.h"
#include "Twips.h"
#include "conversion/Batch.h"

#include <QEvent>
#include <QLabel>
#include <QPushButton>

FrmCancel::FrmCancel(Form1& form)
    // A window of its own: disabling the main window must not disable the question.
    : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
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
    // Centred now, and again once the window manager has put its frame around the dialog.
    centring_ = true;
    Centre();
    raise();
    activateWindow();
}

void FrmCancel::Centre()
{
    const QRect main = form_.frameGeometry();
    const QSize outer = size().grownBy(frame_);
    move(main.left() + main.width() / 2 - outer.width() / 2, main.top() + main.height() / 2 - outer.height() / 2);
}

void FrmCancel::FrameChanged(const QMargins& frame)
{
    if (frame == frame_)
        return;
    frame_ = frame;
    if (centring_) {
        centring_ = false;
        Centre();
    }
}

bool FrmCancel::event(QEvent* event)
{
    if (event->type() == QEvent::Move || event->type() == QEvent::Resize || event->type() == QEvent::Show) {
        FrameChanged(FrameMargins(this));
    }
    return QDialog::event(event);
}

void FrmCancel::reject()
{
    if (isVisible())
        form_.batch->DeclineCancel();
}
