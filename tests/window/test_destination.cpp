#include "window/DestinationField.h"

#include "conversion/Batch.h"
#include "conversion/Paths.h"
#include "support/TestWindow.h"

#include <QCoreApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <gtest/gtest.h>
#include <memory>

namespace {

std::unique_ptr<QMimeData> Files(const QStringList& paths)
{
    auto data = std::make_unique<QMimeData>();
    QList<QUrl> urls;
    for (const QString& path : paths)
        urls << QUrl::fromLocalFile(path);
    data->setUrls(urls);
    return data;
}

std::unique_ptr<QMimeData> PlainText(const QString& text)
{
    auto data = std::make_unique<QMimeData>();
    data->setText(text);
    return data;
}

QString OutputFor(TestWindow&, const QString& destination, const QString& source)
{
    return OutputPath(destination, source);
}

} // namespace

TEST(OutputFileName, DestinationBaseNameAndMp4)
{
    TestWindow w;
    EXPECT_EQ(OutputFor(w, "/out/", "/v/clip.avi"), "/out/clip.mp4");
    EXPECT_EQ(OutputFor(w, "/out/", "/v/my.clip.avi"), "/out/my.clip.mp4");
    EXPECT_EQ(OutputFor(w, "/out/", "/v/CLIP.AVI"), "/out/CLIP.mp4");
    // The text is a plain prefix: nothing adds a missing separator.
    EXPECT_EQ(OutputFor(w, "/out", "/v/clip.avi"), "/outclip.mp4");
    EXPECT_EQ(OutputFor(w, "/out/", "/v.old/noext"), "/out/.mp4");
    // A batch's rows use the destination it was started with.
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    w.addSources({"/v/clip.avi"});
    w.c().txtDestination->setText(dir.path() + "/");
    w.startConversion();
    w.c().txtDestination->setText("/elsewhere/");
    EXPECT_EQ(w.batch().OutputFileNameOf(0), dir.path() + "/clip.mp4");
}

TEST(BrowseDestination, ChosenFolderWithItsSeparator)
{
    TestWindow w;
    w.c().txtDestination->setText("/start/here/");
    w.fake.dialogs->folderResult = QString("/home/me/Movies");
    w.c().destinationField->BrowseDestination();
    EXPECT_EQ(w.fake.dialogs->folderInitial, QStringList {"/start/here/"});
    EXPECT_EQ(w.c().txtDestination->text(), "/home/me/Movies/");

    w.fake.dialogs->folderResult = QString("/");
    w.c().destinationField->BrowseDestination();
    EXPECT_EQ(w.c().txtDestination->text(), "/");

    w.fake.dialogs->folderResult = std::nullopt;
    w.c().destinationField->BrowseDestination();
    EXPECT_EQ(w.c().txtDestination->text(), "/");
    EXPECT_TRUE(w.fake.messages->shown.isEmpty());
}

TEST(BrowseDestination, ButtonAndDoubleClickOpenTheChooser)
{
    TestWindow w;
    w.fake.dialogs->folderResult = QString("/srv/videos");
    w.f().show();
    QTest::mouseClick(w.c().cmdDestination, Qt::LeftButton);
    EXPECT_EQ(w.c().txtDestination->text(), "/srv/videos/");

    w.fake.dialogs->folderResult = QString("/srv/other");
    QTest::mouseDClick(w.c().txtDestination, Qt::LeftButton);
    EXPECT_EQ(w.c().txtDestination->text(), "/srv/other/");
    EXPECT_EQ(w.fake.dialogs->folderInitial.size(), 2);
}

TEST(DropDestination, FolderOfTheFirstDroppedPath)
{
    TestWindow w;
    w.c().txtDestination->setText("/before/");
    EXPECT_EQ(w.c().destinationField->DropDestination(Files({"/videos/a.avi", "/elsewhere/b.avi"}).get()),
              DropEffect::Copy);
    EXPECT_EQ(w.c().txtDestination->text(), "/videos/");

    // A dropped folder is the destination itself, with its separator; a file in it gives the folder too.
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(QDir(dir.path()).mkdir("sub"));
    EXPECT_EQ(w.c().destinationField->DropDestination(Files({dir.filePath("sub")}).get()), DropEffect::Copy);
    EXPECT_EQ(w.c().txtDestination->text(), dir.filePath("sub/"));
    EXPECT_EQ(w.c().destinationField->DropDestination(Files({dir.filePath("sub/")}).get()), DropEffect::Copy);
    EXPECT_EQ(w.c().txtDestination->text(), dir.filePath("sub/"));
    EXPECT_EQ(w.c().destinationField->DropDestination(Files({dir.filePath("sub/clip.avi")}).get()), DropEffect::Copy);
    EXPECT_EQ(w.c().txtDestination->text(), dir.filePath("sub/"));

    // Data without files changes nothing.
    EXPECT_EQ(w.c().destinationField->DropDestination(PlainText("/not/a/file").get()), DropEffect::None);
    EXPECT_EQ(w.c().txtDestination->text(), dir.filePath("sub/"));
}

TEST(DestinationEvent, DragOverAcceptsFilesOnly)
{
    TestWindow w;
    const auto files = Files({"/videos/a.avi"});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction | Qt::MoveAction, files.get(), Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w.c().txtDestination, &enter);
    EXPECT_TRUE(enter.isAccepted());
    EXPECT_EQ(enter.dropAction(), Qt::CopyAction);

    const auto text = PlainText("hello");
    QDragMoveEvent move(QPoint(5, 5), Qt::CopyAction | Qt::MoveAction, text.get(), Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w.c().txtDestination, &move);
    EXPECT_FALSE(move.isAccepted());
}

TEST(DestinationEvent, DropSetsTheFolder)
{
    TestWindow w;
    w.c().txtDestination->setText("/before/");
    const auto files = Files({"/videos/a.avi", "/other/b.avi"});
    // Qt delivers a drop only to the widget that accepted the drag's entry.
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction | Qt::MoveAction, files.get(), Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w.c().txtDestination, &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction | Qt::MoveAction, files.get(), Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w.c().txtDestination, &drop);
    EXPECT_TRUE(drop.isAccepted());
    EXPECT_EQ(drop.dropAction(), Qt::CopyAction);
    // The line edit's own drop would have inserted the URL text.
    EXPECT_EQ(w.c().txtDestination->text(), "/videos/");
}

TEST(CheckDestination, AFolderWithAQuoteCannotBeWrittenInTheCommandLine)
{
    TestWindow w;
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(QDir(dir.path()).mkdir("say \"hi\""));
    w.c().txtDestination->setText(dir.path() + "/");
    EXPECT_EQ(Batch::CheckDestination(w.c().txtDestination->text()), "ok");
    w.c().txtDestination->setText(dir.path() + "/say \"hi\"/");
    EXPECT_EQ(Batch::CheckDestination(w.c().txtDestination->text()), "error_badDestination");
}
