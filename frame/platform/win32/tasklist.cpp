#include "tasklist.h"

#include <sstream>

namespace Win32 {

namespace {

std::string trimmed(const std::string &text)
{
    const std::string::size_type first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return std::string();
    const std::string::size_type last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

} // namespace

bool tasklistHasImage(const std::string &output, const std::string &imageName)
{
    std::istringstream lines(output);
    std::string line;
    std::string::size_type width = 0;
    while (std::getline(lines, line)) {
        if (width == 0) {
            if (line.compare(0, 1, "=") == 0)
                width = line.find_first_not_of('=');
            if (width == std::string::npos)
                width = line.size();
            continue;
        }
        if (trimmed(line.substr(0, width)) == imageName)
            return true;
    }
    return false;
}

} // namespace Win32
