#pragma once

#include "encoder/common/Console.h"
#include "encoder/run/FailureReason.h"

#include <optional>
#include <string>
#include <vector>

// Turns SIGTERM, SIGINT and SIGHUP into readable events, so a stop request can end ffmpeg and clean up
// instead of killing the bridge mid-write. Ties the bridge's life to its parent's.
class SignalWatch
{
public:
    explicit SignalWatch(int parentAtStart);
    ~SignalWatch();
    SignalWatch(const SignalWatch&) = delete;
    SignalWatch& operator=(const SignalWatch&) = delete;

    int fd() const { return fd_; }
    // The signal received so far (waiting for none), 0 when there was none.
    int Take();

private:
    int fd_ = -1;
    int received_ = 0;
};

// The system's ffmpeg program on PATH, never this bridge itself.
std::optional<std::string> FindFfmpeg();

struct RunOutcome
{
    int exitCode = -1; // ffmpeg's exit status; 128 + signal when it was killed
    int stoppedBy = 0; // the signal that stopped the run, 0 when it ran to its end
    std::optional<double> declaredSeconds; // the input's duration as ffmpeg found it declared
    bool started = false; // false when ffmpeg could not be started at all
    EncoderErrors errors; // what its warnings and errors said
};

// Runs ffmpeg with `args` (which must ask for "-loglevel level+info"); its figures come on descriptor 3
// ("-progress pipe:3") and are shown as the old progress reports, its warnings and errors are passed on
// through a flood filter. A signal ends ffmpeg at once.
RunOutcome RunEncoder(const std::string& program, const std::vector<std::string>& args, SignalWatch& signals,
                      Console& console);
