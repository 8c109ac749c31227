#include "desktop/IniSettingsStore.h"
#include "support/TestWindow.h"
#include "update/VersionCheck.h"
#include "window/Layout.h"
#include "window/TabControl.h"
#include "window/Twips.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <gtest/gtest.h>

namespace {

QString DefaultDestination()
{
    return programFolder() + "/iPhoneMovies/";
}

// Points the per-user configuration folder at a fresh temporary folder for one test.
struct TemporaryConfigHome
{
    TemporaryConfigHome()
        : saved(qgetenv("XDG_CONFIG_HOME"))
    {
        qputenv("XDG_CONFIG_HOME", dir.path().toLocal8Bit());
    }
    ~TemporaryConfigHome() { qputenv("XDG_CONFIG_HOME", saved); }
    QString iniFile() const { return dir.filePath("Reelpocket/Reelpocket.ini"); }
    QTemporaryDir dir;
    QByteArray saved;
};

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// Starts the built program offscreen and asks it to end once it listens for that request.
struct RunResult
{
    QProcess::ExitStatus status;
    int exitCode;
};

// Starts the real program offscreen and ends it the way a log-out does, once it handles the request
// and `settleMs` more have passed.
RunResult RunProgramAndEnd(const QString& program, const QString& configHome, const QStringList& args = {},
                           int settleMs = 0)
{
    QProcess app;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CONFIG_HOME", configHome);
    env.insert("QT_QPA_PLATFORM", "offscreen");
    app.setProcessEnvironment(env);
    app.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    app.start(program, args);
    if (!app.waitForStarted())
        return {QProcess::CrashExit, -1};
    const QString status = QStringLiteral("/proc/%1/status").arg(app.processId());
    const auto handlesTerm = [&status]() -> bool {
        QFile file(status);
        if (!file.open(QIODevice::ReadOnly))
            return false;
        for (const QByteArray& line : file.readAll().split('\n')) {
            if (line.startsWith("SigCgt:"))
                return ((line.mid(7).trimmed().toULongLong(nullptr, 16) >> (SIGTERM - 1)) & 1) != 0;
        }
        return false;
    };
    QDeadlineTimer deadline(30000);
    while (!handlesTerm() && app.state() == QProcess::Running && !deadline.hasExpired())
        QTest::qWait(20);
    QTest::qWait(settleMs);
    ::kill(static_cast<pid_t>(app.processId()), SIGTERM);
    if (!app.waitForFinished(30000))
        app.kill();
    app.waitForFinished();
    return {app.exitStatus(), app.exitCode()};
}

} // namespace

// The check's panel covers the tabs until it ends; here it ends as if the server could not be reached.
// Fails the check; its outcome is shown once the window has drawn it, then the panel goes.
static bool EndVersionCheck(FormControls& f)
{
    f.form.show();
    emit f.versionCheck->tcpClient->error();
    return QTest::qWaitFor([&f] { return !f.frameCheckVersion->isVisible(); }, 5000);
}

TEST(StartUp, FirstStartWithAnEmptyStore)
{
    TestWindow w;
    w.fake.system->languageName = QStringLiteral("Français (France)");
    FormControls& f = w.c();
    ASSERT_TRUE(f.form.StartUp());

    EXPECT_EQ(CheckValue(f.chkOverwrite), 1);
    EXPECT_EQ(CheckValue(f.chkShowPutiPhone), 1);
    EXPECT_EQ(f.txtDestination->text(), DefaultDestination());
    EXPECT_EQ(w.lang.CurrentLanguage, "Français");
    EXPECT_EQ(f.comboLanguage->currentText(), "Français");
    EXPECT_EQ(f.cmdConvert->text(), Translate(w.lang, "cmdConvert", "Français"));
    EXPECT_NE(f.cmdConvert->text(), Translate(w.lang, "cmdConvert", "English"));
    // Nothing is stored until the user changes something or closes the window.
    EXPECT_TRUE(w.fake.settings->writes.isEmpty());
    EXPECT_TRUE(w.fake.settings->values.isEmpty());

    EXPECT_EQ(f.form.WindowHeightTwips(), SingleLayoutHeight);
    EXPECT_TRUE(f.frameCheckVersion->isVisibleTo(&f.form));
    EXPECT_EQ(f.lblCheckVersion->text(), Translate(w.lang, "cmdCheckVersion_ing"));
    EXPECT_EQ(f.tabMain->currentIndex(), 0);
    // This desktop registers nothing.
    EXPECT_TRUE(w.fake.shell->commands.isEmpty());
}

