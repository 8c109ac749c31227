#include "TestWindow.h"

#include "window/WindowTexts.h"

#include <QDir>
#include <QLineEdit>
#include <QListWidget>

QApplication& TestApp()
{
    static int argc = 1;
    static char name[] = "reelpocket-tests";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QApplication(argc, argv);
    }();
    return *app;
}

TestWindow::TestWindow(const QString& language)
{
    TestApp();
    fake.system->folder = programFolder();
    form = std::make_unique<Form1>(fake.platform);
    form->lang.CurrentLanguage = language;
    LoadLanguageFile(form->lang, QDir(programFolder()).filePath(QStringLiteral("Languages")));
    ApplyWindowTexts(*form);
    // As start-up leaves a build with a site; local help pages are tested on their own.
    form->links.SiteBaseUrl = TestSite;
    form->links.HelpFolder = QDir(programFolder()).filePath(QStringLiteral("help"));
}

void TestWindow::addSources(const QStringList& paths)
{
    form->lstSource->addItems(paths);
}

void TestWindow::startConversion()
{
    form->batch->StartConversion(form->Sources(), form->txtDestination->text(), form->CurrentBatchOptions());
}
