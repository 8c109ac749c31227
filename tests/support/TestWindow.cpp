#include "TestWindow.h"

#include "update/VersionCheck.h"
#include "window/CancelDialog.h"
#include "window/DestinationField.h"
#include "window/ProgressPanel.h"
#include "window/SourceList.h"
#include "window/TabControl.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTextEdit>
#include <gtest/gtest.h>

QApplication& TestApp()
{
    static int argc = 1;
    static char name[] = "reelpocket-tests";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        // Offscreen unless the caller chose a platform (a display with a window manager, say).
        if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QApplication(argc, argv);
    }();
    return *app;
}

namespace {
template <typename T> T* Named(QObject& root, const char* name)
{
    T* found = root.findChild<T*>(QLatin1String(name));
    if (!found)
        ADD_FAILURE() << "the window has no " << name;
    return found;
}

template <typename T> T* OfType(QObject& root)
{
    T* found = root.findChild<T*>();
    if (!found)
        ADD_FAILURE() << "the window has no " << T::staticMetaObject.className();
    return found;
}
} // namespace

CancelDialog* CancelQuestion(const MainWindow& form)
{
    for (QWidget* window : QApplication::topLevelWidgets()) {
        auto* question = qobject_cast<CancelDialog*>(window);
        if (question && &question->Owner() == &form)
            return question;
    }
    ADD_FAILURE() << "the window has no cancel question";
    return nullptr;
}

FormControls::FormControls(MainWindow& form)
    : form(form)
    , batch(OfType<Batch>(form))
    , versionCheck(OfType<VersionCheck>(form))
    , frmCancel(CancelQuestion(form))
    , lblMsg(Named<QLabel>(*frmCancel, "lblMsg"))
    , cmdYes(Named<QPushButton>(*frmCancel, "cmdYes"))
    , cmdNo(Named<QPushButton>(*frmCancel, "cmdNo"))
    , tabMain(Named<TabControl>(form, "tabMain"))
    , frameCheckVersion(Named<QFrame>(form, "frameCheckVersion"))
    , lblCheckVersion(Named<QLabel>(form, "lblCheckVersion"))
    , cmdGetNewVersion(Named<QPushButton>(form, "cmdGetNewVersion"))
    , lstSource(Named<SourceList>(form, "lstSource"))
    , cmdSourceFile(Named<QPushButton>(form, "cmdSourceFile"))
    , destinationField(Named<DestinationField>(form, "destinationField"))
    , txtDestination(Named<QLineEdit>(form, "txtDestination"))
    , cmdDestination(Named<QPushButton>(form, "cmdDestination"))
    , lblSubtitlesTip(Named<QLabel>(form, "lblSubtitlesTip"))
    , chkSubtitles(Named<QCheckBox>(form, "chkSubtitles"))
    , cmdCancel(Named<QPushButton>(form, "cmdCancel"))
    , cmdConvert(Named<QPushButton>(form, "cmdConvert"))
    , lblStatus(Named<ProgressPanel>(form, "lblStatus"))
    , lblPercent(Named<QLabel>(form, "lblPercent"))
    , lblTimeElapsed(Named<QLabel>(form, "lblTimeElapsed"))
    , lblTimeE(Named<QLabel>(form, "lblTimeE"))
    , lblTimeRemaining(Named<QLabel>(form, "lblTimeRemaining"))
    , lblTimeR(Named<QLabel>(form, "lblTimeR"))
    , pBar(Named<QProgressBar>(form, "pBar"))
    , lblLanguage(Named<QLabel>(form, "lblLanguage"))
    , comboLanguage(Named<QComboBox>(form, "comboLanguage"))
    , chkOverwrite(Named<QCheckBox>(form, "chkOverwrite"))
    , chkShowPutiPhone(Named<QCheckBox>(form, "chkShowPutiPhone"))
    , chkFullHD(Named<QCheckBox>(form, "chkFullHD"))
    , chk4K(Named<QCheckBox>(form, "chk4K"))
    , txtAbout(Named<QTextEdit>(form, "txtAbout"))
    , lblContact(Named<QLabel>(form, "lblContact"))
    , cmdDonate(Named<QPushButton>(form, "cmdDonate"))
{
}

TestWindow::TestWindow(const QString& language, const QString& site)
{
    TestApp();
    fake.system->folder = programFolder();
    lang.CurrentLanguage = language;
    LoadLanguageFile(lang, QDir(programFolder()).filePath(QStringLiteral("Languages")));
    form = std::make_unique<MainWindow>(fake.platform, lang, site);
    form->ApplyWindowTexts();
    controls = std::make_unique<FormControls>(*form);
}

void TestWindow::addSources(const QStringList& paths)
{
    controls->lstSource->addItems(paths);
}

void TestWindow::startConversion()
{
    batch().StartConversion(form->Sources(), controls->txtDestination->text(), form->CurrentBatchOptions());
}