TEST(StartUp, StoredOptionsAndDestinationAreShown)
{
    TestWindow w;
    w.fake.settings->set("optOverwrite", "2");
    w.fake.settings->set("optShowPutiPhone", "0");
    w.fake.settings->set("Top", "1500");
    w.fake.settings->set("Left", "3000");
    w.fake.settings->set("Destination", "/films/");
    ASSERT_TRUE(w.f().StartUp());
    EXPECT_EQ(CheckValue(w.c().chkOverwrite), 1);
    EXPECT_EQ(CheckValue(w.c().chkShowPutiPhone), 0);
    EXPECT_EQ(w.c().txtDestination->text(), "/films/");
    EXPECT_FALSE(w.f().CurrentBatchOptions().showHowToPage);
}

TEST(StartUp, SavedPositionIsRestoredOnlyOnAScreen)
{
    TestWindow w;
    w.fake.settings->set("Top", "1500");
    w.fake.settings->set("Left", "3000");
    ASSERT_TRUE(w.f().StartUp());
    EXPECT_EQ(w.f().pos(), QPoint(200, 100));

    TestWindow away;
    const QPoint before = away.f().pos();
    away.fake.settings->set("Top", "1500");
    away.fake.settings->set("Left", "900000");
    ASSERT_TRUE(away.f().StartUp());
    EXPECT_EQ(away.f().pos(), before);
}

TEST(StartUp, LanguageOutsideTheComboSelectsItsLastItemUntilAnOptionIsClicked)
{
    TestWindow w;
    w.fake.settings->set("Language", "Russian");
    FormControls& f = w.c();
    ASSERT_TRUE(f.form.StartUp());
    ASSERT_TRUE(EndVersionCheck(f));
    EXPECT_EQ(w.lang.CurrentLanguage, "Russian");
    EXPECT_EQ(f.comboLanguage->currentIndex(), f.comboLanguage->count() - 1);
    EXPECT_EQ(f.cmdConvert->text(), Translate(w.lang, "cmdConvert", "Russian"));

    f.chkOverwrite->click();
    EXPECT_EQ(w.fake.settings->get("Language"), f.comboLanguage->itemText(f.comboLanguage->count() - 1));
    EXPECT_EQ(w.lang.CurrentLanguage, f.comboLanguage->currentText());
    EXPECT_EQ(f.cmdConvert->text(), Translate(w.lang, "cmdConvert", f.comboLanguage->currentText()));
}

TEST(Options, ClicksAreIgnoredUntilStartUpHasFinished)
{
    TestWindow w;
    w.c().chkOverwrite->click();
    EXPECT_TRUE(w.fake.settings->writes.isEmpty());
}

TEST(Options, OneClickWritesEveryOptionAndTheLanguage)
{
    TestWindow w;
    FormControls& f = w.c();
    ASSERT_TRUE(f.form.StartUp());
    ASSERT_TRUE(EndVersionCheck(f));
    f.chkShowPutiPhone->click();
    EXPECT_EQ(w.fake.settings->writes,
              (QStringList {"optOverwrite", "optShowPutiPhone", "optFullHD", "opt4K", "Language"}));
    EXPECT_EQ(w.fake.settings->get("optOverwrite"), "1");
    EXPECT_EQ(w.fake.settings->get("optShowPutiPhone"), "0");
    EXPECT_EQ(w.fake.settings->get("optFullHD"), "0");
    EXPECT_EQ(w.fake.settings->get("opt4K"), "0");
    EXPECT_EQ(w.fake.settings->get("Language"), "English");
    EXPECT_FALSE(f.form.CurrentPreferences().optShowPutiPhone);
    EXPECT_EQ(f.tabMain->currentIndex(), 1);

    // The overwrite question follows the option as last saved, not the box as it is now.
    f.chkOverwrite->setChecked(false);
    EXPECT_TRUE(f.form.CurrentBatchOptions().askBeforeOverwrite);
    f.chkOverwrite->setChecked(true);
    f.chkOverwrite->click();
    EXPECT_FALSE(f.form.CurrentBatchOptions().askBeforeOverwrite);
}

