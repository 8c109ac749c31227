#pragma once

#include "conversion/Jobs.h"
#include "conversion/ShellRpk.h"
#include "localisation/Language.h"
#include "platform/Platform.h"

#include <QWidget>
#include <memory>

class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTextEdit;
class QTimer;
class TabControl;
class FrmCancel;

// What start-up reads and the option controls keep.
struct ProgramOptions
{
    int OptOverwrite = 1;
    int OptShowPutiPhone = 1;
    QString SiteBaseUrl; // empty until start-up has finished; option clicks are ignored until then
    QString SystemFolder;
    int LayoutStep = 1200;
    int DragStartRow = 0;
};

struct VersionCheckState
{
    QString SiteHost;
    QString SitePath;
    QString VersionReply;
};

constexpr double ProgramVersion = 0.74;
constexpr int SingleLayoutHeight = 4695;

// Releasing a runner from inside one of its own events must not destroy it under its feet.
struct DeleteLaterRunner
{
    void operator()(ShellRpk* runner) const;
};
using RunnerRef = std::unique_ptr<ShellRpk, DeleteLaterRunner>;

// The main window. Its controls carry the names the rest of the program uses; the logic lives in
// plain functions over this window, one file per concern.
class Form1 : public QWidget
{
    Q_OBJECT
public:
    explicit Form1(Platform& platform, QWidget* parent = nullptr);
    ~Form1() override;

    // Starts a command line through a fresh runner held in S.
    void ShellRpk(const QString& cmd);
    // Ends the current runner: no further events come from it.
    void ReleaseRunner();

    int WindowHeightTwips() const;
    void SetWindowHeightTwips(double twips);

    Platform& platform;
    ConversionState conv;
    ProgramOptions opts;
    Localisation lang;
    VersionCheckState version;
    RunnerRef S;
    std::unique_ptr<TcpClient> Winsock1;

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
    QLineEdit* txtTime;
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
    // Working text box below the visible area
    QPlainTextEdit* txtInfo;

    QTimer* Timer;
    QTimer* timerCheckVersion;
    FrmCancel* frmCancel;

signals:
    // The window has unloaded (its state is saved); the program ends.
    void unloaded();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls();
    void connectEvents();
    void OptionClicked();
    bool unloaded_ = false;
};

// The text of a key in the current language.
QString T(const Form1& f, const QString& key);
