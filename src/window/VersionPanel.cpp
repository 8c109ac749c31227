#include "VersionPanel.h"

#include "StatusColours.h"
#include "Twips.h"
#include "localisation/Language.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QPointer>
#include <QPushButton>

namespace {
const QColor FailedColour(255, 0, 0);
const QColor OutcomeColour(0, 192, 0);
} // namespace

VersionPanel::VersionPanel(Platform& platform, const Localisation& lang, QWidget* parent)
    : QFrame(parent)
    , platform_(platform)
    , lang_(lang)
    , versionCheck_(new VersionCheck(platform, this))
    , lblCheckVersion_(new QLabel(this))
    , cmdGetNewVersion_(new QPushButton(this))
{
    setObjectName(QStringLiteral("frameCheckVersion"));
    setAutoFillBackground(true);
    setVisible(false);
    lblCheckVersion_->setObjectName(QStringLiteral("lblCheckVersion"));
    cmdGetNewVersion_->setObjectName(QStringLiteral("cmdGetNewVersion"));
    cmdGetNewVersion_->setVisible(false);
    connect(cmdGetNewVersion_, &QPushButton::clicked, this, &VersionPanel::downloadRequested);
    connect(versionCheck_, &VersionCheck::finished, this, &VersionPanel::ShowOutcome);
}

QString VersionPanel::T(const char* key) const
{
    return Translate(lang_, QLatin1String(key));
}

void VersionPanel::Start(const QString& url)
{
    ShowCheckText(T("cmdCheckVersion_ing"));
    versionCheck_->StartVersionCheck(url);
}

void VersionPanel::SetTexts(const QString& downloadCaption)
{
    SetTextColour(lblCheckVersion_, QApplication::palette().color(QPalette::ButtonText));
    cmdGetNewVersion_->setText(downloadCaption);
    cmdGetNewVersion_->setVisible(false);
}

// The window definition gives the label only a sliver of width; it grows to its text around the
// centre it was given there, so every outcome can be read.
void VersionPanel::ShowCheckText(const QString& text)
{
    QLabel* label = lblCheckVersion_;
    if (!labelCentre_)
        labelCentre_ = label->x() + label->width() / 2.0;
    label->setText(text);
    label->setAlignment(Qt::AlignCenter);
    const QSize hint = label->sizeHint();
    const int w = qMin(hint.width(), width());
    const int h = qMax(label->height(), hint.height());
    const int left = qBound(0, qRound(*labelCentre_ - w / 2.0), width() - w);
    label->setGeometry(left, label->y(), w, h);
}

void VersionPanel::ShowOutcome(VersionCheck::Outcome outcome)
{
    switch (outcome) {
    case VersionCheck::Outcome::Failed:
        SetStatusColour(lblCheckVersion_, FailedColour);
        ShowCheckText(T("cmdCheckVersion_nointernet"));
        break;
    case VersionCheck::Outcome::NewerVersion:
        SetStatusColour(lblCheckVersion_, OutcomeColour);
        ShowCheckText(T("cmdCheckVersion_yes"));
        // The panel stays up with the download button until the user acts.
        cmdGetNewVersion_->setVisible(true);
        return;
    case VersionCheck::Outcome::UpToDate:
        SetStatusColour(lblCheckVersion_, OutcomeColour);
        ShowCheckText(T("cmdCheckVersion_no"));
        break;
    }

    // The outcome is shown for a moment while the panel keeps the tabs out of reach. The moment counts
    // from when it is on screen: a check that ends before the window is first drawn must not end it unseen.
    waitingForPaint_ = true;
    lblCheckVersion_->installEventFilter(this);
    lblCheckVersion_->update();
}

bool VersionPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == lblCheckVersion_ && event->type() == QEvent::Paint && waitingForPaint_) {
        waitingForPaint_ = false;
        lblCheckVersion_->removeEventFilter(this);
        // Started once this paint has been delivered, so the outcome is on screen when the moment begins.
        QMetaObject::invokeMethod(
            this,
            [this] {
                platform_.system->pause(1500, [panel = QPointer<VersionPanel>(this)] {
                    if (panel)
                        emit panel->ended();
                });
            },
            Qt::QueuedConnection);
    }
    return QFrame::eventFilter(watched, event);
}
