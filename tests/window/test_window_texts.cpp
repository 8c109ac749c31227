#include "support/BatchTimer.h"
#include "support/TestWindow.h"
#include "window/ProgressBar.h"
#include "window/SourceList.h"
#include "window/TabControl.h"
#include "window/Twips.h"
#include "window/WindowLooks.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

// Readable failure messages.
inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace {

// The window's batch in its encode phase, its jobs probed with the given duration.
void StartEncoding(TestWindow& w, const QTemporaryDir& destination, const QString& duration)
{
    w.c().txtDestination->setText(destination.path() + QLatin1Char('/'));
    w.startConversion();
    for (int i = 0; i < w.c().lstSource->count(); ++i)
        CurrentRunner()->finish(QStringLiteral("  Duration: ") + duration
                                + QStringLiteral(", start: 0.000000, bitrate: 100 kb/s\n"
                                                 "    Stream #0.0: Video: mpeg4, yuv420p, 320x240 "
                                                 "[PAR 1:1 DAR 4:3], 25 tb(r)\n"));
    ASSERT_EQ(w.batch().ConversionPhase(), Phase::Conversion);
}

struct Caption
{
    const char* key;
    std::function<QString(FormControls&)> shown;
};

// Every localised caption of the window and the key it shows.
const std::vector<Caption>& Captions()
{
    static const std::vector<Caption> captions {
        {"frmCaption",
         [](FormControls& f) {
             return f.form.windowTitle();
         }},
        {"tabMain_Convert",
         [](FormControls& f) {
             return f.tabMain->caption(0);
         }},
        {"tabMain_Options",
         [](FormControls& f) {
             return f.tabMain->caption(1);
         }},
        {"tabMain_About",
         [](FormControls& f) {
             return f.tabMain->caption(2);
         }},
        {"cmdConvert",
         [](FormControls& f) {
             return f.cmdConvert->text();
         }},
        {"cmdCancel",
         [](FormControls& f) {
             return f.cmdCancel->text();
         }},
        {"cmdSourceFile",
         [](FormControls& f) {
             return f.cmdSourceFile->text();
         }},
        {"cmdDestination",
         [](FormControls& f) {
             return f.cmdDestination->text();
         }},
        {"chkSubtitles",
         [](FormControls& f) {
             return f.chkSubtitles->text();
         }},
        {"lblTimeElapsed",
         [](FormControls& f) {
             return f.lblTimeElapsed->text();
         }},
        {"lblTimeRemaining",
         [](FormControls& f) {
             return f.lblTimeRemaining->text();
         }},
        {"lblLanguage",
         [](FormControls& f) {
             return f.lblLanguage->text();
         }},
        {"chkOverwrite",
         [](FormControls& f) {
             return f.chkOverwrite->text();
         }},
        {"chkShowPutiPhone",
         [](FormControls& f) {
             return f.chkShowPutiPhone->text();
         }},
        {"chkFullHD",
         [](FormControls& f) {
             return f.chkFullHD->text();
         }},
        {"chk4K",
         [](FormControls& f) {
             return f.chk4K->text();
         }},
        {"cmdGetNewVersion",
         [](FormControls& f) {
             return f.cmdGetNewVersion->text();
         }},
        {"txtAbout",
         [](FormControls& f) {
             return f.txtAbout->toPlainText();
         }},
        {"cmdDonate",
         [](FormControls& f) {
             return f.cmdDonate->text();
         }},
    };
    return captions;
}

} // namespace

TEST(ApplyWindowTexts, LanguageChangeAppliesEveryCaption)
{
    TestWindow w;
    FormControls& f = w.c();
    for (const QString& language : LanguageNames()) {
        SCOPED_TRACE(language.toStdString());
        f.tabMain->setCurrentIndex(1); // the language is picked on the Options tab
        w.lang.CurrentLanguage = language;
        f.form.ApplyWindowTexts();
        EXPECT_EQ(f.tabMain->currentIndex(), 0);
        int translated = 0;
        for (const Caption& c : Captions()) {
            const QString expected = Translate(w.lang, QLatin1String(c.key));
            EXPECT_FALSE(expected.isEmpty()) << c.key;
            // A text box keeps paragraphs, not the file's line ends.
            EXPECT_EQ(c.shown(f), QString(expected).replace("\r\n", "\n")) << c.key;
            if (expected != Translate(w.lang, QLatin1String(c.key), QStringLiteral("English")))
                ++translated;
        }
        // The captions really changed language, not just a few of them.
        if (language != QLatin1String("English")) {
            EXPECT_GE(translated, 12);
        }
    }
}

