// A small process for the runner tests. Modes:
//   pieces       prints "one", "two\n", "three" with pauses, on stdout and stderr, then exits 0
//   exit N       prints "bye" and exits with status N
//   tree FILE    starts a child, writes "<own pid> <child pid>" to FILE, then both sleep
//   args ...     prints each argument on its own line between [ and ]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <unistd.h>

int main(int argc, char* argv[])
{
    if (argc < 2)
        return 2;
    if (std::strcmp(argv[1], "pieces") == 0) {
        std::fputs("one", stdout);
        std::fflush(stdout);
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        std::fputs("two\n", stderr);
        std::fflush(stderr);
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        std::fputs("three", stdout);
        std::fflush(stdout);
        return 0;
    }
    if (std::strcmp(argv[1], "exit") == 0 && argc > 2) {
        std::puts("bye");
        return std::atoi(argv[2]);
    }
    if (std::strcmp(argv[1], "tree") == 0 && argc > 2) {
        const pid_t child = fork();
        if (child == 0) {
            for (;;)
                pause();
        }
        if (FILE* f = std::fopen(argv[2], "w")) {
            std::fprintf(f, "%d %d\n", static_cast<int>(getpid()), static_cast<int>(child));
            std::fclose(f);
        }
        for (;;)
            pause();
    }
    if (std::strcmp(argv[1], "args") == 0) {
        for (int i = 2; i < argc; ++i)
            std::printf("[%s]\n", argv[i]);
        return 0;
    }
    return 2;
}
