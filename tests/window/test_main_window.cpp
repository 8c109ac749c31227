#include "support/TestWindow.h"
#include "update/VersionCheck.h"
#include "window/Layout.h"
#include "window/SourceList.h"
#include "window/TabControl.h"
#include "window/Twips.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// The named controls a tab holds: its own and those inside its parts, without Qt's inner widgets.
QList<QWidget*> ControlsOf(QWidget* tab)
{
    QList<QWidget*> controls;
    for (QWidget* w : tab->findChildren<QWidget*>()) {
        if (!w->objectName().isEmpty() && !w->objectName().startsWith("qt_"))
            controls << w;
    }
    return controls;
}

// Pairs that overlap as designed: Cancel and Pause lie under Convert, and the countdown over all three; the
// About text under its link and button, and the subtitles' "?" reaches a pixel into the check box beside it.
bool DesignedOverlap(const QString& a, const QString& b)
{
    const QSet<QString> underConvert {"cmdConvert", "cmdCancel", "cmdPause"};
    const QSet<QString> countdown {"frameWhenDone", "lblCountdown", "cmdStopCountdown"};
    if ((underConvert.contains(a) && countdown.contains(b)) || (countdown.contains(a) && underConvert.contains(b)))
        return true;
    const QList<QSet<QString>> designed {{"cmdConvert", "cmdCancel"},
                                         {"cmdConvert", "cmdPause"},
                                         {"txtAbout", "lblContact"},
                                         {"txtAbout", "cmdDonate"},
                                         {"lblSubtitlesTip", "chkSubtitles"}};
    return designed.contains(QSet<QString> {a, b});
}

void ExpectTabsInOrder(FormControls& f)
{
    const int strip = f.tabMain->tabBar()->height();
    for (int i = 0; i < 3; ++i) {
        QWidget* tab = f.tabMain->page(i);
        SCOPED_TRACE(tab->objectName().toStdString());
        EXPECT_EQ(tab->size(), f.tabMain->size());
        const QRect inside(0, strip, tab->width(), tab->height() - strip);
        const QList<QWidget*> controls = ControlsOf(tab);
        EXPECT_GE(controls.size(), i == 0 ? 16 : 3);
        for (QWidget* a : controls) {
            const QRect placeA(a->mapTo(tab, QPoint(0, 0)), a->size());
            EXPECT_TRUE(inside.contains(placeA)) << a->objectName().toStdString();
            for (QWidget* b : controls) {
                // A part holds its controls; any other two named ones lie side by side.
                if (a == b || a->isAncestorOf(b) || b->isAncestorOf(a) || a->objectName() > b->objectName()
                    || DesignedOverlap(a->objectName(), b->objectName()))
                    continue;
                const QRect placeB(b->mapTo(tab, QPoint(0, 0)), b->size());
                EXPECT_FALSE(placeA.intersects(placeB))
                    << a->objectName().toStdString() << " and " << b->objectName().toStdString();
            }
        }
    }
    // The version-check panel covers the tabs from their top edge.
    EXPECT_EQ(f.frameCheckVersion->pos(), f.tabMain->pos());
    EXPECT_EQ(f.frameCheckVersion->width(), f.tabMain->width());
    EXPECT_TRUE(f.frameCheckVersion->rect().contains(f.cmdGetNewVersion->geometry()));
}

} // namespace

TEST(MainWindow, BothLayoutsKeepEveryControlInsideItsTabWithoutOverlaps)
{
    TestWindow w;
    FormControls& f = w.c();
    f.form.show();
    EXPECT_EQ(f.form.WindowHeightTwips(), SingleLayoutHeight);
    ExpectTabsInOrder(f);

    w.addSources({"/v/a.avi", "/v/b.avi"});
    f.form.UpdateLayout();
    EXPECT_EQ(f.form.WindowHeightTwips(), SingleLayoutHeight + LayoutStep);
    ExpectTabsInOrder(f);
    // The list shows several rows now; everything else keeps its size.
    EXPECT_GE(f.lstSource->height(), 4 * f.lstSource->sizeHintForRow(0));
    // Cancel and Pause share Convert's place between them.
    auto* cmdPause = f.form.findChild<QPushButton*>("cmdPause");
    ASSERT_TRUE(cmdPause);
    EXPECT_EQ(f.cmdCancel->geometry().left(), f.cmdConvert->geometry().left());
    EXPECT_EQ(cmdPause->geometry().right(), f.cmdConvert->geometry().right());
    EXPECT_EQ(f.cmdCancel->height(), f.cmdConvert->height());
    EXPECT_EQ(cmdPause->height(), f.cmdConvert->height());
}

TEST(MainWindow, OverlappingControlsAreStackedSoCancelShowsOnlyWhenConvertIsHidden)
{
    TestWindow w;
    FormControls& f = w.c();
    const auto stackIndex = [](const QWidget* control) {
        return control->parentWidget()->children().indexOf(const_cast<QWidget*>(control));
    };
    EXPECT_GT(stackIndex(f.cmdConvert), stackIndex(f.cmdCancel));
    EXPECT_GT(stackIndex(f.frameCheckVersion), stackIndex(f.tabMain));

    f.form.show();
    const QPoint centre = f.cmdConvert->geometry().center();
    EXPECT_EQ(f.cmdConvert->parentWidget()->childAt(centre), f.cmdConvert);
    f.cmdConvert->hide();
    EXPECT_EQ(f.cmdConvert->parentWidget()->childAt(centre), f.cmdCancel);
    // The bar lies on the status frame and shows above it.
    EXPECT_EQ(f.lblStatus->childAt(f.pBar->geometry().center()), f.pBar);
}

TEST(MainWindow, IdleTimersAndLanguageItemsAsDefined)
{
    TestWindow w;
    FormControls& f = w.c();
    EXPECT_FALSE(f.batch->Timer().isActive());
    EXPECT_FALSE(f.versionCheck->timerCheckVersion->isActive());
    QStringList items;
    for (int i = 0; i < f.comboLanguage->count(); ++i)
        items << f.comboLanguage->itemText(i);
    EXPECT_EQ(items,
              (QStringList {"English", "Dutch", "Español", "Français", "Italiano", "Polski", "Português", "Roman"}));
}
