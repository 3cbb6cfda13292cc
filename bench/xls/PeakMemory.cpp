// Platform file: the only place the benchmark asks the operating system
// about memory (Windows process counters, Linux /proc).

#include "PeakMemory.h"

#ifdef _WIN32
#include <windows.h>
#include <psapi.h>

std::uint64_t peakResidentBytes()
{
    PROCESS_MEMORY_COUNTERS counters{};
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters))
        return 0;
    return counters.PeakWorkingSetSize;
}
#else
#include <fstream>
#include <string>

std::uint64_t peakResidentBytes()
{
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        if (key == "VmHWM:") {
            std::uint64_t kilobytes = 0;
            status >> kilobytes;
            return kilobytes * 1024;
        }
    }
    return 0;
}
#endif
