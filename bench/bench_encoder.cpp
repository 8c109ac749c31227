// Whole-process timings of the encoder bridge against the system's ffmpeg doing the same work:
//  - probe: "ffmpeg.exe -i SRC" against "ffmpeg -i SRC" (target: at most 0.5 of ffmpeg's time);
//  - encode start: from starting the bridge until it starts ffmpeg (target: at most 20 ms), against
//    starting the same stand-in for ffmpeg directly;
//  - encode: the program's fixed command line through the bridge against the translated command run
//    directly, on a 60-second 720p source (target: under 2 % overhead);
//  - HDR encode: a phone's 4K HLG clip of 2 seconds through the bridge, tone-mapped to the classic size.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <spawn.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

int RunQuietly(const std::vector<std::string>& words, char** environment = environ)
{
    std::vector<char*> argv;
    for (const auto& word : words)
        argv.push_back(const_cast<char*>(word.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int error = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environment);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0)
        return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

const std::string& Folder()
{
    static const std::string folder = [] {
        char pattern[] = "/tmp/reelpocket-bench-XXXXXX";
        return std::string(mkdtemp(pattern));
    }();
    return folder;
}

const std::string kBridge = std::string(REELPOCKET_PROGRAM_DIR) + "/ffmpeg.exe";
const std::string kFfmpeg = "/usr/bin/ffmpeg";

std::string MakeSource(const std::string& name, const std::string& video, int seconds)
{
    const std::string path = Folder() + "/" + name;
    if (access(path.c_str(), R_OK) == 0)
        return path;
    const std::string duration = std::to_string(seconds);
    RunQuietly({kFfmpeg, "-y", "-f", "lavfi", "-i", "testsrc2=size=" + video + ":duration=" + duration, "-f", "lavfi",
                "-i", "sine=frequency=440:duration=" + duration, "-pix_fmt", "yuv420p", "-c:v", "libx264", "-preset",
                "ultrafast", "-c:a", "aac", path});
    return path;
}

const std::vector<std::string> kVideoOptions
    = {"-f", "mp4", "-vcodec", "libx264", "-crf", "21", "-subq", "4", "-level", "30", "-refs", "2"};
const std::vector<std::string> kRateAudioOptions
    = {"-bufsize", "4M", "-maxrate", "1.5M", "-g", "250", "-coder", "0", "-threads", "auto", "-ac", "2", "-ab", "128k"};

void Append(std::vector<std::string>& to, const std::vector<std::string>& from)
{
    to.insert(to.end(), from.begin(), from.end());
}

void BM_ProbeBridge(benchmark::State& state)
{
    const std::string source = MakeSource("probe.avi", "640x480:rate=25", 5);
    for (auto _ : state)
        benchmark::DoNotOptimize(RunQuietly({kBridge, "-i", source}));
}

void BM_ProbeFfmpeg(benchmark::State& state)
{
    const std::string source = MakeSource("probe.avi", "640x480:rate=25", 5);
    for (auto _ : state)
        benchmark::DoNotOptimize(RunQuietly({kFfmpeg, "-i", source}));
}

long long MonotonicNs()
{
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return std::chrono::duration_cast<std::chrono::nanoseconds>(now).count();
}

// Starts `words` with the stand-in as the only ffmpeg on PATH; the time until the stand-in began, in seconds.
double SecondsUntilFfmpegStarts(const std::vector<std::string>& words)
{
    static const std::string folder = [] {
        const std::string path = Folder() + "/fake-bin";
        mkdir(path.c_str(), 0755);
        symlink(REELPOCKET_FAKE_FFMPEG, (path + "/ffmpeg").c_str());
        return path;
    }();
    const std::string stamp = Folder() + "/stamp";
    std::string pathVariable = "PATH=" + folder;
    std::string stampVariable = "REELPOCKET_BENCH_STAMP=" + stamp;
    char* environment[] = {pathVariable.data(), stampVariable.data(), nullptr};
    unlink(stamp.c_str());
    const long long start = MonotonicNs();
    RunQuietly(words, environment);
    long long started = 0;
    std::ifstream(stamp) >> started;
    return started > start ? static_cast<double>(started - start) / 1e9 : -1;
}

void MeasureStart(benchmark::State& state, const std::vector<std::string>& words)
{
    for (auto _ : state) {
        const double seconds = SecondsUntilFfmpegStarts(words);
        if (seconds < 0) {
            state.SkipWithError("ffmpeg was never started");
            break;
        }
        state.SetIterationTime(seconds);
    }
}

void BM_EncodeStartBridge(benchmark::State& state)
{
    const std::string source = MakeSource("probe.avi", "640x480:rate=25", 5);
    std::vector<std::string> words = {kBridge, "-y", "-i", source};
    Append(words, kVideoOptions);
    Append(words, {"-me", "hex", "-partitions", "+parti4x4+partp4x4+partp8x8+partb8x8", "-s", "480x360"});
    Append(words, kRateAudioOptions);
    Append(words, {"-acodec", "libfaac", Folder() + "/start.mp4"});
    MeasureStart(state, words);
}

void BM_EncodeStartFfmpegDirect(benchmark::State& state)
{
    MeasureStart(state, {Folder() + "/fake-bin/ffmpeg"});
}

void BM_EncodeBridge(benchmark::State& state)
{
    const std::string source = MakeSource("long720.mkv", "1280x720:rate=25", 60);
    std::vector<std::string> words = {kBridge, "-y", "-i", source};
    Append(words, kVideoOptions);
    Append(words, {"-me", "hex", "-partitions", "+parti4x4+partp4x4+partp8x8+partb8x8", "-s", "480x270"});
    Append(words, kRateAudioOptions);
    Append(words, {"-acodec", "libfaac", Folder() + "/bridge.mp4"});
    for (auto _ : state)
        if (RunQuietly(words) != 0)
            state.SkipWithError("the bridge failed");
}

void BM_EncodeFfmpegDirect(benchmark::State& state)
{
    const std::string source = MakeSource("long720.mkv", "1280x720:rate=25", 60);
    // What the bridge hands to ffmpeg, without the bridge.
    std::vector<std::string> words = {kFfmpeg, "-hide_banner",   "-nostdin", "-nostats", "-loglevel", "level+info",
                                      "-i",    "file:" + source, "-map",     "0:V:0?",   "-map",      "0:a:0?"};
    Append(words, kVideoOptions);
    Append(words, {"-motion-est", "hex", "-partitions", "i4x4,p4x4,p8x8,b8x8"});
    Append(words, kRateAudioOptions);
    Append(words,
           {"-c:a", "aac", "-profile:v", "baseline", "-vf", "scale=480:270", "-pix_fmt", "yuv420p", "-movflags",
            "+faststart", "-sn", "-dn", "-y", "file:" + Folder() + "/direct.mp4"});
    for (auto _ : state)
        if (RunQuietly(words) != 0)
            state.SkipWithError("ffmpeg failed");
}

// As a phone records it: 4K HEVC, 10-bit, BT.2020 with the HLG curve.
std::string MakeHlgSource()
{
    const std::string path = Folder() + "/hlg4k.mp4";
    if (access(path.c_str(), R_OK) == 0)
        return path;
    std::vector<std::string> words = {kFfmpeg, "-y", "-f", "lavfi", "-i", "testsrc2=size=3840x2160:rate=30:duration=2"};
    Append(words, {"-f", "lavfi", "-i", "sine=frequency=440:duration=2", "-c:a", "aac", "-vf"});
    Append(words,
           {"zscale=tin=bt709:pin=bt709:min=bt709:t=arib-std-b67:p=bt2020:m=bt2020nc:npl=203,format=yuv420p10le"});
    Append(words, {"-c:v", "libx265", "-preset", "ultrafast", "-x265-params", "log-level=error"});
    Append(words, {"-color_primaries", "bt2020", "-color_trc", "arib-std-b67", "-colorspace", "bt2020nc", path});
    RunQuietly(words);
    return path;
}

void BM_EncodeHdrBridge(benchmark::State& state)
{
    std::vector<std::string> words = {kBridge, "-y", "-i", MakeHlgSource(), "-r", "30"};
    Append(words, kVideoOptions);
    Append(words, {"-me", "hex", "-partitions", "+parti4x4+partp4x4+partp8x8+partb8x8", "-s", "480x270"});
    Append(words, kRateAudioOptions);
    Append(words, {"-acodec", "libfaac", Folder() + "/hdr.mp4"});
    for (auto _ : state)
        if (RunQuietly(words) != 0)
            state.SkipWithError("the bridge failed");
}

} // namespace

BENCHMARK(BM_ProbeBridge)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(40);
BENCHMARK(BM_ProbeFfmpeg)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(40);
BENCHMARK(BM_EncodeStartBridge)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(40);
BENCHMARK(BM_EncodeStartFfmpegDirect)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(40);
BENCHMARK(BM_EncodeBridge)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_EncodeFfmpegDirect)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_EncodeHdrBridge)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

BENCHMARK_MAIN();
