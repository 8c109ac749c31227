// The program's command lines, split as the runner splits them and read as the encoder bridge reads
// them: the two sides of the command line can never drift apart.
#include "conversion/EncoderCommand.h"
#include "conversion/EncoderReport.h"
#include "conversion/OutputFormat.h"
#include "encoder/plan/Arguments.h"
#include "encoder/plan/CopyRule.h"
#include "encoder/plan/FilterChain.h"
#include "encoder/run/Encode.h"
#include "encoder/run/FailureReason.h"
#include "platform/CommandLine.h"

#include <QSize>
#include <algorithm>
#include <gtest/gtest.h>
#include <set>

namespace {

// What the bridge receives: the runner's split, without the program name.
Request AsTheBridgeReadsIt(const QString& commandLine)
{
    QStringList parts = SplitCommandLine(commandLine);
    EXPECT_EQ(parts.value(0), "ffmpeg.exe");
    std::vector<std::string> args;
    for (const QString& part : parts.mid(1))
        args.push_back(part.toStdString());
    return ParseArguments(args);
}

bool HasPair(const std::vector<std::string>& options, const std::string& name, const std::string& value)
{
    for (size_t i = 0; i + 1 < options.size(); ++i) {
        if (options[i] == name && options[i + 1] == value)
            return true;
    }
    return false;
}

const QStringList AwkwardPaths {
    "/v/clip.avi", "/v/my holiday/été à l'eau.mkv", "/v/-y.avi", "/v/a  b\tc.mp4", "/v/$(x);`y`|z.avi", "/v/Фильм.mov"};

} // namespace

TEST(CommandContract, EveryProbeReachesTheBridgeAsAProbeOfThatFile)
{
    for (const QString& path : AwkwardPaths) {
        const Request r = AsTheBridgeReadsIt(ProbeCommand(path));
        EXPECT_EQ(r.mode, Request::Mode::Probe) << path.toStdString() << ": " << r.error;
        EXPECT_EQ(r.input, path.toStdString());
        EXPECT_TRUE(r.output.empty());
    }
}

TEST(CommandContract, EveryEncodeReachesTheBridgeWithItsInputOutputAndOptions)
{
    for (const OutputFormat format : {OutputFormat::Classic, OutputFormat::FullHd}) {
        const bool fullHd = format == OutputFormat::FullHd;
        const QSize size = fullHd ? QSize(1920, 1080) : QSize(480, 270);
        for (const QString& path : AwkwardPaths) {
            for (const QString& cap : {QString(), QStringLiteral(" -r 30")}) {
                const QString output = "/out/" + path.mid(3) + ".mp4";
                const Request r
                    = AsTheBridgeReadsIt(EncoderCommand(format, path, cap, size.width(), size.height(), output));
                ASSERT_EQ(r.mode, Request::Mode::Encode) << path.toStdString() << ": " << r.error;
                EXPECT_EQ(r.input, path.toStdString());
                EXPECT_EQ(r.output, output.toStdString());
                EXPECT_TRUE(r.overwrite);
                EXPECT_TRUE(r.inputOptions.empty());

                const Translation t = TranslateOutputOptions(r.outputOptions);
                ASSERT_TRUE(t.size.has_value());
                EXPECT_EQ(t.size->width, size.width());
                EXPECT_EQ(t.size->height, size.height());
                EXPECT_EQ(t.format, "mp4");
                EXPECT_EQ(t.videoCodec, "libx264");
                EXPECT_EQ(t.frameRate, cap.isEmpty() ? "" : "30");
                // The audio options of their time mean today's AAC encoder at the output's rate.
                EXPECT_TRUE(HasPair(t.options, "-c:a", "aac"));
                EXPECT_TRUE(HasPair(t.options, "-b:a", fullHd ? "160k" : "128k"));
                EXPECT_TRUE(HasPair(t.options, "-ac", "2"));
                // Classic: CAVLC without B-frames, the Constrained Baseline profile. Full HD: High at 4.1
                // with B-frames and CABAC.
                EXPECT_EQ(t.cavlc, !fullHd);
                EXPECT_TRUE(HasPair(t.options, "-level", fullHd ? "41" : "30"));
                EXPECT_TRUE(HasPair(t.options, "-profile:v", fullHd ? "high" : "baseline"));
                EXPECT_EQ(HasPair(t.options, "-bf", "3"), fullHd);
                EXPECT_FALSE(HasPair(t.options, "-bf", "0"));
                // The frame-rate cap is a filter ahead of the scaler.
                const std::string chain = BuildVideoFilters(t, "");
                if (!cap.isEmpty()) {
                    EXPECT_LT(chain.find("fps="), chain.find("scale=")) << chain;
                }
            }
        }
    }
}

TEST(CommandContract, TheProgramFindsTheLinesTheBridgeWritesAndSetsTheVariableItReads)
{
    EXPECT_STREQ(SubtitlesLeftOutMarker, kSubtitlesLeftOut);
    EXPECT_STREQ(NoReplaceVariable, kNoReplaceVariable);
    // Every failure the bridge names is a reason of its own to the program, with the detail kept.
    EXPECT_STREQ(EncodeFailedMarker, kFailedMarker);
    std::set<EncodeFailure::Kind> read;
    for (int kind = 0; kind <= static_cast<int>(FailureKind::NameTaken); ++kind) {
        const std::string line = FailureLine(static_cast<FailureKind>(kind), "the detail");
        const EncodeFailure failure = ReadEncodeFailure(QString::fromStdString("size= 1kB\r" + line));
        EXPECT_NE(failure.kind, EncodeFailure::Kind::Unknown) << line;
        EXPECT_EQ(failure.detail, "the detail");
        read.insert(failure.kind);
    }
    EXPECT_EQ(read.size(), static_cast<size_t>(FailureKind::NameTaken) + 1);
}

TEST(CommandContract, TheProgramFindsTheLineThatSaysTheVideoWasCopied)
{
    EXPECT_STREQ(VideoCopiedMarker, kCopiedMarker);
    EXPECT_TRUE(VideoCopied(QString::fromStdString("ffmpeg.exe: probe\n" + CopiedLine({true, false, true}) + "size=")));
    EXPECT_FALSE(VideoCopied(QStringLiteral("ffmpeg.exe: encoding\nsize= 10kB")));
}
