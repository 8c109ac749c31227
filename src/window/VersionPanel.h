#pragma once

#include "update/VersionCheck.h"

#include <QFrame>
#include <optional>

class QLabel;
class QPushButton;
struct Localisation;

// The panel that covers the tabs while the version check runs, and shows its outcome: for a moment, or
// with the download button until the user acts when a newer version exists.
class VersionPanel : public QFrame
{
    Q_OBJECT
public:
    VersionPanel(Platform& platform, const Localisation& lang, QWidget* parent);

    // Shows the "checking" caption and starts the check.
    void Start(const QString& url);
    void ShowOutcome(VersionCheck::Outcome outcome);
    // The idle look: the caption in the ordinary colour, the download button hidden.
    void SetTexts(const QString& downloadCaption);

signals:
    // The outcome has been on screen for its moment.
    void ended();
    void downloadRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QString T(const char* key) const;
    void ShowCheckText(const QString& text);

    Platform& platform_;
    const Localisation& lang_;
    VersionCheck* versionCheck_;
    QLabel* lblCheckVersion_;
    QPushButton* cmdGetNewVersion_;
    std::optional<double> labelCentre_;
    bool waitingForPaint_ = false;
};
