#include "ProgressPanel.h"

#include "ProgressBar.h"
#include "StatusColours.h"
#include "Twips.h"

#include <QLabel>

namespace {
QLabel* NewLabel(QWidget* parent, const char* name, const QString& text = QString())
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    return label;
}
} // namespace

ProgressPanel::ProgressPanel(QWidget* parent)
    : QGroupBox(parent)
    , lblPercent_(NewLabel(this, "lblPercent", QStringLiteral("0%")))
    , lblTimeElapsed_(NewLabel(this, "lblTimeElapsed"))
    , lblTimeE_(NewLabel(this, "lblTimeE", QStringLiteral("00:00:00")))
    , lblTimeRemaining_(NewLabel(this, "lblTimeRemaining"))
    , lblTimeR_(NewLabel(this, "lblTimeR", QStringLiteral("00:00:00")))
    , pBar_(new QProgressBar(this))
{
    setObjectName(QStringLiteral("lblStatus"));
    // The status colour is the frame's caption colour only; its labels keep the ordinary text colour.
    for (QLabel* label : {lblPercent_, lblTimeElapsed_, lblTimeE_, lblTimeRemaining_, lblTimeR_})
        SetTextColour(label, label->palette().color(QPalette::WindowText));
    pBar_->setObjectName(QStringLiteral("pBar"));
    pBar_->setMinimum(0);
    pBar_->setTextVisible(false);
    SetBarMax(pBar_, 100);
    SetBarValue(pBar_, 0);
}

void ProgressPanel::ReturnToIdle(double maximumSeconds)
{
    // A bar left busy by an unknown duration stands still; its minimum never moves from 0.
    SetBarMax(pBar_, maximumSeconds);
    SetBarValue(pBar_, 0);
    lblTimeE_->setText(QStringLiteral("00:00:00"));
    lblTimeR_->setText(QStringLiteral("00:00:00"));
    lblPercent_->setText(QStringLiteral("0%"));
}

void ProgressPanel::SetTexts(const QString& elapsedCaption, const QString& remainingCaption)
{
    lblTimeElapsed_->setText(elapsedCaption);
    lblTimeRemaining_->setText(remainingCaption);
}

void ProgressPanel::SetAccessibleNames(const QString& bar, const QString& percent, const QString& elapsed,
                                       const QString& remaining)
{
    pBar_->setAccessibleName(bar);
    lblPercent_->setAccessibleName(percent);
    lblTimeE_->setAccessibleName(elapsed);
    lblTimeR_->setAccessibleName(remaining);
}

void ProgressPanel::ShowStatus(const QString& text)
{
    setTitle(text);
}

void ProgressPanel::ShowStatus(const QString& text, const QColor& designed)
{
    setTitle(text);
    SetStatusColour(this, designed);
}

void ProgressPanel::ShowMaximum(double seconds)
{
    SetBarMax(pBar_, seconds);
}

void ProgressPanel::ShowProgress(const ProgressDisplay& progress)
{
    if (progress.barValue)
        SetBarValue(pBar_, *progress.barValue);
    if (progress.remaining)
        lblTimeR_->setText(*progress.remaining);
    if (progress.barFull)
        SetBarValue(pBar_, BarMax(pBar_));
    if (progress.percent)
        lblPercent_->setText(*progress.percent);
}

void ProgressPanel::ShowElapsed(const QString& text)
{
    lblTimeE_->setText(text);
}

void ProgressPanel::ShowShare(const QString& percent, double share)
{
    lblPercent_->setText(percent);
    SetBarValue(pBar_, BarMax(pBar_) * share);
}
