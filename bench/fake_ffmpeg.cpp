// Stands in for the system's ffmpeg when timing the bridge's start: notes the moment it was started
// (the monotonic clock, nanoseconds) in the file named by REELPOCKET_BENCH_STAMP, then fails at once.
#include <chrono>
#include <cstdlib>
#include <fstream>

int main()
{
    // steady_clock is CLOCK_MONOTONIC on Linux: the same clock in every process.
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    if (const char* stamp = std::getenv("REELPOCKET_BENCH_STAMP"))
        std::ofstream(stamp) << std::chrono::duration_cast<std::chrono::nanoseconds>(now).count() << "\n";
    return 1;
}