TEST(Options, TheOutputIsOneOfThreeAndComesBackOnTheNextStart)
{
    const struct
    {
        QCheckBox* FormControls::*box;
        const char* fullHd; // what is stored after the click
        const char* fourK;
        OutputFormat format;
    } clicks[] = {
        {&FormControls::chk4K, "0", "1", OutputFormat::FourK},
        {&FormControls::chkFullHD, "1", "0", OutputFormat::FullHd}, // unticks 4K
        {&FormControls::chk4K, "0", "1", OutputFormat::FourK}, // unticks Full HD
        {&FormControls::chk4K, "0", "0", OutputFormat::Classic},
    };
    TestWindow w;
    FormControls& f = w.c();
    ASSERT_TRUE(f.form.StartUp());
    ASSERT_TRUE(EndVersionCheck(f));
    for (const auto& click : clicks) {
        (f.*click.box)->click();
        EXPECT_EQ(w.fake.settings->get("optFullHD"), click.fullHd) << click.fourK;
        EXPECT_EQ(w.fake.settings->get("opt4K"), click.fourK) << click.fullHd;
        EXPECT_EQ(f.chkFullHD->isChecked(), click.format == OutputFormat::FullHd);
        EXPECT_EQ(f.form.CurrentBatchOptions().format, click.format);
    }

    // Stored by an earlier version (Full HD alone), by this one, and both ticked (4K wins).
    const struct
    {
        const char* fullHd;
        const char* fourK;
        int fullHdBox;
        int fourKBox;
    } stores[] = {{"1", "", 1, 0}, {"0", "1", 0, 1}, {"1", "1", 0, 1}, {"", "", 0, 0}};
    for (const auto& store : stores) {
        TestWindow next;
        next.fake.settings->set("optFullHD", store.fullHd);
        next.fake.settings->set("opt4K", store.fourK);
        ASSERT_TRUE(next.f().StartUp());
        EXPECT_EQ(CheckValue(next.c().chkFullHD), store.fullHdBox) << store.fullHd << store.fourK;
        EXPECT_EQ(CheckValue(next.c().chk4K), store.fourKBox) << store.fullHd << store.fourK;
    }
}

TEST(Options, ChoosingALanguage)
{
    TestWindow w;
    FormControls& f = w.c();
    ASSERT_TRUE(f.form.StartUp());
    ASSERT_TRUE(EndVersionCheck(f));
    f.tabMain->setCurrentIndex(0);

    // The current language again: saved, texts left alone, Options tab shown.
    f.cmdConvert->setText("marker");
    const int english = f.comboLanguage->findText("English");
    f.comboLanguage->setCurrentIndex(english);
    emit f.comboLanguage->activated(english);
    EXPECT_EQ(w.fake.settings->writes.size(), 5);
    EXPECT_EQ(f.cmdConvert->text(), "marker");
    EXPECT_EQ(f.tabMain->currentIndex(), 1);

    const int dutch = f.comboLanguage->findText("Dutch");
    f.comboLanguage->setCurrentIndex(dutch);
    emit f.comboLanguage->activated(dutch);
    EXPECT_EQ(w.fake.settings->get("Language"), "Dutch");
    EXPECT_EQ(w.lang.CurrentLanguage, "Dutch");
    EXPECT_EQ(f.cmdConvert->text(), Translate(w.lang, "cmdConvert", "Dutch"));
    EXPECT_EQ(f.tabMain->currentIndex(), 1);
}

TEST(Shutdown, ClosingWritesPositionAndDestination)
{
    TestWindow w;
    FormControls& f = w.c();
    ASSERT_TRUE(f.form.StartUp());
    f.form.show();
    f.form.move(40, 30);
    f.txtDestination->setText("/films/out/");
    ASSERT_TRUE(f.form.close());
    EXPECT_EQ(w.fake.settings->writes, (QStringList {"Top", "left", "Destination"}));
    EXPECT_EQ(w.fake.settings->get("Top"), QString::number(ToTwips(f.form.y())));
    EXPECT_EQ(w.fake.settings->get("Left"), QString::number(ToTwips(f.form.x())));
    EXPECT_EQ(w.fake.settings->get("Destination"), "/films/out/");
}

