#include "encoder/run/Encode.h"

#include "encoder/plan/ContainerFormat.h"
#include "encoder/plan/FfmpegArguments.h"

#include "encoder/capture/FileTimes.h"
#include "encoder/capture/MovieTags.h"
#include "encoder/common/Console.h"
#include "encoder/plan/FilterChain.h"
#include "encoder/run/CopyOrEncode.h"
#include "encoder/run/EncoderRun.h"
#include "encoder/run/FailureReason.h"
#include "encoder/run/OutputCheck.h"
#include "encoder/run/SourceQuery.h"
#include "encoder/run/SubtitleFile.h"
#include "encoder/run/SubtitleScriptReader.h"
#include "encoder/run/TempOutput.h"

#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

std::string AbsolutePath(const std::string& path)
{
    if (!path.empty() && path.front() == '/')
        return path;
    char cwd[4096];
    return ::getcwd(cwd, sizeof cwd) ? std::string(cwd) + "/" + path : path;
}

bool SameFile(const std::string& a, const std::string& b)
{
    struct stat first;
    struct stat second;
    return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 && first.st_dev == second.st_dev
        && first.st_ino == second.st_ino;
}

// Options that make an output legitimately shorter than its source.
bool CutsTheTime(const Request& request)
{
    for (const auto* options : {&request.inputOptions, &request.outputOptions})
        for (const std::string& option : *options)
            for (const char* cut : {"-t", "-to", "-ss", "-sseof", "-frames", "-frames:v", "-vframes", "-fs",
                                    "-shortest", "-frames:a", "-aframes"})
                if (option == cut)
                    return true;
    return false;
}

// A source that ends early (cut short, damaged, replaced while being read) still "succeeds" in ffmpeg, as a
// shorter video. Container and stream durations of real files differ by a frame or two, audio may run
// longer than the video, and some containers only estimate their duration: so a shortfall counts only
// beyond half a second or 2 %, whichever is more.
bool ClearlyShort(double outputSeconds, double declaredSeconds)
{
    const double tolerance = declaredSeconds * 0.02 > 0.5 ? declaredSeconds * 0.02 : 0.5;
    return outputSeconds < declaredSeconds - tolerance;
}

std::string SecondsText(double seconds)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", seconds);
    return text;
}

// How long the output should last: the longest of the streams it carries, where the source states their
// lengths. The container's own duration also counts streams that are left out (a subtitle track that runs
// past the picture, an attachment), so it is only the fallback.
std::optional<double> DeclaredSeconds(const Request& request, const Translation& translation,
                                      const std::optional<SourceFacts>& facts, std::optional<double> container)
{
    if (!facts || translation.hasMap)
        return container;
    const auto carried
        = CarriedSeconds(*facts, !HasOption(request.outputOptions, "-vn"), !HasOption(request.outputOptions, "-an"));
    return carried ? carried : container;
}

int Fail(Console& console, FailureKind kind, const std::string& detail)
{
    console.Message(FailureLine(kind, detail));
    return 1;
}

int Stopped(Console& console, int signal)
{
    console.Message(FailureLine(FailureKind::Cancelled, "stopped, no output written"));
    return 128 + signal;
}

// What an encode that ran but left no good file says: a full destination whatever else went wrong (ffmpeg
// may even exit with 0 then), else the encoder's own last error.
int EncoderFailed(Console& console, const RunOutcome& outcome, const TempOutput& temp, const std::string& output,
                  const std::string& fallback)
{
    // The user knows the file by the name it was to have, not by the hidden one ffmpeg wrote.
    std::string last = outcome.errors.lastError();
    for (size_t at = last.find(temp.path()); !temp.path().empty() && at != std::string::npos;
         at = last.find(temp.path(), at + output.size()))
        last.replace(at, temp.path().size(), output);
    const std::string folder = output.substr(0, output.rfind('/') + 1);
    if (outcome.errors.noSpace() || FolderIsFull(folder))
        return Fail(console, FailureKind::DestinationFull, last.empty() ? "No space left on device" : last);
    return Fail(console, FailureKind::EncoderError, last.empty() ? fallback : last);
}

// The exit status of a child that could not run the ffmpeg program.
constexpr int kCannotExec = 127;

// Taken between the check and the commit, or before the start: the user is told which name.
int NameTaken(Console& console, const std::string& output)
{
    return Fail(console, FailureKind::NameTaken, output);
}

bool MayReplace(const Request& request)
{
    const char* refused = std::getenv(kNoReplaceVariable);
    return request.overwrite && !(refused && std::string(refused) == "1");
}

} // namespace

