#include "conversion/Paths.h"
#include "conversion/SubtitleScriptWriter.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {
constexpr PathStyle Win = PathStyle::Windows;
constexpr PathStyle Posix = PathStyle::Posix;

void Touch(const QString& path, const QByteArray& bytes = "x")
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(bytes);
}

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
} // namespace

TEST(FolderPart, WindowsStopsAtBackslashOrDriveColon)
{
    EXPECT_EQ(FolderPart("C:\\Videos\\Holiday.avi", Win), "C:\\Videos\\");
    EXPECT_EQ(FolderPart("C:Holiday.avi", Win), "C:");
    EXPECT_EQ(FolderPart("Holiday.avi", Win), "");
    EXPECT_EQ(FolderPart("D:\\videos", Win), "D:\\");
    EXPECT_EQ(FolderPart("D:\\out\\", Win), "D:\\out\\");
    // A forward slash is an ordinary character in this style.
    EXPECT_EQ(FolderPart("C:\\a\\b/c.avi", Win), "C:\\a\\");
    EXPECT_EQ(FolderPart("", Win), "");
}

TEST(FolderPart, PosixStopsAtSlashOnly)
{
    EXPECT_EQ(FolderPart("/home/me/Videos/Holiday.avi", Posix), "/home/me/Videos/");
    EXPECT_EQ(FolderPart("/clip.avi", Posix), "/");
    EXPECT_EQ(FolderPart("Holiday.avi", Posix), "");
    EXPECT_EQ(FolderPart("C:Holiday.avi", Posix), "");
    EXPECT_EQ(FolderPart("/v/a:b\\c.avi", Posix), "/v/");
}

TEST(FileNamePart, AfterTheLastSeparator)
{
    EXPECT_EQ(FileNamePart("C:\\Videos\\Holiday.avi", Win), "Holiday.avi");
    // The drive colon does not separate here.
    EXPECT_EQ(FileNamePart("C:Holiday.avi", Win), "C:Holiday.avi");
    EXPECT_EQ(FileNamePart("C:\\Videos\\", Win), "");
    EXPECT_EQ(FileNamePart("Holiday.avi", Win), "Holiday.avi");

    EXPECT_EQ(FileNamePart("/home/me/Holiday.avi", Posix), "Holiday.avi");
    EXPECT_EQ(FileNamePart("/home/me/", Posix), "");
    EXPECT_EQ(FileNamePart("/v/back\\slash.avi", Posix), "back\\slash.avi");
}

TEST(BaseNamePart, CutBeforeTheLastDotOfTheName)
{
    EXPECT_EQ(BaseNamePart("C:\\Videos\\Holiday.2009.avi", Win), "Holiday.2009");
    EXPECT_EQ(BaseNamePart("C:\\Videos\\Holiday.avi", Win), "Holiday");
    // A dot in a folder name is not an extension: the name has none.
    EXPECT_EQ(BaseNamePart("C:\\Videos.old\\Holiday", Win), "");
    EXPECT_EQ(BaseNamePart("C:clip.avi", Win), "C:clip");
    EXPECT_EQ(BaseNamePart(".hidden", Win), "");

    EXPECT_EQ(BaseNamePart("/v/Holiday.2009.avi", Posix), "Holiday.2009");
    EXPECT_EQ(BaseNamePart("/v.old/Holiday", Posix), "");
    EXPECT_EQ(BaseNamePart("/v/a\\b.c.avi", Posix), "a\\b.c");
    EXPECT_EQ(BaseNamePart("clip.", Posix), "clip");
}

TEST(Paths, NativeStyleIsPosixHere)
{
    EXPECT_EQ(Separator(), QLatin1Char('/'));
    EXPECT_EQ(FolderPart("/v/clip.avi"), "/v/");
    EXPECT_EQ(BaseNamePart("/v/my.clip.avi"), "my.clip");
}

