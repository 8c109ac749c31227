#include "support/TestWindow.h"
#include "window/Layout.h"
#include "window/SourceList.h"

#include <QDrag>
#include <QDropEvent>
#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <gtest/gtest.h>

namespace {

// Sends a drag over and a drop at `pos` of the list's viewport; returns whether each was accepted.
struct DropResult
{
    bool enterAccepted;
    bool dropAccepted;
    Qt::DropAction action;
};

DropResult DropOnList(SourceList* list, QMimeData* data, QPoint pos = QPoint(5, 5))
{
    QWidget* target = list->viewport();
    QDragEnterEvent enter(pos, Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDropEvent drop(QPointF(pos), Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    return {enter.isAccepted(), drop.isAccepted(), drop.dropAction()};
}

} // namespace

TEST(SourceDialog, PickedFilesAreAppendedInOrderOnce)
{
    TestWindow w;
    SourceList* list = w.c().lstSource;
    w.fake.dialogs->sourceResult = {"/v/a.avi"};
    list->AddSourcesFromDialog();
    EXPECT_EQ(list->Sources(), QStringList {"/v/a.avi"});

    // A path already listed is skipped; one that differs in letter case is another file.
    w.fake.dialogs->sourceResult = {"/v/b.avi", "/v/a.avi", "/v/A.avi", "/v/b.avi"};
    list->AddSourcesFromDialog();
    EXPECT_EQ(list->Sources(), (QStringList {"/v/a.avi", "/v/b.avi", "/v/A.avi"}));
    EXPECT_TRUE(list->IsSourceListed("/v/A.avi"));
    EXPECT_FALSE(list->IsSourceListed("/v/a.AVI"));
    // Files picked in the root folder keep their one separator.
    w.fake.dialogs->sourceResult = {"/d.avi", "/e.avi"};
    list->AddSourcesFromDialog();
    EXPECT_EQ(list->Sources().mid(3), (QStringList {"/d.avi", "/e.avi"}));
    EXPECT_EQ(w.fake.dialogs->opened, 3);
}

TEST(SourceDialog, CancelAddsNothingButStillUpdatesTheLayout)
{
    TestWindow w;
    w.addSources({"/v/a.avi", "/v/b.avi"}); // added behind the layout's back
    ASSERT_EQ(w.f().WindowHeightTwips(), SingleLayoutHeight);
    w.fake.dialogs->sourceResult.clear();
    w.c().lstSource->AddSourcesFromDialog();
    EXPECT_EQ(w.c().lstSource->count(), 2);
    EXPECT_EQ(w.f().WindowHeightTwips(), SingleLayoutHeight + LayoutStep);
}

TEST(SourceDialog, TheButtonAndADoubleClickOnTheListOpenIt)
{
    TestWindow w;
    FormControls& f = w.c();
    f.form.show();
    w.fake.dialogs->sourceResult = {"/v/a.avi"};
    QTest::mouseDClick(f.lstSource->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    w.fake.dialogs->sourceResult = {"/v/b.avi"};
    QTest::mouseClick(f.cmdSourceFile, Qt::LeftButton);
    EXPECT_EQ(w.fake.dialogs->opened, 2);
    EXPECT_EQ(f.lstSource->Sources(), (QStringList {"/v/a.avi", "/v/b.avi"}));
}

TEST(SourceDrop, FilesDroppedOnTheRealListAreAppendedInOrder)
{
    TestWindow w;
    FormControls& f = w.c();
    f.form.show();
    QTemporaryDir dir;
    const QString a = dir.filePath("a.avi"), b = dir.filePath("b b.mkv"), c = dir.filePath("c.avi");
    w.addSources({b});
    QSignalSpy changed(f.lstSource, &SourceList::contentChanged);
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(c), QUrl::fromLocalFile(b), QUrl::fromLocalFile(a), QUrl::fromLocalFile(c)});
    const DropResult r = DropOnList(f.lstSource, &data);
    EXPECT_TRUE(r.enterAccepted);
    EXPECT_TRUE(r.dropAccepted);
    EXPECT_EQ(r.action, Qt::CopyAction);
    EXPECT_EQ(f.lstSource->Sources(), (QStringList {b, c, a}));
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(f.form.WindowHeightTwips(), SingleLayoutHeight + LayoutStep);

    // A folder is taken like a file.
    QMimeData folder;
    folder.setUrls({QUrl::fromLocalFile(dir.path())});
    DropOnList(f.lstSource, &folder);
    EXPECT_EQ(f.lstSource->item(3)->text(), dir.path());
}

TEST(SourceDrop, DropsWithoutLocalFilesAreRefused)
{
    TestWindow w;
    SourceList* list = w.c().lstSource;
    QSignalSpy changed(list, &SourceList::contentChanged);
    QMimeData text;
    text.setText(QStringLiteral("/v/a.avi"));
    QMimeData web;
    web.setUrls({QUrl(QStringLiteral("https://example.org/a.avi"))});
    for (QMimeData* data : {&text, &web}) {
        EXPECT_EQ(FileDropEffect(data), DropEffect::None);
        const DropResult r = DropOnList(list, data);
        EXPECT_FALSE(r.enterAccepted);
        EXPECT_FALSE(r.dropAccepted);
    }
    EXPECT_EQ(list->count(), 0);
    EXPECT_EQ(list->AddDroppedSources(nullptr), DropEffect::None);
    EXPECT_EQ(changed.count(), 0);
}

TEST(SourceRemove, DeleteRemovesEverySelectedItem)
{
    TestWindow w;
    SourceList* list = w.c().lstSource;
    w.fake.dialogs->sourceResult = {"/v/a", "/v/b", "/v/c", "/v/d"};
    list->AddSourcesFromDialog();
    ASSERT_EQ(w.f().WindowHeightTwips(), SingleLayoutHeight + LayoutStep);

    // Other keys and an empty selection change nothing.
    QTest::keyClick(list, Qt::Key_Backspace);
    list->clearSelection();
    QTest::keyClick(list, Qt::Key_Delete);
    EXPECT_EQ(list->count(), 4);

    list->item(1)->setSelected(true);
    list->item(2)->setSelected(true);
    list->RemoveSelectedSources(Qt::Key_Escape);
    EXPECT_EQ(list->count(), 4);
    QSignalSpy changed(list, &SourceList::contentChanged);
    QTest::keyClick(list, Qt::Key_Delete);
    EXPECT_EQ(list->Sources(), (QStringList {"/v/a", "/v/d"}));
    EXPECT_EQ(changed.count(), 2); // once per removed row
    EXPECT_EQ(w.f().WindowHeightTwips(), SingleLayoutHeight + LayoutStep);

    list->clearSelection();
    list->item(0)->setSelected(true);
    list->RemoveSelectedSources(Qt::Key_Delete);
    EXPECT_EQ(list->Sources(), QStringList {"/v/d"});
    EXPECT_EQ(w.f().WindowHeightTwips(), SingleLayoutHeight);

    list->selectAll();
    list->RemoveSelectedSources(Qt::Key_Delete);
    list->RemoveSelectedSources(Qt::Key_Delete); // empty list
    EXPECT_EQ(list->count(), 0);
}

TEST(SourceRows, RowUnderThePointer)
{
    TestWindow w;
    SourceList* list = w.c().lstSource;
    EXPECT_EQ(list->RowAtPosition(0), -1);
    w.addSources({"a", "b", "c", "d", "e"});
    for (int i = 0; i < list->count(); ++i)
        list->item(i)->setSizeHint(QSize(100, 13));
    EXPECT_EQ(list->RowAtPosition(0), 0);
    // Twips round to the nearest pixel before the division.
    EXPECT_EQ(list->RowAtPosition(187), 0);
    EXPECT_EQ(list->RowAtPosition(187.5), 0); // 12.5 pixels: halves go to the even neighbour
    EXPECT_EQ(list->RowAtPosition(188), 1);
    EXPECT_EQ(list->RowAtPosition(195), 1);
    EXPECT_EQ(list->RowAtPosition(3 * 195 + 10), 3);
    EXPECT_EQ(list->RowAtPosition(3000), 4);
}

TEST(SourceRows, MoveListItemShiftsTheRowsBetween)
{
    TestWindow w;
    SourceList* list = w.c().lstSource;
    w.addSources({"a", "b", "c", "d"});
    list->MoveListItem(0, 2);
    EXPECT_EQ(list->Sources(), (QStringList {"b", "c", "a", "d"}));
    list->MoveListItem(2, 0);
    list->MoveListItem(3, 1);
    EXPECT_EQ(list->Sources(), (QStringList {"a", "d", "b", "c"}));
    list->MoveListItem(2, 2);
    list->MoveListItem(1, 9);
    EXPECT_EQ(list->Sources(), (QStringList {"a", "d", "b", "c"}));
}

TEST(SourceRows, DraggingARowMovesIt)
{
    TestWindow w;
    FormControls& f = w.c();
    SourceList* list = f.lstSource;
    w.addSources({"a", "b", "c", "d"});
    f.form.UpdateLayout();
    f.form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f.form));
    QWidget* viewport = list->viewport();
    const QPoint row1 = list->visualItemRect(list->item(1)).center();
    const QPoint row3 = list->visualItemRect(list->item(3)).center();

    // Pressing on row 1 and moving past the drag distance starts a row drag from row 1. On a real display
    // the drag waits for the real mouse; it is called off, and the drop below comes by hand.
    QTimer::singleShot(200, [] { QDrag::cancel(); });
    QTest::mousePress(viewport, Qt::LeftButton, Qt::NoModifier, row1);
    const QPoint away = row1 + QPoint(0, QApplication::startDragDistance() + 2);
    QMouseEvent move(QEvent::MouseMove, away, viewport->mapToGlobal(away), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(viewport, &move);

    // Dragged over row 3 it becomes the current row; dropped there, the item from row 1 moves.
    std::unique_ptr<QMimeData> data(list->NewRowDragData());
    QDragEnterEvent enter(row1, Qt::MoveAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &enter);
    QDragMoveEvent over(row3, Qt::MoveAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &over);
    EXPECT_TRUE(over.isAccepted());
    EXPECT_EQ(list->currentRow(), 3);
    const DropResult r = DropOnList(list, data.get(), row3);
    EXPECT_TRUE(r.dropAccepted);
    EXPECT_EQ(list->Sources(), (QStringList {"a", "c", "d", "b"}));

    // A row drag from another list is not ours.
    TestWindow other;
    std::unique_ptr<QMimeData> foreign(other.c().lstSource->NewRowDragData());
    EXPECT_FALSE(DropOnList(list, foreign.get(), row3).dropAccepted);
    EXPECT_EQ(list->Sources(), (QStringList {"a", "c", "d", "b"}));
}
