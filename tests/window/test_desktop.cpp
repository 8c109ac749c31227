// The program as a Linux desktop knows it: arguments, per-user folders, help without a web site.
#include "conversion/Batch.h"
#include "desktop/DesktopServices.h"
#include "desktop/DesktopSystem.h"
#include "desktop/ProgramArguments.h"
#include "support/TestWindow.h"
#include "update/VersionCheck.h"
#include "update/WebLinks.h"
#include "window/Layout.h"
#include "window/SourceList.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

namespace {

struct ProgramRun
{
    int exitCode = -1;
    QString out;
    QString err;
};

// The real program with neither a display nor a Qt platform: only what needs no window can work.
ProgramRun RunProgram(const QStringList& args)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    env.remove("QT_QPA_PLATFORM");
    p.setProcessEnvironment(env);
    p.start(programFolder() + "/reelpocket", args);
    if (!p.waitForFinished(10000)) {
        p.kill();
        p.waitForFinished();
    }
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromLocal8Bit(p.readAllStandardOutput()), QString::fromLocal8Bit(p.readAllStandardError())};
}

} // namespace

TEST(CommandLine, HelpAndVersionPrintAndEndWithoutAWindow)
{
    const ProgramRun help = RunProgram({"--help"});
    EXPECT_EQ(help.exitCode, 0) << help.err.toStdString();
    EXPECT_TRUE(help.out.contains("Usage:")) << help.out.toStdString();
    EXPECT_TRUE(help.out.contains("--version"));
    const ProgramRun version = RunProgram({"--version"});
    EXPECT_EQ(version.exitCode, 0) << version.err.toStdString();
    EXPECT_EQ(version.out, "Reelpocket 0.74\n");
    const ProgramRun wrong = RunProgram({"--no-such-option"});
    EXPECT_EQ(wrong.exitCode, 2);
    EXPECT_TRUE(wrong.err.contains("no-such-option"));

    const ProgramArguments files = ReadProgramArguments({"reelpocket", "a.mp4", "b c.mkv"});
    EXPECT_FALSE(files.exitCode.has_value());
    EXPECT_EQ(files.files, QStringList({"a.mp4", "b c.mkv"}));
}

TEST(CommandLine, OneOfTheThreeOutputsReachesTheBatch)
{
    Preferences savedFullHd;
    savedFullHd.optFullHD = true;
    const struct
    {
        QStringList options;
        OutputFormat format; // over a saved Full HD
    } rows[] = {
        {{}, OutputFormat::FullHd},
        {{"--4k"}, OutputFormat::FourK},
        {{"--no-full-hd"}, OutputFormat::Classic},
        {{"--full-hd"}, OutputFormat::FullHd},
    };
    for (const auto& row : rows) {
        const ProgramArguments read = ReadProgramArguments(QStringList {"reelpocket", "--convert"} + row.options);
        ASSERT_TRUE(read.convert) << row.options.join(' ').toStdString() << read.output.toStdString();
        EXPECT_EQ(ChooseBatchOptions(savedFullHd, {false, false, read.convert->format}).format, row.format)
            << row.options.join(' ').toStdString();
    }
    for (const QStringList& contradiction :
         {QStringList {"--4k", "--full-hd"}, {"--no-full-hd", "--4k"}, {"--full-hd", "--no-full-hd"}}) {
        const ProgramArguments read = ReadProgramArguments(QStringList {"reelpocket", "--convert"} + contradiction);
        EXPECT_EQ(read.exitCode, 2) << contradiction.join(' ').toStdString();
        EXPECT_TRUE(read.output.contains("cannot be given together")) << read.output.toStdString();
    }
    EXPECT_EQ(ReadProgramArguments({"reelpocket", "--4k", "a.mp4"}).exitCode, 2) << "--4k needs --convert";
    EXPECT_TRUE(ReadProgramArguments({"reelpocket", "--help"}).output.contains("--4k"));
}

