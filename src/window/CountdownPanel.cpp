#include "CountdownPanel.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>

CountdownPanel::CountdownPanel(QWidget* parent)
    : QFrame(parent)
    , lblCountdown_(new QLabel(this))
    , cmdStopCountdown_(new QPushButton(this))
    , timer_(new QTimer(this))
{
    setObjectName(QStringLiteral("frameWhenDone"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    lblCountdown_->setObjectName(QStringLiteral("lblCountdown"));
    cmdStopCountdown_->setObjectName(QStringLiteral("cmdStopCountdown"));
    timer_->setInterval(1000);
    connect(timer_, &QTimer::timeout, this, &CountdownPanel::Tick);
    connect(cmdStopCountdown_, &QPushButton::clicked, this, &CountdownPanel::Stop);
    hide();
}

void CountdownPanel::Start(int seconds, std::function<QString(int)> text, const QString& stopCaption)
{
    text_ = std::move(text);
    left_ = seconds;
    cmdStopCountdown_->setText(stopCaption);
    lblCountdown_->setText(text_(left_));
    show();
    raise();
    cmdStopCountdown_->setFocus();
    timer_->start();
    // No time at all runs out at once, on the event loop like every other tick.
    if (left_ <= 0) {
        timer_->stop();
        QTimer::singleShot(0, this, &CountdownPanel::Tick);
    }
}

void CountdownPanel::Stop()
{
    timer_->stop();
    hide();
}

bool CountdownPanel::IsRunning() const
{
    return isVisibleTo(parentWidget());
}

void CountdownPanel::Tick()
{
    if (!IsRunning())
        return;
    --left_;
    if (left_ > 0) {
        lblCountdown_->setText(text_(left_));
        return;
    }
    Stop();
    emit ranOut();
}
