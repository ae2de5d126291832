#pragma once
// The process's memory figures from /proc/self/status, for the list benchmarks.
#include <cstdlib>
#include <fstream>
#include <string>

namespace benchsupport {

// A field of /proc/self/status in kB ("VmRSS", "VmHWM"), 0 when it cannot be read.
inline long StatusKilobytes(const char* field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string key = std::string(field) + ":";
    while (std::getline(status, line))
        if (line.rfind(key, 0) == 0)
            return std::atol(line.c_str() + key.size());
    return 0;
}

} // namespace benchsupport
