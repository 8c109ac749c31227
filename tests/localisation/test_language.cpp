#include "localisation/Language.h"
#include "support/TestPaths.h"
#include <QLocale>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString Sep = QStringLiteral("§\r\n\r\n§");

// One entry: the key and nine texts.
QString Entry(const QString& key, const QStringList& texts)
{
    return (QStringList {key} + texts).join(QStringLiteral("|\r\n"));
}

QStringList Nine(const QString& stem)
{
    QStringList texts;
    for (int i = 1; i <= 9; ++i)
        texts << stem + QString::number(i);
    return texts;
}

Localisation Loaded(const QByteArray& bytes, const QString& language)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Languages"));
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    Localisation loc;
    loc.CurrentLanguage = language;
    EXPECT_TRUE(LoadLanguageFile(loc, path));
    return loc;
}

Localisation Loaded(const QString& text, const QString& language)
{
    return Loaded(text.toUtf8(), language);
}

} // namespace

TEST(Translate, PicksTheColumnOfTheCurrentLanguage)
{
    const QString file = Entry(QStringLiteral("a"), Nine(QStringLiteral("a"))) + Sep
        + Entry(QStringLiteral("cmdConvert"), Nine(QStringLiteral("t")));
    Localisation loc = Loaded(file, QStringLiteral("Polski"));
    EXPECT_EQ(Translate(loc, QStringLiteral("cmdConvert")), QStringLiteral("t6"));
    loc.CurrentLanguage = QStringLiteral("Italiano");
    EXPECT_EQ(Translate(loc, QStringLiteral("cmdConvert")), QStringLiteral("t9"));
    // An explicit language wins over the current one.
    EXPECT_EQ(Translate(loc, QStringLiteral("a"), QStringLiteral("Français")), QStringLiteral("a2"));
    // Keys are exact: letter case matters.
    EXPECT_EQ(Translate(loc, QStringLiteral("cmdconvert")), QString());
    EXPECT_EQ(Translate(loc, QStringLiteral("missing")), QString());
}

TEST(Translate, ShortOrMissingTranslationsFallBackToEnglish)
{
    QStringList texts = Nine(QStringLiteral("x"));
    texts[2] = QStringLiteral("e"); // Español: one character counts as missing
    texts[4] = QString(); // Russian: empty
    const QString file
        = Entry(QStringLiteral("k"), texts) + Sep + Entry(QStringLiteral("short"), {QStringLiteral("Hi")});
    Localisation loc = Loaded(file, QStringLiteral("Español"));
    EXPECT_EQ(Translate(loc, QStringLiteral("k")), QStringLiteral("x1"));
    loc.CurrentLanguage = QStringLiteral("Russian");
    EXPECT_EQ(Translate(loc, QStringLiteral("k")), QStringLiteral("x1"));
    // An entry with fewer fields than the column: the English text, never a crash.
    loc.CurrentLanguage = QStringLiteral("Italiano");
    EXPECT_EQ(Translate(loc, QStringLiteral("short")), QStringLiteral("Hi"));
}

TEST(Translate, LastOccurrenceWinsAndUnknownLanguagesGiveTheKey)
{
    const QString file = Entry(QStringLiteral("key"), Nine(QStringLiteral("first"))) + Sep
        + Entry(QStringLiteral("key"), Nine(QStringLiteral("second")));
    Localisation loc = Loaded(file, QStringLiteral("English"));
    EXPECT_EQ(Translate(loc, QStringLiteral("key")), QStringLiteral("second1"));
    loc.CurrentLanguage = QStringLiteral("Deutsch");
    EXPECT_EQ(Translate(loc, QStringLiteral("key")), QStringLiteral("key"));
    EXPECT_EQ(Translate(loc, QStringLiteral("absent")), QString());
}

