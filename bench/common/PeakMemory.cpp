// Platform file: the only place the benchmark asks the operating system
// about memory (Windows process counters, Linux /proc, POSIX wait4).

#include "BenchSupport.h"

#include <QElapsedTimer>
#include <QProcess>

#ifdef _WIN32
#include <windows.h>
#include <psapi.h>

// Windows: the child's peak is not asked for; its time still is.
std::optional<ProcessCost> runMeasured(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    process.start(program, arguments);
    if (!process.waitForFinished(-1) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return std::nullopt;
    return ProcessCost{double(timer.nsecsElapsed()) / 1e9, 0};
}

std::uint64_t peakResidentBytes()
{
    PROCESS_MEMORY_COUNTERS counters{};
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters))
        return 0;
    return counters.PeakWorkingSetSize;
}
#else
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <string>
#include <vector>

std::optional<ProcessCost> runMeasured(const QString &program, const QStringList &arguments)
{
    std::vector<QByteArray> texts{program.toLocal8Bit()};
    for (const QString &argument : arguments)
        texts.push_back(argument.toLocal8Bit());
    std::vector<char *> argv;
    for (QByteArray &text : texts)
        argv.push_back(text.data());
    argv.push_back(nullptr);
    QElapsedTimer timer;
    timer.start();
    const pid_t child = fork();
    if (child < 0)
        return std::nullopt;
    if (child == 0) {
        const int devNull = open("/dev/null", O_WRONLY);
        dup2(devNull, STDOUT_FILENO);
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return std::nullopt;
    // Linux gives ru_maxrss in kilobytes.
    return ProcessCost{double(timer.nsecsElapsed()) / 1e9, std::uint64_t(usage.ru_maxrss) * 1024};
}

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
