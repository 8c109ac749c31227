// What the program remembers and the start-up decisions, without a window.
#include "localisation/Language.h"
#include "preferences/StartUp.h"
#include "support/FakePlatform.h"
#include "support/TestPaths.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct Store
{
    Store() { system.folder = programFolder(); }
    Preferences read() { return ReadPreferences(settings, system); }
    FakeSettingsStore settings;
    FakeSystem system;
    FakeShell shell;
};

} // namespace

TEST(ReadPreferences, FirstStartGivesTheDefaultsAndWritesNothing)
{
    Store s;
    const Preferences p = s.read();
    EXPECT_TRUE(p.optOverwrite);
    EXPECT_TRUE(p.optShowPutiPhone);
    EXPECT_EQ(p.destination, programFolder() + "/iPhoneMovies/");
    EXPECT_EQ(p.language, "");
    EXPECT_FALSE(p.windowPosition.has_value());
    EXPECT_TRUE(s.settings.writes.isEmpty());
}

TEST(ReadPreferences, AnOptionIsClearOnlyWhenStoredAsZero)
{
    const QList<QPair<QString, bool>> cases {{"0", false},  {" 0", false}, {"1", true}, {"2", true},
                                             {"yes", true}, {"-1", true},  {"", true}};
    for (const auto& [stored, ticked] : cases) {
        Store s;
        s.settings.set("optOverwrite", stored);
        s.settings.set("optShowPutiPhone", stored);
        EXPECT_EQ(s.read().optOverwrite, ticked) << stored.toStdString();
        EXPECT_EQ(s.read().optShowPutiPhone, ticked) << stored.toStdString();
    }
}

TEST(ReadPreferences, StoredDestinationCountsOnlyWithAStoredPosition)
{
    Store placed;
    placed.settings.set("Top", "1500");
    placed.settings.set("left", "3000"); // written in lower case, read as "Left"
    EXPECT_EQ(placed.read().destination, "");
    ASSERT_TRUE(placed.read().windowPosition.has_value());
    EXPECT_EQ(placed.read().windowPosition->top, 1500);
    EXPECT_EQ(placed.read().windowPosition->left, 3000);

    for (const char* half : {"Top", "Left"}) {
        Store unplaced;
        unplaced.settings.set(half, "3000");
        unplaced.settings.set("Destination", "/films/");
        EXPECT_EQ(unplaced.read().destination, programFolder() + "/iPhoneMovies/") << half;
    }

    // A position that is no pair of numbers places nothing, but it was stored: the destination counts.
    Store odd;
    odd.settings.set("Top", "high");
    odd.settings.set("Left", "3000");
    odd.settings.set("Destination", "/films/a,b/");
    EXPECT_EQ(odd.read().destination, "/films/a,b/");
    EXPECT_FALSE(odd.read().windowPosition.has_value());
}

TEST(SavePreferences, KeysKeepTheirSpellingAndValuesReadBackExactly)
{
    Store s;
    Preferences p;
    p.optOverwrite = false;
    p.optFullHD = true;
    p.language = "Dutch";
    SaveOptions(s.settings, p);
    EXPECT_EQ(s.settings.writes, (QStringList {"optOverwrite", "optShowPutiPhone", "optFullHD", "opt4K", "Language"}));
    EXPECT_EQ(s.settings.get("optOverwrite"), "0");
    EXPECT_EQ(s.settings.get("optShowPutiPhone"), "1");
    EXPECT_EQ(s.settings.get("optFullHD"), "1");
    EXPECT_EQ(s.settings.get("opt4K"), "0");
    EXPECT_EQ(SavedOutputFormat(s.read()), OutputFormat::FullHd);
    p.opt4K = true;
    SaveOptions(s.settings, p);
    EXPECT_EQ(SavedOutputFormat(s.read()), OutputFormat::FourK) << "4K wins over Full HD";

    s.settings.writes.clear();
    p.destination = "/films/été, 2024/";
    SaveWindowState(s.settings, p); // no position: only the destination
    EXPECT_EQ(s.settings.writes, QStringList {"Destination"});
    p.windowPosition = WindowPosition {450, 900};
    SaveWindowState(s.settings, p);
    EXPECT_EQ(s.settings.writes, (QStringList {"Destination", "Top", "left", "Destination"}));

    const Preferences back = s.read();
    EXPECT_EQ(back.optOverwrite, p.optOverwrite);
    EXPECT_EQ(back.optShowPutiPhone, p.optShowPutiPhone);
    EXPECT_EQ(back.language, p.language);
    EXPECT_EQ(back.destination, p.destination);
    ASSERT_TRUE(back.windowPosition.has_value());
    EXPECT_EQ(back.windowPosition->top, 450);
    EXPECT_EQ(back.windowPosition->left, 900);
}

