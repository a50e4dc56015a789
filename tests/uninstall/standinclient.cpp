// Stands in for the client executable: records every start with its arguments, one line per
// start, in the file VX_CLIENT_CALLS names (else "calls.txt" beside itself); with "--stay" it
// keeps running until it is ended, as a client in use does.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

int main(int argc, char **argv)
{
    std::string log;
    if (const char *named = std::getenv("VX_CLIENT_CALLS"))
        log = named;
    if (log.empty()) {
        log = argv[0];
        const std::size_t slash = log.find_last_of('/');
        log = (slash == std::string::npos ? std::string() : log.substr(0, slash + 1)) + "calls.txt";
    }
    bool stay = false;
    std::string line;
    for (int i = 1; i < argc; ++i) {
        stay = stay || std::strcmp(argv[i], "--stay") == 0;
        line += (i > 1 ? " " : "") + std::string(argv[i]);
    }
    if (std::FILE *f = std::fopen(log.c_str(), "a")) {
        std::fprintf(f, "%s\n", line.c_str());
        std::fclose(f);
    }
    for (int i = 0; stay && i < 600; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    return 0;
}