TEST(StartUp, MissingLanguageFileIsReportedAndStopsTheProgram)
{
    QTemporaryDir empty;
    TestWindow w;
    w.fake.system->folder = empty.path();
    EXPECT_FALSE(w.f().StartUp());
    ASSERT_EQ(w.fake.messages->shown.size(), 1);
    EXPECT_TRUE(w.fake.messages->shown.first().startsWith(empty.filePath("Languages") + ":\n"));
    // Start-up did not finish: option clicks still save nothing.
    w.c().chkOverwrite->click();
    EXPECT_TRUE(w.fake.settings->writes.isEmpty());
}

// A window over the real settings store, which lives in the per-user configuration folder.
struct IniWindow : TestWindow
{
    IniWindow() { fake.platform.settings = std::make_unique<IniSettingsStore>(); }
};

TEST(IniSettings, WholeRunAgainstTheRealStore)
{
    TestApp();
    TemporaryConfigHome home;
    {
        IniWindow w;
        FormControls& f = w.c();
        ASSERT_TRUE(f.form.StartUp());
        ASSERT_TRUE(EndVersionCheck(f));
        EXPECT_FALSE(QFile::exists(home.iniFile())); // start-up wrote nothing
        EXPECT_EQ(f.txtDestination->text(), DefaultDestination());

        f.tabMain->setCurrentIndex(1);
        f.chkOverwrite->click();
        f.form.move(60, 45);
        f.txtDestination->setText("/films/été, 2024/");
        ASSERT_TRUE(f.form.close());
    }
    QSettings saved(home.iniFile(), QSettings::IniFormat);
    EXPECT_EQ(saved.value("Config/optoverwrite").toString(), "0");
    EXPECT_EQ(saved.value("Config/optshowputiphone").toString(), "1");
    EXPECT_EQ(saved.value("Config/language").toString(), "English");
    EXPECT_EQ(saved.value("Config/destination").toString(), "/films/été, 2024/");
    const int top = saved.value("Config/top").toInt();
    const int left = saved.value("Config/left").toInt();
    EXPECT_EQ(saved.allKeys().size(), 8);

    // The next start picks everything up again.
    IniWindow again;
    ASSERT_TRUE(again.f().StartUp());
    EXPECT_EQ(CheckValue(again.c().chkOverwrite), 0);
    EXPECT_EQ(again.c().txtDestination->text(), "/films/été, 2024/");
    EXPECT_EQ(QPoint(ToTwips(again.f().x()), ToTwips(again.f().y())), QPoint(left, top));
}

TEST(IniSettings, GarbageOrUnreadableFilesGiveTheDefaults)
{
    TestApp();
    TemporaryConfigHome home;
    QByteArray garbage;
    for (int i = 0; i < 4096; ++i)
        garbage += char((i * 7919) % 256);
    garbage += "\n[Config\ntop=\n=left\n[[x]]\ndestination=\"unterminated\n";
    WriteFile(home.iniFile(), garbage);
    {
        IniWindow w;
        ASSERT_TRUE(w.f().StartUp());
        EXPECT_EQ(CheckValue(w.c().chkOverwrite), 1);
        EXPECT_EQ(w.c().txtDestination->text(), DefaultDestination());
        ASSERT_TRUE(w.f().close());
    }
    // Closing still saves, and the saved values read back.
    IniSettingsStore store;
    EXPECT_EQ(store.read("Reelpocket", "Config", "Destination"), DefaultDestination());

    // A folder where the file should be cannot be read at all.
    QFile::remove(home.iniFile());
    QDir().mkpath(home.iniFile());
    EXPECT_EQ(store.read("Reelpocket", "Config", "Top"), "");
    store.write("Reelpocket", "Config", "Top", "15");
    EXPECT_EQ(store.read("Reelpocket", "Config", "TOP"), "");
}

