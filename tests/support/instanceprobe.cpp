// Holds or probes the single-instance name: prints "first" or "second", then the first instance
// stays until its standard input closes.
#include "singleapp.h"

#include <cstdio>
#include <iostream>
#include <string>

int main(int argc, char **argv)
{
    SingleApp app(argc, argv);
    const bool second = app.exist();
    std::printf("%s\n", second ? "second" : "first");
    std::fflush(stdout);
    if (second)
        return 0;
    std::string line;
    std::getline(std::cin, line);
    return 0;
}