TEST(FileExists, FilesOnlyNeverFolders)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString file = dir.filePath("clip.avi");
    Touch(file);
    EXPECT_TRUE(FileExists(file));
    EXPECT_FALSE(FileExists(dir.path()));
    EXPECT_FALSE(FileExists(dir.path() + "/"));
    EXPECT_FALSE(FileExists(dir.filePath("missing.avi")));
    EXPECT_FALSE(FileExists(""));
    // A link to a folder is a folder; a dangling link names nothing.
    ASSERT_TRUE(QFile::link(dir.path(), dir.filePath("folderlink")));
    EXPECT_FALSE(FileExists(dir.filePath("folderlink")));
    ASSERT_TRUE(QFile::link(dir.filePath("gone"), dir.filePath("dangling")));
    EXPECT_FALSE(FileExists(dir.filePath("dangling")));
}

TEST(SameFile, OtherSpellingsOfOneFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString file = dir.filePath("clip.mp4");
    Touch(file);
    Touch(dir.filePath("other.mp4"));
    ASSERT_TRUE(QFile::link(file, dir.filePath("link.mp4")));
    ASSERT_EQ(::link(QFile::encodeName(file).constData(), QFile::encodeName(dir.filePath("hard.mp4")).constData()), 0);
    EXPECT_TRUE(SameFile(file, dir.path() + "//clip.mp4"));
    EXPECT_TRUE(SameFile(file, dir.path() + "/./clip.mp4"));
    EXPECT_TRUE(SameFile(dir.filePath("link.mp4"), file));
    EXPECT_TRUE(SameFile(dir.filePath("hard.mp4"), file));
    EXPECT_FALSE(SameFile(file, dir.filePath("other.mp4")));
    EXPECT_FALSE(SameFile(file, dir.filePath("missing.mp4")));
    EXPECT_FALSE(SameFile("", ""));
}

TEST(SubtitleScript, ThreeLinesJoinedByCrLf)
{
    EXPECT_EQ(SubtitleScriptText("/opt/Conv", "/home/me/Videos/Holiday.avi"),
              "DirectShowSource(\"/home/me/Videos/Holiday.avi\")\r\n"
              "LoadPlugin (\"/opt/Conv/VSFilter.dll\")\r\n"
              "TextSub (\"/home/me/Videos/Holiday.srt\")");
    // Paths go in unchanged; a name without an extension looks for ".srt" alone in its folder.
    EXPECT_TRUE(SubtitleScriptText("/p", "/v.old/Holiday").endsWith("TextSub (\"/v.old/.srt\")"));
}

TEST(SubtitleScript, EveryJobHasANameOfItsOwnAndOnlyLeftoversOfEndedProgramsAreRemoved)
{
    const QString pid = QString::number(QCoreApplication::applicationPid());
    const QRegularExpression form("^/opt/Conv/tmp-([0-9a-f]{8})-" + pid + "-[A-Za-z0-9]{8}\\.avs$");
    const QRegularExpressionMatch name = form.match(NewSubtitleScriptPath("/opt/Conv"));
    ASSERT_TRUE(name.hasMatch());
    EXPECT_NE(NewSubtitleScriptPath("/opt/Conv"), NewSubtitleScriptPath("/opt/Conv"));

    // A process that has ended, and one that runs.
    QProcess ended;
    ended.start("/bin/true");
    ASSERT_TRUE(ended.waitForStarted());
    const QString dead = QString::number(ended.processId());
    ASSERT_TRUE(ended.waitForFinished());
    const QString alive = QString::number(::getppid());
    const QString host = name.captured(1);
    const QString other = QString(host).replace(0, 1, host[0] == 'a' ? "b" : "a");
    QTemporaryDir working;
    ASSERT_TRUE(working.isValid());
    const QString stale = "tmp-" + host + "-" + dead + "-Ab12Cd34.avs";
    // Another machine's, a running program's, this one's, and one just written: a program in another
    // sandbox, whose pid this one cannot see, is starting its encode.
    const QStringList kept {"tmp-" + other + "-" + dead + "-Ab12Cd34.avs",
                            "tmp-" + host + "-" + alive + "-Ab12Cd34.avs", "tmp-" + host + "-" + pid + "-Ab12Cd34.avs",
                            "tmp.avs", "tmp-" + host + "-" + dead + ".avs"};
    const QDateTime old = QDateTime::currentDateTime().addSecs(-120);
    for (const QString& script : kept + QStringList {stale}) {
        QFile file(working.filePath(script));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_TRUE(file.setFileTime(old, QFileDevice::FileModificationTime));
    }
    const QString fresh = "tmp-" + host + "-" + dead + "-Xy12Cd34.avs";
    Touch(working.filePath(fresh));
    EXPECT_EQ(RemoveStaleSubtitleScripts(working.path()), 1);
    QStringList expected = kept + QStringList {fresh};
    QStringList left = QDir(working.path()).entryList(QDir::Files);
    expected.sort();
    left.sort();
    EXPECT_EQ(left, expected);
}

