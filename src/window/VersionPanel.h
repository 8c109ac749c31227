#pragma once

#include "update/VersionCheck.h"

#include <QObject>
#include <optional>

class Form1;

// The panel that covers the tabs while the version check runs, and shows its outcome.
class VersionPanel : public QObject
{
    Q_OBJECT
public:
    explicit VersionPanel(Form1& form);

    // Covers the tabs with the "checking" caption and starts the check.
    void Start(const QString& url);
    void ShowOutcome(VersionCheck::Outcome outcome);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ShowCheckText(const QString& text);
    // The outcome has been on screen for its moment: the normal window returns.
    void EndOutcome();
    Form1& f_;
    std::optional<double> labelCentre_;
    bool waitingForPaint_ = false;
};
