#include "support/TestWindow.h"
#include "update/VersionCheck.h"
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
struct Geometry
{
    const char* name;
    const char* container;
    int left, top, width, height;
};
} // namespace

TEST(Form1, EveryControlHasItsNameContainerAndSingleFileGeometry)
{
    TestWindow w;
    const Geometry table[] = {
        {"tabMain", "Form1", 0, 0, 10935, 4335},
        {"frameCheckVersion", "Form1", 0, 0, 10935, 4335},
        {"lblCheckVersion", "frameCheckVersion", 5400, 1920, 105, 240},
        {"cmdGetNewVersion", "frameCheckVersion", 3480, 2400, 3975, 495},
        {"lstSource", "tabPage0", 240, 720, 6375, 300},
        {"cmdSourceFile", "tabPage0", 6720, 720, 3975, 375},
        {"txtDestination", "tabPage0", 240, 1200, 6375, 360},
        {"cmdDestination", "tabPage0", 6720, 1200, 3975, 375},
        {"lblSubtitlesTip", "tabPage0", 240, 1680, 255, 255},
        {"chkSubtitles", "tabPage0", 480, 1680, 2775, 255},
        {"cmdConvert", "tabPage0", 240, 2040, 10455, 615},
        {"cmdCancel", "tabPage0", 240, 2040, 10455, 615},
        {"lblStatus", "tabPage0", 240, 2760, 10455, 1335},
        {"lblPercent", "lblStatus", 9480, 480, 735, 255},
        {"lblTimeElapsed", "lblStatus", 360, 960, 2175, 255},
        {"lblTimeE", "lblStatus", 2640, 960, 975, 255},
        {"lblTimeRemaining", "lblStatus", 6120, 960, 2055, 255},
        {"lblTimeR", "lblStatus", 8280, 960, 975, 255},
        {"pBar", "tabPage0", 600, 3240, 8895, 255},
        {"lblLanguage", "tabPage1", 360, 840, 1095, 255},
        {"comboLanguage", "tabPage1", 1560, 720, 1815, 360},
        {"chkOverwrite", "tabPage1", 360, 1380, 6975, 315},
        {"chkShowPutiPhone", "tabPage1", 360, 1740, 7695, 375},
        {"txtAbout", "tabPage2", 120, 600, 10695, 3375},
        {"lblContact", "tabPage2", 3240, 2400, 4455, 255},
        {"cmdDonate", "tabPage2", 4200, 3480, 2415, 495},
    };
    for (const Geometry& g : table) {
        auto* control = w.form->findChild<QWidget*>(QLatin1String(g.name));
        ASSERT_NE(control, nullptr) << g.name;
        EXPECT_EQ(control->parentWidget()->objectName(), QLatin1String(g.container)) << g.name;
        EXPECT_EQ(ToTwips(control->x()), g.left) << g.name;
        EXPECT_EQ(ToTwips(control->y()), g.top) << g.name;
        EXPECT_EQ(ToTwips(control->width()), g.width) << g.name;
        if (QLatin1String(g.name) != QLatin1String("lblCheckVersion")) { // sized to its text
            EXPECT_EQ(ToTwips(control->height()), g.height) << g.name;
        }
    }
    EXPECT_EQ(w.form->WindowHeightTwips(), 4695);
}

TEST(Form1, OverlappingControlsAreStackedSoCancelShowsOnlyWhenConvertIsHidden)
{
    TestWindow w;
    const auto stackIndex = [](const QWidget* control) {
        return control->parentWidget()->children().indexOf(const_cast<QWidget*>(control));
    };
    EXPECT_GT(stackIndex(w.form->cmdConvert), stackIndex(w.form->cmdCancel));
    EXPECT_GT(stackIndex(w.form->pBar), stackIndex(w.form->lblStatus));
    EXPECT_GT(stackIndex(w.form->frameCheckVersion), stackIndex(w.form->tabMain));

    w.form->show();
    const QPoint centre = w.form->cmdConvert->geometry().center();
    EXPECT_EQ(w.form->cmdConvert->parentWidget()->childAt(centre), w.form->cmdConvert);
    w.form->cmdConvert->hide();
    EXPECT_EQ(w.form->cmdConvert->parentWidget()->childAt(centre), w.form->cmdCancel);
}

TEST(Form1, TimersAndLanguageItemsAsDefined)
{
    TestWindow w;
    EXPECT_EQ(w.form->batch->Timer().interval(), 1000);
    EXPECT_FALSE(w.form->batch->Timer().isActive());
    EXPECT_EQ(w.form->versionCheck->timerCheckVersion->interval(), 2000);
    EXPECT_FALSE(w.form->versionCheck->timerCheckVersion->isActive());
    QStringList items;
    for (int i = 0; i < w.form->comboLanguage->count(); ++i)
        items << w.form->comboLanguage->itemText(i);
    EXPECT_EQ(items,
              (QStringList {"English", "Dutch", "Español", "Français", "Italiano", "Polski", "Português", "Roman"}));
}
