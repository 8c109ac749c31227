// The progress display and the finished look during a real conversion through the program folder's encoder.
#include "support/MediaFixtures.h"
#include "support/TestWindow.h"
#include "window/ProgressBar.h"
#include "window/SourceList.h"
#include "window/Twips.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

// Readable failure messages.
inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

TEST(ConversionDisplay, BarAndPercentageFollowARealEncode)
{
    TestApp();
    // A missing encoder is a broken build, not a reason to pass.
    ASSERT_TRUE(QFileInfo(QDir(programFolder()).filePath(QStringLiteral("ffmpeg.exe"))).isFile())
        << "the program folder has no encoder";

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString source = dir.filePath(QStringLiteral("holiday.avi"));
    // Long enough that the encoder reports several times before it is done.
    ASSERT_TRUE(media::MakeClip(source, "640x480:rate=25", 20, {"-c:v", "mpeg4", "-q:v", "4", "-c:a", "libmp3lame"}));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("out")));

    TestWindow w;
    w.fake.useRealRunner();
    FakePlatform& fake = w.fake;
    FormControls& f = w.c();
    f.form.show();
    const QString frm = w.t(QStringLiteral("frmCaption"));
    const QString finished = w.t(QStringLiteral("cmdConvert_ed"));

    f.lstSource->addItem(source);
    f.txtDestination->setText(dir.filePath(QStringLiteral("out")) + QLatin1Char('/'));
    QTest::mouseClick(f.cmdConvert, Qt::LeftButton);
    ASSERT_EQ(f.lblStatus->title(), w.t(QStringLiteral("cmdConvert_ing")));

    // What the user sees while the encoder runs.
    QList<int> barValues;
    QStringList percents;
    QStringList captions;
    const QDeadlineTimer deadline(180000);
    while (f.lblStatus->title() != finished && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        if (f.batch->ConversionPhase() != Phase::Conversion)
            continue;
        if (barValues.isEmpty() || barValues.last() != f.pBar->value())
            barValues << f.pBar->value();
        if (percents.isEmpty() || percents.last() != f.lblPercent->text()) {
            percents << f.lblPercent->text();
            captions << f.form.windowTitle();
        }
    }
    ASSERT_EQ(f.lblStatus->title(), finished) << "messages: " << fake.messages->shown.join(" | ").toStdString();
    EXPECT_TRUE(fake.messages->shown.isEmpty()) << fake.messages->shown.join(" | ").toStdString();
    EXPECT_TRUE(QFileInfo(dir.filePath(QStringLiteral("out/holiday.mp4"))).isFile());

    // The bar moved forward in several steps and the percentage rose with it.
    EXPECT_FLOAT_EQ(BarMax(f.pBar), 20);
    QList<int> moving;
    for (int v : barValues)
        if (v > 0 && v < f.pBar->maximum())
            moving << v;
    EXPECT_GE(moving.size(), 2) << "bar values seen: " << barValues.size();
    EXPECT_TRUE(std::is_sorted(moving.begin(), moving.end()));
    QList<double> rising;
    for (const QString& p : percents) {
        const double value = QString(p).remove('%').toDouble();
        if (value > 0 && value < 100)
            rising << value;
    }
    EXPECT_GE(rising.size(), 2) << percents.join(' ').toStdString();
    EXPECT_TRUE(std::is_sorted(rising.begin(), rising.end())) << percents.join(' ').toStdString();
    for (int i = 0; i < percents.size(); ++i) {
        if (percents[i] != QLatin1String("0%")) {
            EXPECT_EQ(captions[i], frm + " - " + percents[i]);
        }
    }

    // The finished look.
    EXPECT_EQ(f.form.windowTitle(), frm + " - 100%");
    EXPECT_EQ(f.lblPercent->text(), "100%");
    EXPECT_EQ(f.pBar->value(), f.pBar->maximum());
    EXPECT_EQ(f.lblTimeR->text(), "00:00:00");
    EXPECT_EQ(TextColour(f.lblStatus), QColor(0, 192, 0));
    EXPECT_FALSE(f.cmdConvert->isHidden());
    EXPECT_TRUE(f.cmdConvert->isEnabled());
    EXPECT_TRUE(f.batch->ConversionPhase() == Phase::Idle);
}
