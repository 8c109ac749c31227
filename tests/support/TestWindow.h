#pragma once

#include "FakePlatform.h"
#include "TestPaths.h"
#include "conversion/Batch.h"
#include "localisation/Language.h"
#include "window/DestinationField.h"
#include "window/MainWindow.h"
#include "window/ProgressPanel.h"
#include "window/SourceList.h"
#include "window/TabControl.h"

#include <QApplication>
#include <memory>

class CancelDialog;
class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTextEdit;
class VersionCheck;

// A configured product web site; the fake TCP client never connects to it.
inline const QString TestSite = QStringLiteral("http://site.test/");

// A QApplication for the whole test executable, offscreen.
QApplication& TestApp();

// The main window's parts as a screen reader or a test finds them: by object name (the batch, the version
// check and the cancel question by type). A part that is not there fails the test.
struct FormControls
{
    explicit FormControls(MainWindow& form);
    MainWindow& form;
    Batch* batch;
    VersionCheck* versionCheck;
    CancelDialog* frmCancel;
    QLabel* lblMsg;
    QPushButton* cmdYes;
    QPushButton* cmdNo;
    TabControl* tabMain;
    QFrame* frameCheckVersion;
    QLabel* lblCheckVersion;
    QPushButton* cmdGetNewVersion;
    SourceList* lstSource;
    QPushButton* cmdSourceFile;
    DestinationField* destinationField;
    QLineEdit* txtDestination;
    QPushButton* cmdDestination;
    QLabel* lblSubtitlesTip;
    QCheckBox* chkSubtitles;
    QPushButton* cmdCancel;
    QPushButton* cmdConvert;
    ProgressPanel* lblStatus;
    QLabel* lblPercent;
    QLabel* lblTimeElapsed;
    QLabel* lblTimeE;
    QLabel* lblTimeRemaining;
    QLabel* lblTimeR;
    QProgressBar* pBar;
    QLabel* lblLanguage;
    QComboBox* comboLanguage;
    QCheckBox* chkOverwrite;
    QCheckBox* chkShowPutiPhone;
    QCheckBox* chkFullHD;
    QCheckBox* chk4K;
    QTextEdit* txtAbout;
    QLabel* lblContact;
    QPushButton* cmdDonate;
};

// The cancel question the window opened (a window of its own).
CancelDialog* CancelQuestion(const MainWindow& form);

// The real main window over fake platform services, with the program's own language file loaded and the
// idle look applied, but without running start-up.
struct TestWindow
{
    explicit TestWindow(const QString& language = QStringLiteral("English"), const QString& site = TestSite);
    FakePlatform fake;
    Localisation lang;
    std::unique_ptr<MainWindow> form;
    std::unique_ptr<FormControls> controls;
    MainWindow& f() { return *form; }
    FormControls& c() const { return *controls; }
    // The text of a key in the window's current language.
    QString t(const QString& key) const { return Translate(lang, key); }
    Batch& batch() { return *controls->batch; }
    // What pressing Convert does.
    void startConversion();
    // Appends items to the source list behind the layout's back.
    void addSources(const QStringList& paths);
};