TEST(SubtitleScript, AvailableOnlyWithPluginAndSubtitleFile)
{
    QTemporaryDir program;
    QTemporaryDir videos;
    ASSERT_TRUE(program.isValid() && videos.isValid());
    const QString source = videos.filePath("Holiday.2009.avi");
    Touch(source);
    EXPECT_FALSE(SubtitlesAvailable(program.path(), source));

    Touch(videos.filePath("Holiday.2009.srt"));
    EXPECT_FALSE(SubtitlesAvailable(program.path(), source)) << "no plug-in in the program folder";

    Touch(program.filePath("VSFilter.dll"));
    EXPECT_TRUE(SubtitlesAvailable(program.path(), source));
    // The subtitle file is named after the base name, not the whole name.
    EXPECT_FALSE(SubtitlesAvailable(program.path(), videos.filePath("Holiday.avi")));

    // A folder carrying the subtitle file's name is not a subtitle file.
    QDir(videos.path()).mkdir("Other.srt");
    EXPECT_FALSE(SubtitlesAvailable(program.path(), videos.filePath("Other.avi")));
}

TEST(SubtitleScript, WrittenWholeAsUtf8ReplacingAnEarlierScript)
{
    QTemporaryDir program;
    ASSERT_TRUE(program.isValid());
    // What a killed program whose pid this one has now left under the name goes first.
    const QString script = NewSubtitleScriptPath(program.path());
    Touch(script, QByteArray(500, 'z'));
    const QString source = QString::fromUtf8("/v/Été à Paris.avi");
    EXPECT_TRUE(WriteSubtitleScript(program.path(), script, source));
    EXPECT_EQ(ReadAll(script), SubtitleScriptText(program.path(), source).toUtf8());
    EXPECT_TRUE(ReadAll(script).contains("\"/v/\xC3\x89t\xC3\xA9 \xC3\xA0 Paris.srt\""));
}

TEST(WriteTextFile, FailuresAreReportedNotThrown)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    EXPECT_FALSE(WriteTextFile(dir.filePath("missing/folder/tmp.avs"), "text"));
    EXPECT_FALSE(QFile::exists(dir.filePath("missing/folder/tmp.avs")));
    // A folder in the way cannot be opened as a file.
    EXPECT_FALSE(WriteTextFile(dir.path(), "text"));
    EXPECT_TRUE(QFileInfo(dir.path()).isDir());
    EXPECT_TRUE(WriteTextFile(dir.filePath("ok.txt"), "text"));
}

TEST(SubtitleScript, AScriptThatCannotBeWrittenIsNeverReplacedByAnOlderOne)
{
    // A folder the user cannot write, holding an earlier job's script.
    QTemporaryDir program;
    ASSERT_TRUE(program.isValid());
    const QString script = NewSubtitleScriptPath(program.path());
    Touch(script, "DirectShowSource(\"/v/older.avi\")");
    ASSERT_TRUE(QFile::setPermissions(program.path(), QFile::ReadOwner | QFile::ExeOwner));
    if (QFile(script).open(QIODevice::WriteOnly | QIODevice::Append)) {
        // Running as root: make the script itself unwritable instead.
        ASSERT_TRUE(QFile::setPermissions(program.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        ASSERT_TRUE(QDir(program.path()).mkdir("blocker"));
        QFile::remove(script);
        ASSERT_TRUE(QDir(program.path()).rename("blocker", QFileInfo(script).fileName()));
    }
    EXPECT_FALSE(WriteSubtitleScript(program.path(), script, "/v/new.avi"));
    QFile::setPermissions(program.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}
