#pragma once

#include <QFrame>

class QLabel;
class QPushButton;
class QTimer;

// The countdown before what follows a batch, over the Convert button: its text with the seconds left, and
// a button that stops it.
class CountdownPanel : public QFrame
{
    Q_OBJECT
public:
    explicit CountdownPanel(QWidget* parent);
    // `text` makes the line for the seconds left; `stopCaption` is the button's.
    void Start(int seconds, std::function<QString(int)> text, const QString& stopCaption);
    void Stop();
    bool IsRunning() const;

signals:
    // The time has run out; the panel has gone.
    void ranOut();

private:
    void Tick();

    QLabel* lblCountdown_;
    QPushButton* cmdStopCountdown_;
    QTimer* timer_;
    std::function<QString(int)> text_;
    int left_ = 0;
};
