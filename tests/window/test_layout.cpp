#include "support/TestWindow.h"
#include "window/Layout.h"
#include "window/SourceList.h"
#include "window/TabControl.h"
#include "window/Twips.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTextEdit>
#include <gtest/gtest.h>

namespace {

// Every geometry value the layouts change, in twips: window height, two heights and twelve tops.
std::vector<int> Geometry(const Form1& f)
{
    return {f.WindowHeightTwips(),       HeightTwips(f.tabMain),     HeightTwips(f.lstSource),
            TopTwips(f.txtDestination),  TopTwips(f.cmdDestination), TopTwips(f.chkSubtitles),
            TopTwips(f.lblSubtitlesTip), TopTwips(f.cmdConvert),     TopTwips(f.cmdCancel),
            TopTwips(f.lblStatus),       TopTwips(f.pBar),           TopTwips(f.cmdDonate),
            TopTwips(f.txtAbout),        TopTwips(f.lblContact)};
}

const std::vector<int> Single {4695, 4335, 300, 1200, 1200, 1680, 1680, 2040, 2040, 2760, 3240, 3480, 600, 2400};
const std::vector<int> List {5895, 5535, 1500, 2400, 2400, 2880, 2880, 3240, 3240, 3960, 4440, 4080, 1200, 3000};

QString Paths(std::initializer_list<const char*> names)
{
    QString result = QStringLiteral("/v");
    for (const char* name : names)
        result += QChar(0) + QString::fromLatin1(name);
    return result;
}

} // namespace

TEST(Layout, SwitchesToTheListAtTwoFilesAndBackAtOne)
{
    TestWindow w;
    Form1& f = w.f();
    ASSERT_EQ(Geometry(f), Single);

    w.fake.dialogs->sourceResult = QStringLiteral("/v/a.avi");
    AddSourcesFromDialog(f);
    EXPECT_EQ(Geometry(f), Single);
    w.fake.dialogs->sourceResult = QStringLiteral("/v/b.avi");
    AddSourcesFromDialog(f);
    EXPECT_EQ(Geometry(f), List);
    w.fake.dialogs->sourceResult = QStringLiteral("/v/c.avi");
    AddSourcesFromDialog(f);
    EXPECT_EQ(Geometry(f), List);

    // Removing one at a time: the window shrinks only once one file is left.
    f.lstSource->setCurrentRow(0);
    RemoveSelectedSources(f, Qt::Key_Delete);
    EXPECT_EQ(Geometry(f), List);
    f.lstSource->setCurrentRow(0);
    RemoveSelectedSources(f, Qt::Key_Delete);
    EXPECT_EQ(Geometry(f), Single);
    // The left edges and widths stay put.
    EXPECT_EQ(f.lstSource->geometry(), QRect(ToPixels(240), ToPixels(720), ToPixels(6375), ToPixels(300)));
}

TEST(Layout, SeveralFilesAtOnceGoStraightToTheList)
{
    TestWindow w;
    Form1& f = w.f();
    w.fake.dialogs->sourceResult = Paths({"a", "b", "c"});
    AddSourcesFromDialog(f);
    EXPECT_EQ(Geometry(f), List);
}

TEST(Layout, RepeatedCallsChangeNothing)
{
    TestWindow w;
    Form1& f = w.f();
    UpdateLayout(f);
    ApplySingleLayout(f);
    EXPECT_EQ(Geometry(f), Single);
    w.addSources({"a", "b"});
    UpdateLayout(f);
    UpdateLayout(f);
    ApplyListLayout(f);
    EXPECT_EQ(Geometry(f), List);
    ApplySingleLayout(f);
    ApplySingleLayout(f);
    EXPECT_EQ(Geometry(f), Single);
}

TEST(Layout, ListLayoutKeepsTheConvertControlsBelowTheList)
{
    TestWindow w;
    Form1& f = w.f();
    w.addSources({"a", "b"});
    UpdateLayout(f);
    f.show();
    // Nothing is pushed out of the tab or the window, and the list does not reach the destination box.
    const QWidget* page = f.tabMain->page(0);
    EXPECT_LE(f.lstSource->geometry().bottom(), f.txtDestination->geometry().top());
    EXPECT_LE(f.lblStatus->geometry().bottom(), page->mapTo(f.tabMain, QPoint(0, page->height())).y());
    EXPECT_LE(f.tabMain->geometry().bottom(), f.height());
    f.tabMain->setCurrentIndex(2);
    EXPECT_EQ(f.tabMain->page(2)->height(), f.tabMain->height());
    EXPECT_LE(f.cmdDonate->geometry().bottom(), f.tabMain->page(2)->height());
}
