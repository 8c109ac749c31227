#include "support/TestWindow.h"
#include "window/Layout.h"
#include "window/SourceList.h"
#include "window/Twips.h"

#include <QListWidget>
#include <gtest/gtest.h>

namespace {

// Where every named control lies in the window, and the window's outer height.
struct Geometry
{
    int outerHeight;
    QMap<QString, QRect> controls;
    bool operator==(const Geometry& other) const
    {
        return outerHeight == other.outerHeight && controls == other.controls;
    }
};

Geometry Snapshot(MainWindow& form)
{
    Geometry g {form.WindowHeightTwips(), {}};
    for (QWidget* w : form.findChildren<QWidget*>()) {
        if (!w->objectName().isEmpty() && !w->objectName().startsWith("qt_"))
            g.controls[w->objectName()] = QRect(w->mapTo(&form, QPoint(0, 0)), w->size());
    }
    return g;
}

void Pick(TestWindow& w, const QStringList& paths)
{
    w.fake.dialogs->sourceResult = paths;
    w.c().lstSource->AddSourcesFromDialog();
}

} // namespace

TEST(Layout, SwitchesToTheListAtTwoFilesAndBackAtOne)
{
    TestWindow w;
    FormControls& f = w.c();
    const Geometry single = Snapshot(f.form);
    ASSERT_EQ(single.outerHeight, SingleLayoutHeight);

    Pick(w, {"/v/a.avi"});
    EXPECT_EQ(Snapshot(f.form), single);
    Pick(w, {"/v/b.avi"});
    const Geometry list = Snapshot(f.form);
    EXPECT_EQ(list.outerHeight, SingleLayoutHeight + LayoutStep);
    Pick(w, {"/v/c.avi"});
    EXPECT_EQ(Snapshot(f.form), list);

    // Removing one at a time: the window shrinks only once one file is left, back to exactly as it was.
    f.lstSource->setCurrentRow(0);
    f.lstSource->RemoveSelectedSources(Qt::Key_Delete);
    EXPECT_EQ(Snapshot(f.form), list);
    f.lstSource->setCurrentRow(0);
    f.lstSource->RemoveSelectedSources(Qt::Key_Delete);
    EXPECT_EQ(Snapshot(f.form), single);

    // What the list layout changes: the list grows by the step, the controls below it move down by it
    // (the About tab's by half), left edges and widths stay.
    const int step = ToPixels(LayoutStep);
    EXPECT_EQ(list.controls["lstSource"], single.controls["lstSource"].adjusted(0, 0, 0, step));
    for (const char* below : {"txtDestination", "cmdDestination", "chkSubtitles", "cmdConvert", "pBar", "lblTimeE"})
        EXPECT_EQ(list.controls[below], single.controls[below].translated(0, step)) << below;
    EXPECT_EQ(list.controls["cmdDonate"], single.controls["cmdDonate"].translated(0, step / 2));
    EXPECT_EQ(list.controls["comboLanguage"], single.controls["comboLanguage"]);
    EXPECT_EQ(list.controls["frameCheckVersion"], single.controls["frameCheckVersion"]);
}

TEST(Layout, SeveralFilesAtOnceGoStraightToTheList)
{
    TestWindow w;
    Pick(w, {"/v/a", "/v/b", "/v/c"});
    EXPECT_EQ(w.f().WindowHeightTwips(), SingleLayoutHeight + LayoutStep);
}

TEST(Layout, RepeatedCallsChangeNothing)
{
    TestWindow w;
    MainWindow& f = w.f();
    const Geometry single = Snapshot(f);
    f.UpdateLayout();
    f.ApplySingleLayout();
    EXPECT_EQ(Snapshot(f), single);
    w.addSources({"a", "b"});
    f.UpdateLayout();
    const Geometry list = Snapshot(f);
    f.UpdateLayout();
    f.ApplyListLayout();
    EXPECT_EQ(Snapshot(f), list);
    f.ApplySingleLayout();
    f.ApplySingleLayout();
    EXPECT_EQ(Snapshot(f), single);
}
