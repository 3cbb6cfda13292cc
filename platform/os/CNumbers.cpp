// Platform file: a locale for one thread is the C runtime's, POSIX
// newlocale/uselocale on one side and a per-thread setlocale on Windows.
#include "platform/os/CNumbers.h"

#include <locale.h>

#ifdef _WIN32
#include <string>
#endif

namespace platform {

bool withCNumbers(const std::function<void()> &work)
{
#ifdef _WIN32
    const int before = _configthreadlocale(_ENABLE_PER_THREAD_LOCALE);
    if (before == -1)
        return false;
    const char *current = setlocale(LC_NUMERIC, nullptr);
    const std::string numeric = current != nullptr ? current : "C";
    setlocale(LC_NUMERIC, "C");
    work();
    setlocale(LC_NUMERIC, numeric.c_str());
    _configthreadlocale(before);
    return true;
#else
    // The thread's locale as it is, numbers aside.
    const locale_t before = uselocale(locale_t(nullptr));
    const locale_t copy = duplocale(before);
    if (copy == locale_t(nullptr))
        return false;
    const locale_t cNumbers = newlocale(LC_NUMERIC_MASK, "C", copy);
    if (cNumbers == locale_t(nullptr)) {
        freelocale(copy);
        return false;
    }
    uselocale(cNumbers);
    work();
    uselocale(before);
    freelocale(cNumbers);
    return true;
#endif
}

}  // namespace platform