TEST(CommandLine, FilesReachTheListAsADropWouldBringThem)
{
    TestWindow w;
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const char* name : {"a.mp4", "b.mkv"}) {
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    w.addSources({dir.filePath("a.mp4")});
    w.f().AddArgumentFiles({"a.mp4", "./b.mkv", dir.filePath("b.mkv"), "gone.avi"}, dir.path());
    // The listed one is not repeated, the relative path is made absolute, the missing one is named.
    EXPECT_EQ(w.f().Sources(), QStringList({dir.filePath("a.mp4"), dir.filePath("b.mkv")}));
    EXPECT_EQ(w.fake.messages->shown, QStringList {dir.filePath("gone.avi") + ":\n" + w.t("error_filesnotfound")});
    // Two sources: the list layout, as after a drop.
    EXPECT_EQ(w.f().WindowHeightTwips(), SingleLayoutHeight + LayoutStep);
}

TEST(UserFolders, WorkingFilesAreTheUsersAloneAndAReadOnlyProgramFolderSendsTheDestinationThere)
{
    TestApp();
    QTemporaryDir program;
    ASSERT_TRUE(program.isValid());
    DesktopSystem writable(program.path());
    EXPECT_EQ(writable.defaultDestination(), program.path() + "/iPhoneMovies/");
    // Never the program folder, which every batch shares: the session's runtime folder, else the cache.
    QTemporaryDir runtime;
    ASSERT_TRUE(runtime.isValid());
    const std::optional<QByteArray> session
        = qEnvironmentVariableIsSet("XDG_RUNTIME_DIR") ? std::optional(qgetenv("XDG_RUNTIME_DIR")) : std::nullopt;
    const auto restore = [&session] {
        session ? qputenv("XDG_RUNTIME_DIR", *session) : qunsetenv("XDG_RUNTIME_DIR");
    };
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    const QString inSession = writable.workingFolder();
    qunsetenv("XDG_RUNTIME_DIR");
    const QString inCache = writable.workingFolder();
    restore();
    EXPECT_EQ(inSession, runtime.filePath("reelpocket"));
    EXPECT_EQ(inCache, QStandardPaths::writableLocation(QStandardPaths::CacheLocation));
    for (const QString& folder : {inSession, inCache})
        EXPECT_EQ(QFileInfo(folder).permissions() & 0x0077, 0) << folder.toStdString() << ": nobody else may enter";
    // One left open to others is narrowed; a link in its place is not used.
    ASSERT_TRUE(QFile::setPermissions(inSession, QFileDevice::Permissions(0x7777)));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    EXPECT_EQ(writable.workingFolder(), inSession);
    EXPECT_EQ(QFileInfo(inSession).permissions() & 0x0077, 0);
    ASSERT_TRUE(QDir(inSession).removeRecursively() && QFile::link(program.path(), inSession));
    EXPECT_EQ(writable.workingFolder(), inCache);
    restore();

    // Read-only as an installed program folder is: root writes through permissions, so for root the
    // folder becomes a read-only file system.
    const QByteArray path = QFile::encodeName(program.path());
    if (::geteuid() == 0)
        ASSERT_EQ(::mount("tmpfs", path.constData(), "tmpfs", MS_RDONLY, nullptr), 0) << "cannot mount read-only";
    else
        ASSERT_TRUE(QFile::setPermissions(program.path(), QFile::ReadOwner | QFile::ExeOwner));
    DesktopSystem readOnly(program.path());
    const QString destination = readOnly.defaultDestination();
    if (::geteuid() == 0)
        ::umount(path.constData());
    else
        QFile::setPermissions(program.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    EXPECT_EQ(destination, QStandardPaths::writableLocation(QStandardPaths::MoviesLocation) + "/iPhoneMovies/");
}

TEST(NoSite, LocalHelpPagesNoDeadLinksAndNoVersionCheck)
{
    for (const char* language : {"English", "Français", "Roman"}) {
        TestWindow w(QStringLiteral("English"), "http://reelpocket.invalid/");
        FormControls& f = w.c();
        w.fake.settings->set("Language", language);
        ASSERT_TRUE(f.form.StartUp());
        // Nothing asks the site; the tabs are usable at once.
        EXPECT_EQ(f.versionCheck->tcpClient, nullptr);
        EXPECT_FALSE(f.frameCheckVersion->isVisibleTo(&f.form));
        EXPECT_TRUE(f.cmdConvert->isEnabledTo(&f.form));
        EXPECT_FALSE(f.lblContact->isEnabled());
        EXPECT_FALSE(f.cmdDonate->isEnabled());

        // The help pages are the program folder's own; the pages only a site has open nothing.
        f.form.show();
        QTest::mouseClick(f.lblSubtitlesTip, Qt::LeftButton);
        f.tabMain->setCurrentIndex(2);
        QTest::mouseClick(f.lblContact, Qt::LeftButton);
        QTest::mouseClick(f.cmdDonate, Qt::LeftButton);
        // What the end of a batch and the download button open, with the window's help folder.
        WebLinks links(*w.fake.shell, w.lang);
        links.SiteBaseUrl = "http://reelpocket.invalid/";
        links.HelpFolder = programFolder() + "/help";
        links.OpenPutOnIPhonePage();
        links.OpenDownloadPage();
        ASSERT_EQ(w.fake.shell->urls.size(), 2) << language;
        for (const QString& url : w.fake.shell->urls) {
            EXPECT_FALSE(url.contains(".invalid")) << url.toStdString();
            const QString file = QUrl(url).toLocalFile();
            EXPECT_TRUE(QFileInfo(file).isFile()) << url.toStdString();
            EXPECT_TRUE(file.startsWith(programFolder() + "/help/")) << url.toStdString();
        }
        if (QString(language) == "Français") {
            EXPECT_TRUE(w.fake.shell->urls.first().endsWith("/help/fr/subtitles.html"));
        }
        if (QString(language) == "Roman") {
            EXPECT_TRUE(w.fake.shell->urls.last().endsWith("/help/ro/iphone.html"));
        }
    }
}

TEST(NoSite, EveryLanguageHasBothHelpPages)
{
    for (const char* code : {"en", "fr", "es", "nl", "ru", "pl", "pt", "ro", "it"}) {
        for (const char* page : {"subtitles", "iphone"}) {
            QFile file(QStringLiteral("%1/help/%2/%3.html").arg(programFolder(), code, page));
            ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << file.fileName().toStdString();
            const QByteArray html = file.readAll();
            EXPECT_TRUE(html.contains(QByteArray("lang=\"") + code + "\"")) << file.fileName().toStdString();
            EXPECT_TRUE(html.contains("<h1>"));
        }
    }
}

TEST(OpenDialog, StartsWhereTheUserLastPickedFiles)
{
    TestWindow w;
    SourceList* list = w.c().lstSource;
    // First the system's choice; then the folder of the files picked, one file or several.
    w.fake.dialogs->sourceResult = {"/videos/holiday/clip.avi"};
    list->AddSourcesFromDialog();
    w.fake.dialogs->sourceResult = {"/videos/party/a.avi", "/videos/party/b.avi"};
    list->AddSourcesFromDialog();
    w.fake.dialogs->sourceResult.clear(); // cancelled: the last folder stays
    list->AddSourcesFromDialog();
    list->AddSourcesFromDialog();
    EXPECT_EQ(w.fake.dialogs->sourceFolders, QStringList({"", "/videos/holiday/", "/videos/party/", "/videos/party/"}));
    EXPECT_EQ(w.f().Sources(), QStringList({"/videos/holiday/clip.avi", "/videos/party/a.avi", "/videos/party/b.avi"}));
    EXPECT_EQ(w.f().CurrentPreferences().lastSourceFolder, "/videos/party/");
}
