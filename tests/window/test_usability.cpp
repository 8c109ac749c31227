// What a person meets under a real window manager and with the keyboard, checked offscreen.
#include "conversion/Batch.h"
#include "support/TestWindow.h"
#include "support/Wait.h"
#include "update/VersionCheck.h"
#include "window/CancelDialog.h"
#include "window/Layout.h"
#include "window/QtTranslation.h"
#include "window/SourceList.h"
#include "window/StatusColours.h"
#include "window/TabControl.h"
#include "window/Twips.h"
#include "window/WindowLooks.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <gtest/gtest.h>

namespace {

// Notes the caption of each paint of a label, and whether a pause had begun by then.
class PaintLog : public QObject
{
public:
    PaintLog(QLabel* label, const FakeSystem& system)
        : system_(system)
    {
        label->installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            paints << (system_.pauses.isEmpty() ? "before:" : "during:") + static_cast<QLabel*>(watched)->text();
        return false;
    }
    QStringList paints;

private:
    const FakeSystem& system_;
};

QChar AccessKey(const QString& text)
{
    const qsizetype amp = text.indexOf(QLatin1Char('&'));
    return amp >= 0 && amp + 1 < text.size() ? text.at(amp + 1).toLower() : QChar();
}

} // namespace

TEST(StartUpOutcome, AnOutcomeBeforeTheWindowIsDrawnWaitsForItAndTheWindowKeepsPainting)
{
    TestWindow w;
    FormControls& f = w.c();
    w.fake.system->holdPauses = true;
    PaintLog log(f.lblCheckVersion, *w.fake.system);
    ASSERT_TRUE(f.form.StartUp());
    // An unreachable site answers before the window has ever been shown.
    emit f.versionCheck->tcpClient->error();
    QTest::qWait(50);
    EXPECT_TRUE(w.fake.system->pauses.isEmpty());

    f.form.show();
    ASSERT_TRUE(WaitUntil([&] { return !w.fake.system->pauses.isEmpty(); }, 5000, "the outcome's pause"));
    const QString outcome = w.t("cmdCheckVersion_nointernet");
    EXPECT_TRUE(log.paints.contains("before:" + outcome)) << log.paints.join('|').toStdString();
    EXPECT_EQ(w.fake.system->pauses, QList<int> {1500});

    // The moment does not freeze the window: it still paints, and the tabs take no input.
    f.lblCheckVersion->update();
    ASSERT_TRUE(WaitUntil([&] { return log.paints.contains("during:" + outcome); }, 5000, "a paint in the pause"));
    EXPECT_TRUE(f.frameCheckVersion->isVisible());
    EXPECT_FALSE(f.cmdConvert->isEnabledTo(&f.form));
    QTest::keyClick(&f.form, Qt::Key_Return);
    EXPECT_TRUE(w.fake.runners->commands.isEmpty());

    ASSERT_EQ(w.fake.system->heldPauses.size(), 1u);
    w.fake.system->heldPauses.front()();
    EXPECT_FALSE(f.frameCheckVersion->isVisible());
    EXPECT_TRUE(f.cmdConvert->isEnabledTo(&f.form));
}

TEST(Keyboard, TheHiddenCancelButtonTakesNoFocusAndAnIdleCancelDoesNothing)
{
    TestWindow w;
    FormControls& f = w.c();
    f.form.show();
    QApplication::setActiveWindow(&f.form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f.form));
    f.lstSource->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), f.lstSource);
    QList<QWidget*> reached;
    for (int i = 0; i < 12; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        reached << QApplication::focusWidget();
    }
    EXPECT_FALSE(reached.contains(f.cmdCancel));
    EXPECT_TRUE(reached.contains(f.cmdConvert));
    EXPECT_TRUE(reached.contains(f.lblSubtitlesTip));

    f.cmdCancel->click();
    w.batch().RequestCancel();
    EXPECT_FALSE(f.frmCancel->isVisible());
    EXPECT_TRUE(f.form.isEnabled());
    EXPECT_TRUE(f.lblStatus->title().isEmpty());

    // Once Convert is out of the way, Cancel is the button in its place.
    f.form.ShowConverting();
    EXPECT_EQ(f.cmdCancel->focusPolicy(), Qt::StrongFocus);
    f.form.ApplyWindowTexts();
    EXPECT_EQ(f.cmdCancel->focusPolicy(), Qt::NoFocus);
}

