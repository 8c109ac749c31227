#include "VersionPanel.h"

#include "Form1.h"
#include "StatusColours.h"
#include "TabControl.h"
#include "Twips.h"
#include "WindowTexts.h"

#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QPointer>
#include <QPushButton>

namespace {
const QColor FailedColour(255, 0, 0);
const QColor OutcomeColour(0, 192, 0);
} // namespace

VersionPanel::VersionPanel(Form1& form)
    : QObject(&form)
    , f_(form)
{
}

void VersionPanel::Start(const QString& url)
{
    f_.frameCheckVersion->setVisible(true);
    // The panel covers the tabs for the mouse; the keyboard must not reach them either, or a batch
    // could start underneath and be reset when the check ends.
    f_.tabMain->setEnabled(false);
    ShowCheckText(T(f_, QStringLiteral("cmdCheckVersion_ing")));
    f_.versionCheck->StartVersionCheck(url);
}

// The window definition gives the label only a sliver of width; it grows to its text around the
// centre it was given there, so every outcome can be read.
void VersionPanel::ShowCheckText(const QString& text)
{
    QLabel* label = f_.lblCheckVersion;
    if (!labelCentre_)
        labelCentre_ = label->x() + label->width() / 2.0;
    label->setText(text);
    label->setAlignment(Qt::AlignCenter);
    const QSize hint = label->sizeHint();
    const int width = qMin(hint.width(), f_.frameCheckVersion->width());
    const int height = qMax(label->height(), hint.height());
    const int left = qBound(0, qRound(*labelCentre_ - width / 2.0), f_.frameCheckVersion->width() - width);
    label->setGeometry(left, label->y(), width, height);
}

void VersionPanel::ShowOutcome(VersionCheck::Outcome outcome)
{
    switch (outcome) {
    case VersionCheck::Outcome::Failed:
        SetStatusColour(f_.lblCheckVersion, FailedColour);
        ShowCheckText(T(f_, QStringLiteral("cmdCheckVersion_nointernet")));
        break;
    case VersionCheck::Outcome::NewerVersion:
        SetStatusColour(f_.lblCheckVersion, OutcomeColour);
        ShowCheckText(T(f_, QStringLiteral("cmdCheckVersion_yes")));
        // The panel stays up with the download button until the user acts.
        f_.cmdGetNewVersion->setVisible(true);
        return;
    case VersionCheck::Outcome::UpToDate:
        SetStatusColour(f_.lblCheckVersion, OutcomeColour);
        ShowCheckText(T(f_, QStringLiteral("cmdCheckVersion_no")));
        break;
    }

    // The outcome is shown for a moment while the panel keeps the tabs out of reach. The moment counts
    // from when it is on screen: a check that ends before the window is first drawn must not end it unseen.
    waitingForPaint_ = true;
    f_.lblCheckVersion->installEventFilter(this);
    f_.lblCheckVersion->update();
}

bool VersionPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == f_.lblCheckVersion && event->type() == QEvent::Paint && waitingForPaint_) {
        waitingForPaint_ = false;
        f_.lblCheckVersion->removeEventFilter(this);
        // Started once this paint has been delivered, so the outcome is on screen when the moment begins.
        QMetaObject::invokeMethod(
            this,
            [this] {
                f_.platform.system->pause(1500, [panel = QPointer<VersionPanel>(this)] {
                    if (panel)
                        panel->EndOutcome();
                });
            },
            Qt::QueuedConnection);
    }
    return QObject::eventFilter(watched, event);
}

void VersionPanel::EndOutcome()
{
    ApplyWindowTexts(f_);
    f_.frameCheckVersion->setVisible(false);
    f_.tabMain->setEnabled(true);
}
