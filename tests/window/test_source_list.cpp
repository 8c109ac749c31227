#include "support/TestWindow.h"
#include "window/Layout.h"
#include "window/SourceList.h"

#include <QDropEvent>
#include <QListWidget>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <gtest/gtest.h>

namespace {

QStringList Items(const QListWidget* list)
{
    QStringList items;
    for (int i = 0; i < list->count(); ++i)
        items << list->item(i)->text();
    return items;
}

const QChar Nul(0);

// Sends a drag over and a drop at `pos` of the list's viewport; returns whether each was accepted.
struct DropResult
{
    bool enterAccepted;
    bool dropAccepted;
    Qt::DropAction action;
};

DropResult DropOnList(Form1& f, QMimeData* data, QPoint pos = QPoint(5, 5))
{
    QWidget* target = f.lstSource->viewport();
    QDragEnterEvent enter(pos, Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDropEvent drop(QPointF(pos), Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    return {enter.isAccepted(), drop.isAccepted(), drop.dropAction()};
}

} // namespace

TEST(SourceDialog, OnePathFolderWithNamesAndRootFolder)
{
    TestWindow w;
    Form1& f = w.f();
    w.fake.dialogs->sourceResult = QStringLiteral("/v/a.avi");
    AddSourcesFromDialog(f);
    EXPECT_EQ(Items(f.lstSource), QStringList {"/v/a.avi"});

    // Several names: folder and names joined, the folder itself not added.
    w.fake.dialogs->sourceResult = QStringLiteral("/v") + Nul + "b.avi" + Nul + "c.avi";
    AddSourcesFromDialog(f);
    EXPECT_EQ(Items(f.lstSource), (QStringList {"/v/a.avi", "/v/b.avi", "/v/c.avi"}));

    // A root folder already ends with a separator; the join adds another one.
    w.fake.dialogs->sourceResult = QStringLiteral("/") + Nul + "d.avi" + Nul + "e.avi";
    AddSourcesFromDialog(f);
    EXPECT_EQ(Items(f.lstSource).mid(3), (QStringList {"//d.avi", "//e.avi"}));
    EXPECT_EQ(w.fake.dialogs->opened, 3);
}

TEST(SourceDialog, DuplicatesSkippedButCaseCounts)
{
    TestWindow w;
    Form1& f = w.f();
    w.addSources({"/v/a.avi"});
    w.fake.dialogs->sourceResult = QStringLiteral("/v") + Nul + "a.avi" + Nul + "A.avi" + Nul + "a.avi";
    AddSourcesFromDialog(f);
    EXPECT_EQ(Items(f.lstSource), (QStringList {"/v/a.avi", "/v/A.avi"}));
    w.fake.dialogs->sourceResult = QStringLiteral("/v/A.avi");
    AddSourcesFromDialog(f);
    EXPECT_EQ(f.lstSource->count(), 2);
    EXPECT_TRUE(IsSourceListed(f, "/v/A.avi"));
    EXPECT_FALSE(IsSourceListed(f, "/v/a.AVI"));
}

TEST(SourceDialog, CancelAddsNothingButStillUpdatesTheLayout)
{
    TestWindow w;
    Form1& f = w.f();
    w.addSources({"/v/a.avi", "/v/b.avi"}); // added behind the layout's back
    ASSERT_EQ(f.WindowHeightTwips(), SingleLayoutHeight);
    w.fake.dialogs->sourceResult.clear();
    AddSourcesFromDialog(f);
    EXPECT_EQ(f.lstSource->count(), 2);
    EXPECT_EQ(f.WindowHeightTwips(), SingleLayoutHeight + 1200);
}

TEST(SourceDialog, DoubleClickOnTheListOpensIt)
{
    TestWindow w;
    Form1& f = w.f();
    w.fake.dialogs->sourceResult = QStringLiteral("/v/a.avi");
    QTest::mouseDClick(f.lstSource->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_EQ(w.fake.dialogs->opened, 1);
    EXPECT_EQ(Items(f.lstSource), QStringList {"/v/a.avi"});
}

TEST(TakeToken, SplitsAtTheFirstSeparator)
{
    QString text = QStringLiteral("ab|cd|");
    EXPECT_EQ(TakeToken(text, '|'), "ab");
    EXPECT_EQ(text, "cd|");
    EXPECT_EQ(TakeToken(text, '|'), "cd");
    EXPECT_EQ(text, "");
    text = QStringLiteral("|x");
    EXPECT_EQ(TakeToken(text, '|'), "");
    EXPECT_EQ(text, "x");
}

TEST(SourceDrop, FilesDroppedOnTheRealListAreAppendedInOrder)
{
    TestWindow w;
    Form1& f = w.f();
    f.show();
    QTemporaryDir dir;
    const QString a = dir.filePath("a.avi"), b = dir.filePath("b b.mkv"), c = dir.filePath("c.avi");
    w.addSources({b});
    auto* data = new QMimeData;
    data->setUrls({QUrl::fromLocalFile(c), QUrl::fromLocalFile(b), QUrl::fromLocalFile(a), QUrl::fromLocalFile(c)});
    const DropResult r = DropOnList(f, data);
    EXPECT_TRUE(r.enterAccepted);
    EXPECT_TRUE(r.dropAccepted);
    EXPECT_EQ(r.action, Qt::CopyAction);
    EXPECT_EQ(Items(f.lstSource), (QStringList {b, c, a}));
    EXPECT_EQ(f.WindowHeightTwips(), SingleLayoutHeight + 1200);

    // A folder is taken like a file.
    auto* folder = new QMimeData;
    folder->setUrls({QUrl::fromLocalFile(dir.path())});
    DropOnList(f, folder);
    EXPECT_EQ(f.lstSource->item(3)->text(), dir.path());
    delete data;
    delete folder;
}

TEST(SourceDrop, DropsWithoutLocalFilesAreRefused)
{
    TestWindow w;
    Form1& f = w.f();
    QMimeData text;
    text.setText(QStringLiteral("/v/a.avi"));
    QMimeData web;
    web.setUrls({QUrl(QStringLiteral("https://example.org/a.avi"))});
    for (QMimeData* data : {&text, &web}) {
        EXPECT_EQ(FileDropEffect(data), DropEffect::None);
        const DropResult r = DropOnList(f, data);
        EXPECT_FALSE(r.enterAccepted);
        EXPECT_FALSE(r.dropAccepted);
    }
    EXPECT_EQ(f.lstSource->count(), 0);
    EXPECT_EQ(AddDroppedSources(f, nullptr), DropEffect::None);
}

TEST(SourceRemove, DeleteRemovesEverySelectedItem)
{
    TestWindow w;
    Form1& f = w.f();
    w.fake.dialogs->sourceResult = QStringLiteral("/v") + Nul + "a" + Nul + "b" + Nul + "c" + Nul + "d";
    AddSourcesFromDialog(f);
    ASSERT_EQ(f.WindowHeightTwips(), SingleLayoutHeight + 1200);

    // Other keys and an empty selection change nothing.
    QTest::keyClick(f.lstSource, Qt::Key_Backspace);
    f.lstSource->clearSelection();
    QTest::keyClick(f.lstSource, Qt::Key_Delete);
    EXPECT_EQ(f.lstSource->count(), 4);

    f.lstSource->item(1)->setSelected(true);
    f.lstSource->item(2)->setSelected(true);
    RemoveSelectedSources(f, Qt::Key_Escape);
    EXPECT_EQ(f.lstSource->count(), 4);
    QTest::keyClick(f.lstSource, Qt::Key_Delete);
    EXPECT_EQ(Items(f.lstSource), (QStringList {"/v/a", "/v/d"}));
    EXPECT_EQ(f.WindowHeightTwips(), SingleLayoutHeight + 1200);

    f.lstSource->clearSelection();
    f.lstSource->item(0)->setSelected(true);
    RemoveSelectedSources(f, Qt::Key_Delete);
    EXPECT_EQ(Items(f.lstSource), QStringList {"/v/d"});
    EXPECT_EQ(f.WindowHeightTwips(), SingleLayoutHeight);

    f.lstSource->selectAll();
    RemoveSelectedSources(f, Qt::Key_Delete);
    RemoveSelectedSources(f, Qt::Key_Delete); // empty list
    EXPECT_EQ(f.lstSource->count(), 0);
}

TEST(SourceRows, RowUnderThePointer)
{
    TestWindow w;
    QListWidget* list = w.f().lstSource;
    EXPECT_EQ(RowAtPosition(list, 0), -1);
    w.addSources({"a", "b", "c", "d", "e"});
    for (int i = 0; i < list->count(); ++i)
        list->item(i)->setSizeHint(QSize(100, 13));
    EXPECT_EQ(RowAtPosition(list, 0), 0);
    // Twips round to the nearest pixel before the division.
    EXPECT_EQ(RowAtPosition(list, 187), 0);
    EXPECT_EQ(RowAtPosition(list, 187.5), 0); // 12.5 pixels: halves go to the even neighbour
    EXPECT_EQ(RowAtPosition(list, 188), 1);
    EXPECT_EQ(RowAtPosition(list, 195), 1);
    EXPECT_EQ(RowAtPosition(list, 3 * 195 + 10), 3);
    EXPECT_EQ(RowAtPosition(list, 3000), 4);
}

TEST(SourceRows, MoveListItemShiftsTheRowsBetween)
{
    TestWindow w;
    QListWidget* list = w.f().lstSource;
    w.addSources({"a", "b", "c", "d"});
    MoveListItem(list, 0, 2);
    EXPECT_EQ(Items(list), (QStringList {"b", "c", "a", "d"}));
    MoveListItem(list, 2, 0);
    MoveListItem(list, 3, 1);
    EXPECT_EQ(Items(list), (QStringList {"a", "d", "b", "c"}));
    MoveListItem(list, 2, 2);
    MoveListItem(list, 1, 9);
    EXPECT_EQ(Items(list), (QStringList {"a", "d", "b", "c"}));
}

TEST(SourceRows, DraggingARowMovesIt)
{
    TestWindow w;
    Form1& f = w.f();
    w.addSources({"a", "b", "c", "d"});
    UpdateLayout(f);
    f.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
    QWidget* viewport = f.lstSource->viewport();
    const QPoint row1 = f.lstSource->visualItemRect(f.lstSource->item(1)).center();
    const QPoint row3 = f.lstSource->visualItemRect(f.lstSource->item(3)).center();

    // Pressing on row 1 and moving past the drag distance starts a row drag from row 1.
    f.opts.DragStartRow = 0;
    QTest::mousePress(viewport, Qt::LeftButton, Qt::NoModifier, row1);
    const QPoint away = row1 + QPoint(0, QApplication::startDragDistance() + 2);
    QMouseEvent move(QEvent::MouseMove, away, viewport->mapToGlobal(away), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(viewport, &move);
    EXPECT_EQ(f.opts.DragStartRow, 1);

    // Dragged over row 3 it becomes the current row; dropped there, the item moves.
    std::unique_ptr<QMimeData> data(NewRowDragData(f));
    QDragEnterEvent enter(row1, Qt::MoveAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &enter);
    QDragMoveEvent over(row3, Qt::MoveAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &over);
    EXPECT_TRUE(over.isAccepted());
    EXPECT_EQ(f.lstSource->currentRow(), 3);
    const DropResult r = DropOnList(f, data.get(), row3);
    EXPECT_TRUE(r.dropAccepted);
    EXPECT_EQ(Items(f.lstSource), (QStringList {"a", "c", "d", "b"}));

    // A row drag from another list is not ours.
    TestWindow other;
    std::unique_ptr<QMimeData> foreign(NewRowDragData(other.f()));
    EXPECT_FALSE(DropOnList(f, foreign.get(), row3).dropAccepted);
    EXPECT_EQ(Items(f.lstSource), (QStringList {"a", "c", "d", "b"}));
}