TEST(Keyboard, EnterStartsTheBatchAndTheLinksOpenWithEnterOrSpace)
{
    TestWindow w;
    FormControls& f = w.c();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    f.form.show();
    f.form.activateWindow();

    // Enter on another button presses that button.
    f.cmdSourceFile->setFocus();
    QTest::keyClick(f.cmdSourceFile, Qt::Key_Return);
    EXPECT_EQ(w.fake.dialogs->opened, 1);

    QTest::keyClick(f.lblSubtitlesTip, Qt::Key_Space);
    f.tabMain->setCurrentIndex(2);
    QTest::keyClick(f.lblContact, Qt::Key_Return);
    EXPECT_EQ(w.fake.shell->urls,
              QStringList({"http://site.test/How_to_add_subtitles_to_the_iPhone_video", "http://site.test/Contact"}));
    f.tabMain->setCurrentIndex(0);

    w.addSources({dir.filePath("clip.avi")});
    f.txtDestination->setText(dir.path() + "/");
    f.txtDestination->setFocus();
    QTest::keyClick(f.txtDestination, Qt::Key_Return);
    EXPECT_EQ(w.fake.runners->commands, QStringList {"ffmpeg.exe -i \"" + dir.filePath("clip.avi") + "\""});
    EXPECT_TRUE(w.batch().IsRunning());
}

TEST(CancelQuestion, ADialogCentredOnTheMainWindowOnceItsFrameArrives)
{
    TestWindow w;
    FormControls& f = w.c();
    QTemporaryDir dir;
    f.form.move(100, 80);
    f.form.show();
    w.addSources({dir.filePath("clip.avi")});
    f.txtDestination->setText(dir.path() + "/");
    w.startConversion();
    w.batch().RequestCancel();
    CancelDialog* question = f.frmCancel;
    ASSERT_TRUE(question->isVisible());
    const Qt::WindowFlags flags = question->windowFlags();
    EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);

    const QRect main = f.form.frameGeometry();
    EXPECT_EQ(question->frameGeometry().center().x(), main.center().x());
    // The window manager puts a 24-pixel title bar and thin borders around it a moment later.
    const QMargins frame(2, 24, 2, 2);
    question->FrameChanged(frame);
    const QRect outer(question->pos(), question->size().grownBy(frame));
    EXPECT_LE(std::abs(outer.center().x() - main.center().x()), 1);
    EXPECT_LE(std::abs(outer.center().y() - main.center().y()), 1);
}

TEST(WindowHeight, TheDesignedHeightIncludesTheFrame)
{
    TestWindow w;
    FormControls& f = w.c();
    f.form.SetWindowHeightTwips(SingleLayoutHeight);
    EXPECT_EQ(f.form.height(), ToPixels(SingleLayoutHeight));
    // A title bar of 24 pixels and a border of 1 reported by the window manager.
    f.form.FrameChanged(QMargins(1, 24, 1, 1));
    EXPECT_EQ(f.form.height(), ToPixels(SingleLayoutHeight) - 25);
    EXPECT_EQ(f.form.WindowHeightTwips(), SingleLayoutHeight);
    // The tabs end where the window's inside ends: no empty strip.
    EXPECT_LE(f.form.height() - (f.tabMain->y() + f.tabMain->height()), 1);
    // The list layout grows the outer height by its step, as designed.
    w.addSources({"/v/a.avi", "/v/b.avi"});
    f.form.UpdateLayout();
    EXPECT_EQ(f.form.WindowHeightTwips(), SingleLayoutHeight + LayoutStep);
    EXPECT_EQ(f.form.height(), ToPixels(SingleLayoutHeight + LayoutStep) - 25);
}