TEST(ApplyWindowTexts, UnknownLanguageShowsTheKeys)
{
    TestWindow w(QStringLiteral("Klingon"));
    for (const Caption& c : Captions())
        EXPECT_EQ(c.shown(w.c()), QLatin1String(c.key));
}

TEST(ApplyWindowTexts, AboutTextIsPlainText)
{
    TestWindow w;
    FormControls& f = w.c();
    // Later entries win: this one replaces the file's About text.
    w.lang.LanguageEntries->append(
        QStringLiteral("txtAbout|\r\n<b>Bold</b> &amp; <a href=\"x\">link</a>\nline 2|\r\n"));
    f.form.ApplyWindowTexts();
    EXPECT_EQ(f.txtAbout->toPlainText(), "<b>Bold</b> &amp; <a href=\"x\">link</a>\nline 2");
}

TEST(ApplyWindowTexts, ReturnsAConvertingWindowToTheIdleLook)
{
    TestWindow w;
    FormControls& f = w.c();
    w.addSources({"/videos/a.avi", "/videos/b.avi"});
    f.lblContact->setText("contact");
    QTemporaryDir destination;
    StartEncoding(w, destination, "00:10:00.00");
    CurrentRunner()->output("size= 1kB time=42.50 bitrate= 8.0kbits/s\r");
    for (int i = 0; i < 33; ++i)
        TickBatchTimer(*f.batch);
    SetBarMax(f.pBar, 600);
    SetBarValue(f.pBar, 150);
    f.lblPercent->setText("25%");
    f.lblTimeE->setText("00:00:33");
    f.lblTimeR->setText("00:03:00");
    f.form.setWindowTitle("Reelpocket - 25%");
    f.tabMain->setCurrentIndex(2);
    SetTopTwips(f.frameCheckVersion, 600);
    SetTextColour(f.lblCheckVersion, QColor(255, 0, 0));
    f.cmdGetNewVersion->setVisible(true);

    f.form.ApplyWindowTexts();

    EXPECT_EQ(f.form.windowTitle(), w.t("frmCaption"));
    EXPECT_EQ(TopTwips(f.frameCheckVersion), 0);
    EXPECT_EQ(f.tabMain->currentIndex(), 0);
    for (QWidget* c : std::initializer_list<QWidget*> {f.lstSource, f.txtDestination, f.cmdSourceFile, f.cmdDestination,
                                                       f.chkSubtitles, f.cmdConvert, f.comboLanguage, f.chkOverwrite,
                                                       f.chkShowPutiPhone, f.chkFullHD, f.chk4K})
        EXPECT_TRUE(c->isEnabled()) << c->objectName().toStdString();
    EXPECT_FALSE(f.cmdConvert->isHidden());
    EXPECT_TRUE(f.cmdGetNewVersion->isHidden());
    EXPECT_FLOAT_EQ(BarValue(f.pBar), 0);
    EXPECT_EQ(f.pBar->value(), f.pBar->minimum());
    EXPECT_FLOAT_EQ(BarMax(f.pBar), 600);
    EXPECT_EQ(f.lblTimeE->text(), "00:00:00");
    EXPECT_EQ(f.lblTimeR->text(), "00:00:00");
    EXPECT_EQ(f.lblPercent->text(), "0%");
    EXPECT_EQ(f.lblStatus->title(), "");
    EXPECT_EQ(f.batch->ConversionPhase(), Phase::Idle);
    EXPECT_EQ(f.batch->Progress().ElapsedSeconds, 0);
    EXPECT_FALSE(f.batch->Timer().isActive());
    EXPECT_EQ(TextColour(f.lblCheckVersion), QApplication::palette().color(QPalette::ButtonText));
    // The status colour is left for the next look to set.
    EXPECT_EQ(TextColour(f.lblStatus), QColor(0, 0, 255));

    // Not ours to touch.
    EXPECT_EQ(f.lstSource->count(), 2);
    EXPECT_EQ(f.batch->Progress().PositionText, "42.5");
    EXPECT_EQ(f.lblContact->text(), "contact");
    EXPECT_EQ(f.lblSubtitlesTip->text(), " ?");
}

TEST(ApplyWindowTexts, BusyBarComesToRest)
{
    TestWindow w;
    FormControls& f = w.c();
    w.addSources({"/videos/a.avi"});
    QTemporaryDir destination;
    StartEncoding(w, destination, "N/A"); // a job whose duration is unknown
    ASSERT_EQ(f.pBar->maximum(), 0);
    f.form.ApplyWindowTexts();
    EXPECT_GT(f.pBar->maximum(), 0);
    EXPECT_EQ(f.pBar->value(), 0);
}