int RunEncode(const Request& request, int parentAtStart)
{
    Console console;
    SignalWatch signals(parentAtStart);
    const auto ffmpeg = FindFfmpeg();
    if (!ffmpeg)
        return Fail(console, FailureKind::EncoderMissing,
                    "the ffmpeg program was not found on PATH; install FFmpeg (Debian package \"ffmpeg\")");

    std::string input = request.input;
    std::string subtitles;
    if (IsSubtitleScriptName(input)) {
        const auto script = ReadSubtitleScript(input);
        if (!script)
            return Fail(console, FailureKind::EncoderError, script.why());
        input = script->source;
        subtitles = script->subtitles;
    }

    // The same file under another name (a second slash, a linked folder): replacing it would lose the source.
    if (SameFile(input, request.output))
        return Fail(console, FailureKind::SourceIsOutput,
                    "'" + request.output + "' is the source itself, not replaced");
    if (!request.overwrite && ::access(request.output.c_str(), F_OK) == 0)
        return Fail(console, FailureKind::NameTaken,
                    "'" + request.output + "' already exists, not replaced without -y");
    // Taken between the program's check and this start: nothing to encode for.
    if (!MayReplace(request) && ::access(request.output.c_str(), F_OK) == 0)
        return NameTaken(console, request.output);

    const SourceQuery query = QuerySource(AbsolutePath(input), subtitles, signals);
    if (query.stoppedBy != 0)
        return Stopped(console, query.stoppedBy);
    const Translation translation = TranslateOutputOptions(request.outputOptions);
    EncodeSetup setup;
    setup.input = AbsolutePath(input);
    setup.format = translation.format.empty() ? GuessFormat(request.output) : translation.format;
    setup.facts = query.facts;
    // The video is the user's, the subtitles an extra: subtitles that cannot be drawn are left out, and a
    // line that names them says so.
    if (!subtitles.empty()) {
        const Result<std::string> filter = query.facts && !query.facts->subtitleProblem.empty()
            ? Failure {subtitles + ": " + query.facts->subtitleProblem}
            : SubtitleFilter(subtitles);
        if (filter)
            setup.subtitleFilter = *filter;
        else
            console.Message("ffmpeg.exe: " + filter.why() + "\n" + kSubtitlesLeftOut + subtitles + "\n");
    }

    TempOutput temp;
    const std::string output = AbsolutePath(request.output);
    const std::string folder = output.substr(0, output.rfind('/') + 1);
    if (const auto created = temp.Create(output); !created)
        return Fail(console, WriteFailure(created.why()), created.why());
    // What a killed bridge left behind in this folder.
    TempOutput::RemoveStale(folder);
    setup.partial = temp.path();

    CopyPlan copy = PlanCopy(request, translation, setup);
    const RunOutcome outcome = RunCopyOrEncode(*ffmpeg, request, translation, setup, copy, signals, console);
    if (outcome.stoppedBy != 0) {
        temp.Discard();
        return Stopped(console, outcome.stoppedBy);
    }
    if (!outcome.started || outcome.exitCode == kCannotExec) {
        temp.Discard();
        return Fail(console, FailureKind::EncoderMissing, "cannot start " + *ffmpeg);
    }
    // The verdict on a full destination comes before the partial file is removed and frees its room.
    if (outcome.exitCode != 0 || outcome.errors.noSpace()) {
        const int failed
            = EncoderFailed(console, outcome, temp, output, "ffmpeg exit status " + std::to_string(outcome.exitCode));
        temp.Discard();
        return failed;
    }
    // The capture's tags that ffmpeg cannot write; the video is kept without them rather than lost.
    const std::string userData = IsMovFamily(setup.format) && query.facts ? CaptureUserData(query.facts->capture) : "";
    if (!userData.empty()) {
        if (const auto placed = PlaceUserData(temp.path(), userData); !placed)
            console.Message("ffmpeg.exe: the recording date and place are not kept: " + placed.why() + "\n");
    }
    const auto readBack = OutputReadsBack(temp.path(), setup.format);
    if (!readBack) {
        const int failed = EncoderFailed(console, outcome, temp, output, readBack.why());
        temp.Discard();
        return failed;
    }
    const double seconds = *readBack;
    const auto declared = DeclaredSeconds(request, translation, query.facts, outcome.declaredSeconds);
    if (declared && seconds > 0 && !CutsTheTime(request) && ClearlyShort(seconds, *declared)) {
        temp.Discard();
        return Fail(console, FailureKind::SourceShort, SecondsText(seconds) + " " + SecondsText(*declared));
    }
    if (const int signal = signals.Take()) {
        temp.Discard();
        return Stopped(console, signal);
    }
    CopyFileTimes(input, temp.path());
    const auto committed = temp.Commit(MayReplace(request));
    if (!committed)
        return Fail(console, WriteFailure(committed.why()), committed.why());
    if (*committed == TempOutput::Committed::NameTaken) {
        // Kept under another name it would be a file nobody asked for, found by nobody looking for the
        // output's name: the encode goes, and the user is told which name was taken.
        temp.Discard();
        return NameTaken(console, output);
    }
    if (copy.video)
        console.Message(CopiedLine(copy));
    return 0;
}
