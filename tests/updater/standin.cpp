// A stand-in for the payslip program: notes in "<itself>.log" that it started and, on
// SIGTERM, that it was asked to stop; otherwise it waits.
#include <csignal>
#include <cstdio>
#include <string>
#include <unistd.h>

namespace {

std::string g_log;
volatile std::sig_atomic_t g_stop = 0;

void note(const char* what)
{
    if (FILE* f = std::fopen(g_log.c_str(), "a")) {
        std::fprintf(f, "%s\n", what);
        std::fclose(f);
    }
}

} // namespace

int main(int, char** argv)
{
    char self[4096] = {};
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    g_log = std::string(n > 0 ? self : argv[0]) + ".log";
    std::signal(SIGTERM, [](int) { g_stop = 1; });
    note("started");
    while (!g_stop)
        usleep(20000);
    note("stopped");
    return 0;
}