TEST(StartUp, TheStoredLanguageElseTheSystemsWithItsTexts)
{
    Store chosen;
    chosen.settings.set("Language", "Polski");
    chosen.system.languageName = "Français (France)";
    Localisation lang;
    const StartUpResult r = StartUp(chosen.settings, chosen.system, chosen.shell, lang);
    ASSERT_TRUE(r.language.loaded);
    EXPECT_EQ(lang.CurrentLanguage, "Polski");
    EXPECT_EQ(Translate(lang, "cmdConvert"), Translate(lang, "cmdConvert", "Polski"));
    EXPECT_NE(Translate(lang, "cmdConvert"), Translate(lang, "cmdConvert", "English"));
    EXPECT_EQ(chosen.system.workingDirectory, programFolder());

    Store detected;
    detected.system.languageName = "Français (France)";
    ASSERT_TRUE(StartUp(detected.settings, detected.system, detected.shell, lang).language.loaded);
    EXPECT_EQ(lang.CurrentLanguage, "Français");
    // Only the user's own choice is ever stored.
    EXPECT_TRUE(detected.settings.writes.isEmpty());
    EXPECT_TRUE(detected.shell.commands.isEmpty());
}

TEST(StartUp, AMissingLanguageFileStopsWithAMessage)
{
    QTemporaryDir empty;
    Store s;
    s.system.folder = empty.path();
    Localisation lang;
    const StartUpResult r = StartUp(s.settings, s.system, s.shell, lang);
    EXPECT_FALSE(r.language.loaded);
    EXPECT_TRUE(r.language.message.startsWith(empty.filePath("Languages") + ":\n"));
    EXPECT_FALSE(lang.LanguageEntries.has_value());
}

TEST(StartUp, WindowsRegistersWhatTheSystemFolderLacks)
{
    QTemporaryDir system;
    QFile present(system.filePath("RICHTX32.OCX"));
    ASSERT_TRUE(present.open(QIODevice::WriteOnly));
    Store s;
    s.system.needRegistration = true;
    s.system.systemDir = system.path();
    Localisation lang;
    const StartUpResult r = StartUp(s.settings, s.system, s.shell, lang);
    const QString folder = programFolder();
    EXPECT_EQ(r.systemFolder, system.path());
    EXPECT_EQ(s.system.registered, QStringList {folder + "/TimerLite.dll"});
    EXPECT_EQ(
        s.shell.commands,
        (QStringList {folder + "/ShellRpk.exe /regserver", "regsvr32 /s \"" + folder + "/MSWINSCK.OCX\"",
                      "regsvr32 /s \"" + folder + "/tabctl32.ocx\"", "regsvr32 /s \"" + folder + "/comdlg32.ocx\"",
                      "regsvr32 /s \"" + folder + "/comctl32.ocx\""}));
    EXPECT_EQ(s.shell.styles.first(), WindowStyle::NormalNoFocus);
    EXPECT_EQ(s.shell.styles.last(), WindowStyle::Hidden);
}

TEST(CreateDefaultDestination, OnlyTheDefaultIsEverMade)
{
    QTemporaryDir home;
    Store s;
    s.system.destination = home.filePath("Videos/iPhoneMovies/");
    CreateDefaultDestination(s.system, home.filePath("typo/"));
    EXPECT_FALSE(QFileInfo::exists(home.filePath("typo")));
    CreateDefaultDestination(s.system, s.system.destination);
    EXPECT_TRUE(QFileInfo(s.system.destination).isDir());
}