TEST(Translate, TextsKeepInnerLineBreaksAndOddFilesGiveNothing)
{
    QStringList texts = Nine(QStringLiteral("t"));
    texts[0] = QStringLiteral("line one\r\nline two\r\nline three");
    Localisation loc = Loaded(Entry(QStringLiteral("about"), texts), QStringLiteral("English"));
    EXPECT_EQ(Translate(loc, QStringLiteral("about")), QStringLiteral("line one\r\nline two\r\nline three"));

    // A leading "§" belongs to the first key, which then never matches.
    Localisation leading = Loaded(QStringLiteral("§") + Entry(QStringLiteral("k"), Nine(QStringLiteral("v"))),
                                  QStringLiteral("English"));
    EXPECT_EQ(Translate(leading, QStringLiteral("k")), QString());

    // Lines ending in LF alone hold no separator at all.
    QString lfOnly = Entry(QStringLiteral("k"), Nine(QStringLiteral("v")));
    lfOnly.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    EXPECT_EQ(Translate(Loaded(lfOnly, QStringLiteral("English")), QStringLiteral("k")), QString());

    EXPECT_EQ(Translate(Loaded(QByteArray(), QStringLiteral("English")), QStringLiteral("k")), QString());
    // Before the file is loaded there is nothing to find.
    EXPECT_EQ(Translate(Localisation {}, QStringLiteral("k")), QString());
}

TEST(LanguageFile, DecodesUtf8OrWindows1252AndCountsCharacters)
{
    QStringList texts = Nine(QStringLiteral("x"));
    texts[1] = QStringLiteral("é"); // one character, two bytes in UTF-8: still too short
    texts[3] = QStringLiteral("Annuleer ë");
    Localisation utf8 = Loaded(Entry(QStringLiteral("k"), texts), QStringLiteral("Français"));
    EXPECT_EQ(Translate(utf8, QStringLiteral("k")), QStringLiteral("x1"));
    EXPECT_EQ(Translate(utf8, QStringLiteral("k"), QStringLiteral("Dutch")), QStringLiteral("Annuleer ë"));

    // The same file in Windows-1252, as older language files were written.
    QByteArray cp1252 = QByteArray("k|\r\nEnglish|\r\nFran\xE7"
                                   "ais \x80|\r\n")
        + "x3|\r\nx4|\r\nx5|\r\nx6|\r\nx7|\r\nx8|\r\nx9" + QByteArray("\xA7\r\n\r\n\xA7") + "j|\r\nJ1";
    Localisation old = Loaded(cp1252, QStringLiteral("Français"));
    EXPECT_EQ(Translate(old, QStringLiteral("k")), QStringLiteral("Français €"));
    EXPECT_EQ(Translate(old, QStringLiteral("j")), QStringLiteral("J1"));
}

TEST(LanguageFile, AMissingFileIsReportedNotLoaded)
{
    Localisation loc;
    EXPECT_FALSE(LoadLanguageFile(loc, QStringLiteral("/nonexistent/Languages")));
    EXPECT_FALSE(loc.LanguageEntries.has_value());
}