TEST(IniSettings, KeysIgnoreLetterCase)
{
    QTemporaryDir dir;
    IniSettingsStore store(dir.filePath("settings.ini"));
    store.write("Reelpocket", "Config", "left", "300");
    EXPECT_EQ(store.read("Reelpocket", "Config", "Left"), "300");
    store.write("Reelpocket", "Config", "LEFT", "450");
    EXPECT_EQ(store.read("Reelpocket", "Config", "left"), "450");
    EXPECT_EQ(store.read("Reelpocket", "Config", "Top"), "");
    // A file edited by hand with its own spelling of a key.
    WriteFile(dir.filePath("hand.ini"), "[Config]\nTop=1200\nDestination=/a/b\n");
    IniSettingsStore hand(dir.filePath("hand.ini"));
    EXPECT_EQ(hand.read("Reelpocket", "Config", "top"), "1200");
    EXPECT_EQ(hand.read("Reelpocket", "Config", "Destination"), "/a/b");
}

TEST(IniSettings, AHandWrittenValueWithACommaIsReadAndWrittenBackExactly)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("hand.ini");
    WriteFile(file, "[Config]\ndestination=/tmp/a,b/\nother=x, y ,z\n");
    IniSettingsStore store(file);
    EXPECT_EQ(store.read("Reelpocket", "Config", "Destination"), "/tmp/a,b/");
    EXPECT_EQ(store.read("Reelpocket", "Config", "other"), "x, y ,z");
    // Saved and read again, as a close and the next start do.
    store.write("Reelpocket", "Config", "Destination", store.read("Reelpocket", "Config", "Destination"));
    EXPECT_EQ(IniSettingsStore(file).read("Reelpocket", "Config", "destination"), "/tmp/a,b/");
}

TEST(Program, RealBinaryStartsOverGarbageSettingsAndSavesOnEnd)
{
    TemporaryConfigHome home;
    WriteFile(home.iniFile(), QByteArray("\xff\xfe[Config\x00]\ntop==\n\x01\x02", 15));
    const RunResult r = RunProgramAndEnd(programFolder() + "/reelpocket", home.dir.path());
    EXPECT_EQ(r.status, QProcess::NormalExit);
    EXPECT_EQ(r.exitCode, 0);
    IniSettingsStore store(home.iniFile());
    EXPECT_EQ(store.read("Reelpocket", "Config", "Destination"), DefaultDestination());
    EXPECT_FALSE(store.read("Reelpocket", "Config", "Top").isEmpty());
    EXPECT_FALSE(store.read("Reelpocket", "Config", "Left").isEmpty());
}

TEST(Program, AnOpenMessageBoxDoesNotKeepTheProgramFromEnding)
{
    TemporaryConfigHome home;
    // A missing file on the command line opens a message about it.
    const RunResult r
        = RunProgramAndEnd(programFolder() + "/reelpocket", home.dir.path(), {"/nonexistent/clip.avi"}, 1500);
    EXPECT_EQ(r.status, QProcess::NormalExit);
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(IniSettingsStore(home.iniFile()).read("Reelpocket", "Config", "Destination"), DefaultDestination());
}

TEST(Program, RealBinaryWithoutItsLanguageFileEndsWithAnError)
{
    TemporaryConfigHome home;
    QTemporaryDir folder;
    ASSERT_TRUE(QFile::copy(programFolder() + "/reelpocket", folder.filePath("reelpocket")));
    QFile::setPermissions(folder.filePath("reelpocket"), QFile::ReadOwner | QFile::ExeOwner | QFile::WriteOwner);
    // It stops at its message about the file; ending it there saves nothing.
    const RunResult r = RunProgramAndEnd(folder.filePath("reelpocket"), home.dir.path());
    EXPECT_EQ(r.status, QProcess::NormalExit);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_FALSE(QFile::exists(home.iniFile()));
}

TEST(StartUp, TheTabsTakeNoInputWhileTheVersionCheckCoversThem)
{
    TestWindow w;
    FormControls& f = w.c();
    ASSERT_TRUE(f.form.StartUp());
    EXPECT_TRUE(f.frameCheckVersion->isVisibleTo(&f.form));
    EXPECT_FALSE(f.cmdConvert->isEnabledTo(&f.form));
    ASSERT_TRUE(EndVersionCheck(f));
    EXPECT_FALSE(f.frameCheckVersion->isVisibleTo(&f.form));
    EXPECT_TRUE(f.cmdConvert->isEnabledTo(&f.form));
}
