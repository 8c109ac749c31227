#pragma once

#include "conversion/BatchOptions.h"
#include "conversion/BatchView.h"
#include "localisation/Language.h"
#include "platform/Platform.h"
#include "update/WebLinks.h"

#include <QMargins>
#include <QWidget>

class Batch;
class FrmCancel;
class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QTextEdit;
class TabControl;
class VersionCheck;
class VersionPanel;

// What start-up reads and the option controls keep.
struct ProgramOptions
{
    int OptOverwrite = 1;
    int OptShowPutiPhone = 1;
    QString SystemFolder;
    int LayoutStep = 1200;
    int DragStartRow = 0;
    QString LastSourceFolder; // where the open dialog starts; the system's choice while empty
};

constexpr int SingleLayoutHeight = 4695;

// The main window. Its controls carry the names the rest of the program uses; it shows what the batch
// and the version check decide.
class Form1 : public QWidget, public BatchView
{
    Q_OBJECT
public:
    explicit Form1(Platform& platform, QWidget* parent = nullptr);
    ~Form1() override;

    // The window's designed height is its outer height, title bar included.
    int WindowHeightTwips() const;
    void SetWindowHeightTwips(double twips);
    // The window system has reported the frame around the window (none offscreen, or before it is shown).
    void FrameChanged(const QMargins& frame);

    // The batch's settings as the window holds them now.
    BatchOptions CurrentBatchOptions() const;
    QStringList Sources() const;

    // What a batch shows.
    void ShowConverting() override;
    void ShowJobCounter(int job, int count) override;
    void ShowProgressMaximum(double seconds) override;
    void ShowProgress(const ProgressDisplay& progress) override;
    void ShowElapsed(const QString& text) override;
    void ShowFinished(const BatchSummary& summary) override;
    void ShowCancelled() override;
    void AskToCancel() override;
    void CancelAnswered(bool confirmed, bool closeWindow) override;

    Platform& platform;
    ProgramOptions opts;
    Localisation lang;
    WebLinks links;
    Batch* batch;
    VersionCheck* versionCheck;
    VersionPanel* versionPanel;

    TabControl* tabMain;
    QFrame* frameCheckVersion;
    QLabel* lblCheckVersion;
    QPushButton* cmdGetNewVersion;
    // Convert tab
    QListWidget* lstSource;
    QPushButton* cmdSourceFile;
    QLineEdit* txtDestination;
    QPushButton* cmdDestination;
    QLabel* lblSubtitlesTip;
    QCheckBox* chkSubtitles;
    QPushButton* cmdCancel;
    QPushButton* cmdConvert;
    QGroupBox* lblStatus;
    QLabel* lblPercent;
    QLabel* lblTimeElapsed;
    QLabel* lblTimeE;
    QLabel* lblTimeRemaining;
    QLabel* lblTimeR;
    QProgressBar* pBar;
    // Options tab
    QLabel* lblLanguage;
    QComboBox* comboLanguage;
    QCheckBox* chkOverwrite;
    QCheckBox* chkShowPutiPhone;
    // About tab
    QTextEdit* txtAbout;
    QLabel* lblContact;
    QPushButton* cmdDonate;
    FrmCancel* frmCancel;
    // Shown in grey while the source list is empty.
    QString sourceHint;

signals:
    // The window has unloaded (its state is saved); the program ends.
    void unloaded();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void createControls();
    void connectEvents();
    void OptionClicked();
    bool LinkEvent(QObject* watched, QEvent* event);
    bool unloaded_ = false;
    QMargins frame_;
};

// The text of a key in the current language.
QString T(const Form1& f, const QString& key);
