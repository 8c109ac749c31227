// Stands in for the system's ffmpeg when timing the bridge's start: notes the moment it was started
// (CLOCK_MONOTONIC, nanoseconds) in the file named by REELPOCKET_BENCH_STAMP, then fails at once.
#include <cstdio>
#include <cstdlib>
#include <ctime>

int main()
{
    timespec now {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    if (const char* stamp = std::getenv("REELPOCKET_BENCH_STAMP")) {
        if (FILE* file = std::fopen(stamp, "w")) {
            std::fprintf(file, "%lld\n", static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
            std::fclose(file);
        }
    }
    return 1;
}
