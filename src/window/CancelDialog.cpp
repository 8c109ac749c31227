#include "CancelDialog.h"

#include "Layout.h"
#include "Twips.h"
#include "localisation/Language.h"

#include <QEvent>
#include <QLabel>
#include <QPushButton>

namespace {
// The question's size and its controls, in twips.
constexpr int QuestionWidth = 4800;
constexpr int QuestionHeight = 1800;
const Placement QuestionLayout[] = {
    {"lblMsg", 240, 180, 4320, 720},
    {"cmdYes", 600, 1080, 1560, 495},
    {"cmdNo", 2640, 1080, 1560, 495},
};
} // namespace

CancelDialog::CancelDialog(const Localisation& lang, QWidget& mainWindow)
    : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , lang_(lang)
    , mainWindow_(mainWindow)
    , lblMsg_(new QLabel(this))
    , cmdYes_(new QPushButton(this))
    , cmdNo_(new QPushButton(this))
{
    setObjectName(QStringLiteral("frmCancel"));
    setWindowTitle(QStringLiteral("Reelpocket"));
    setModal(false);
    setFixedSize(ToPixels(QuestionWidth), ToPixels(QuestionHeight));
    lblMsg_->setObjectName(QStringLiteral("lblMsg"));
    lblMsg_->setWordWrap(true);
    lblMsg_->setAlignment(Qt::AlignCenter);
    cmdYes_->setObjectName(QStringLiteral("cmdYes"));
    cmdNo_->setObjectName(QStringLiteral("cmdNo"));
    cmdNo_->setDefault(true);
    PlaceControls(this, QuestionLayout);
    connect(cmdYes_, &QPushButton::clicked, this, &CancelDialog::confirmed);
    connect(cmdNo_, &QPushButton::clicked, this, &CancelDialog::declined);
}

void CancelDialog::Load()
{
    cmdYes_->setText(Translate(lang_, QStringLiteral("cmdYes")));
    cmdNo_->setText(Translate(lang_, QStringLiteral("cmdNo")));
    lblMsg_->setText(Translate(lang_, QStringLiteral("cmdCancel_confirm")));
    show();
    // Centred now, and again once the window manager has put its frame around the dialog.
    centring_ = true;
    Centre();
    raise();
    activateWindow();
}

void CancelDialog::Centre()
{
    const QRect main = mainWindow_.frameGeometry();
    const QSize outer = size().grownBy(frame_);
    move(main.left() + main.width() / 2 - outer.width() / 2, main.top() + main.height() / 2 - outer.height() / 2);
}

void CancelDialog::FrameChanged(const QMargins& frame)
{
    if (frame == frame_)
        return;
    frame_ = frame;
    if (centring_) {
        centring_ = false;
        Centre();
    }
}

bool CancelDialog::event(QEvent* event)
{
    if (event->type() == QEvent::Move || event->type() == QEvent::Resize || event->type() == QEvent::Show) {
        FrameChanged(FrameMargins(this));
    }
    return QDialog::event(event);
}

void CancelDialog::reject()
{
    if (isVisible())
        emit declined();
}