TEST(AccessKeys, UniqueWithinEachTabInEveryLanguage)
{
    Localisation lang;
    ASSERT_TRUE(LoadLanguageFile(lang, QDir(programFolder()).filePath("Languages")));
    const QList<QStringList> groups {{"cmdSourceFile", "cmdDestination", "chkSubtitles", "cmdConvert", "cmdCancel",
                                      "cmdPause", "cmdResume", "lblWhenDone", "cmdStopCountdown"},
                                     {"lblLanguage", "chkOverwrite", "chkShowPutiPhone", "chkFullHD", "chk4K"},
                                     {"cmdDonate"},
                                     {"cmdGetNewVersion"},
                                     {"cmdYes", "cmdNo"}};
    for (const QString& language : LanguageNames()) {
        for (const QStringList& group : groups) {
            QList<QChar> keys;
            for (const QString& key : group) {
                const QChar k = AccessKey(Translate(lang, key, language));
                EXPECT_FALSE(k.isNull()) << key.toStdString() << " in " << language.toStdString();
                EXPECT_FALSE(keys.contains(k)) << key.toStdString() << " repeats a key in " << language.toStdString();
                keys << k;
            }
        }
    }
}

TEST(Languages, AccessibleNamesAndQtsOwnTextsFollowTheChosenLanguage)
{
    TestWindow w;
    FormControls& f = w.c();
    ASSERT_TRUE(f.form.StartUp());
    EXPECT_EQ(f.lstSource->accessibleName(), Translate(w.lang, "lstSource_name", "English"));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&Yes"), "&Yes");

    const auto choose = [&f](const QString& language) {
        const int index = f.comboLanguage->findText(language);
        f.comboLanguage->setCurrentIndex(index);
        emit f.comboLanguage->activated(index);
    };
    choose("Français");
    for (QWidget* control :
         std::initializer_list<QWidget*> {f.lstSource, f.txtDestination, f.pBar, f.lblPercent, f.lblTimeE, f.lblTimeR})
        EXPECT_FALSE(control->accessibleName().isEmpty()) << control->objectName().toStdString();
    EXPECT_EQ(f.lstSource->accessibleName(), "Vidéos à convertir");
    EXPECT_EQ(f.pBar->accessibleName(), Translate(w.lang, "pBar_name", "Français"));
    // Message box buttons and file dialogs speak French too.
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&Yes"), "&Oui");
    EXPECT_EQ(QtTranslationLocale("Português"), "pt_BR");

    choose("English");
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&Yes"), "&Yes");
}

TEST(SourceHint, ShownOnlyWhileTheListIsEmpty)
{
    TestWindow w;
    FormControls& f = w.c();
    f.form.show();
    const auto look = [&f](const QString& hint) {
        f.lstSource->SetTexts(hint, f.lstSource->accessibleName());
        return f.lstSource->viewport()->grab().toImage();
    };
    // The texts gave the empty list its hint.
    const QImage applied = f.lstSource->viewport()->grab().toImage();
    EXPECT_EQ(applied, look(w.t("lstSource_hint")));
    EXPECT_NE(look(w.t("lstSource_hint")), look(QString()));
    w.addSources({"/v/a.avi"});
    EXPECT_EQ(look(w.t("lstSource_hint")), look(QString()));
    EXPECT_EQ(f.lstSource->count(), 1);
}

TEST(StatusColours, DesignedOnLightBackgroundsAndReadableOnDarkOnes)
{
    const QColor light(240, 240, 240);
    const QColor dark(45, 45, 45);
    for (const QColor& designed : {ConvertingColour, FinishedColour, CancelledColour}) {
        EXPECT_EQ(ReadableColour(designed, light), designed);
        EXPECT_EQ(ReadableColour(designed, Qt::white), designed);
        const QColor tint = ReadableColour(designed, dark);
        EXPECT_GE(ContrastRatio(tint, dark), 4.5) << designed.name().toStdString();
        EXPECT_NEAR(tint.hsvHue(), designed.hsvHue(), 2) << designed.name().toStdString();
    }
    // The problem it mends: the designed blue is hard to read on dark grey.
    EXPECT_LT(ContrastRatio(ConvertingColour, dark), 2.0);
    EXPECT_NEAR(ContrastRatio(Qt::black, Qt::white), 21.0, 0.01);

    TestWindow w;
    QPalette palette = w.f().palette();
    palette.setColor(QPalette::Window, dark);
    w.f().setPalette(palette);
    w.f().ShowConverting();
    EXPECT_GE(ContrastRatio(TextColour(w.c().lblStatus), dark), 4.5);
}