TEST(LanguageFile, TheProgramsOwnFileHasEveryKeyInAllNineLanguages)
{
    const QStringList keys {"frmCaption",
                            "tabMain_Convert",
                            "tabMain_Options",
                            "tabMain_About",
                            "cmdSourceFile",
                            "cmdDestination",
                            "chkSubtitles",
                            "cmdConvert",
                            "cmdCancel",
                            "lblTimeElapsed",
                            "lblTimeRemaining",
                            "lblLanguage",
                            "chkOverwrite",
                            "chkShowPutiPhone",
                            "cmdGetNewVersion",
                            "txtAbout",
                            "cmdDonate",
                            "cmdConvert_ing",
                            "cmdConvert_ed",
                            "cmdCancel_ed",
                            "cmdCancel_confirm",
                            "cmdYes",
                            "cmdNo",
                            "cmdConvert_overwrite",
                            "error_SourceDestintaionSame",
                            "error_badsource",
                            "error_badDestination",
                            "cmdCheckVersion_ing",
                            "cmdCheckVersion_nointernet",
                            "cmdCheckVersion_yes",
                            "cmdCheckVersion_no",
                            "error_TLdll_find",
                            "error_TLdll_register",
                            "error_toomanysources",
                            "error_sameoutput",
                            "error_encodefailed",
                            "error_subtitlesleftout",
                            "chkFullHD",
                            "chk4K",
                            "reason_sourceshort",
                            "reason_destinationfull",
                            "reason_destinationunwritable",
                            "reason_encoderstart",
                            "reason_encodererror",
                            "reason_stopped",
                            "outcome_converting",
                            "outcome_converted",
                            "outcome_nosubtitles",
                            "outcome_failed",
                            "outcome_notconverted",
                            "reason_notreached",
                            "reason_cancelled",
                            "reason_notreplaced",
                            "outcome_copied",
                            "console_failedreason",
                            "console_nosubtitles",
                            "console_notconverted",
                            "cmdCancel_convertedbefore"};
    Localisation loc;
    ASSERT_TRUE(LoadLanguageFile(loc, QDir(programFolder()).filePath(QStringLiteral("Languages"))));
    for (const QString& language : LanguageNames()) {
        for (const QString& key : keys) {
            // Read the column directly: a fallback to English would hide a missing translation.
            bool found = false;
            for (const QString& entry : *loc.LanguageEntries) {
                const QStringList fields = entry.split(QStringLiteral("|\r\n"));
                if (fields.first() != key)
                    continue;
                found = true;
                ASSERT_EQ(fields.size(), 10) << qPrintable(key);
                EXPECT_GE(fields[LanguageColumn(language)].size(), 2) << qPrintable(key + " " + language);
            }
            EXPECT_TRUE(found) << qPrintable(key);
        }
    }
    // The converting status must never be part of the finished or cancelled ones: closing relies on it.
    for (const QString& language : LanguageNames()) {
        loc.CurrentLanguage = language;
        const QString converting = Translate(loc, QStringLiteral("cmdConvert_ing"));
        EXPECT_FALSE(Translate(loc, QStringLiteral("cmdConvert_ed")).contains(converting));
        EXPECT_FALSE(Translate(loc, QStringLiteral("cmdCancel_ed")).contains(converting));
    }
}

TEST(SystemLanguage, DetectionSearchesTheDisplayNameInOrder)
{
    EXPECT_EQ(DetectSystemLanguage(QStringLiteral("Português (Brasil)")), QStringLiteral("Português"));
    EXPECT_EQ(DetectSystemLanguage(QStringLiteral("Romanian")), QStringLiteral("Roman"));
    EXPECT_EQ(DetectSystemLanguage(QStringLiteral("Dutch and Français")), QStringLiteral("Français"));
    EXPECT_EQ(DetectSystemLanguage(QStringLiteral("Deutsch (Deutschland)")), QStringLiteral("English"));
    EXPECT_EQ(ReduceLanguageId(0x0C0A), 0xC0A);
    EXPECT_EQ(ReduceLanguageId(0x1009), 0x009);
}

TEST(SystemLanguage, LocalesGiveNamesTheDetectionFinds)
{
    const auto detected = [](const char* locale) {
        return DetectSystemLanguage(LanguageDisplayName(QLocale(QLatin1String(locale))));
    };
    EXPECT_EQ(detected("fr_FR"), QStringLiteral("Français"));
    EXPECT_EQ(detected("fr_CA"), QStringLiteral("Français"));
    EXPECT_EQ(detected("es_ES"), QStringLiteral("Español"));
    EXPECT_EQ(detected("nl_NL"), QStringLiteral("Dutch"));
    EXPECT_EQ(detected("ru_RU"), QStringLiteral("Russian"));
    EXPECT_EQ(detected("pl_PL"), QStringLiteral("Polski"));
    EXPECT_EQ(detected("pt_BR"), QStringLiteral("Português"));
    EXPECT_EQ(detected("ro_RO"), QStringLiteral("Roman"));
    EXPECT_EQ(detected("it_IT"), QStringLiteral("Italiano"));
    EXPECT_EQ(detected("de_DE"), QStringLiteral("English"));
    EXPECT_EQ(detected("en_US"), QStringLiteral("English"));
}

TEST(FillIn, ValuesTakeTheirPlacesWhateverTheWordOrder)
{
    EXPECT_EQ(FillIn("%1 of %2 files", {"3", "7"}), "3 of 7 files");
    // A language may name the values the other way round.
    EXPECT_EQ(FillIn("Не удалось: %2 / %1", {"1", "4"}), "Не удалось: 4 / 1");
    EXPECT_EQ(FillIn("%1%10", {"a", "b", "c", "d", "e", "f", "g", "h", "i", "j"}), "aj");
    EXPECT_EQ(FillIn("no places", {"x"}), "no places");
}
