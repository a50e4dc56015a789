// Stands in for the client (and for the companion installer): appends one line per start to the
// file named by VX_STANDIN_LOG (else "starts.log" beside itself): the full path it was started
// from, then each argument, tab-separated.
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

int main(int argc, char **argv)
{
    std::string log;
    if (const char *env = std::getenv("VX_STANDIN_LOG"))
        log = env;
    std::string self = argv[0];
    const std::string::size_type slash = self.find_last_of('/');
    if (log.empty())
        log = (slash == std::string::npos ? std::string(".") : self.substr(0, slash)) + "/starts.log";
    std::FILE *out = std::fopen(log.c_str(), "a");
    if (!out)
        return 1;
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof(path) - 1);
    path[length > 0 ? length : 0] = '\0';
    std::fputs(path, out);
    for (int i = 1; i < argc; ++i) {
        std::fputc('\t', out);
        std::fputs(argv[i], out);
    }
    std::fputc('\n', out);
    std::fclose(out);
    return 0;
}
