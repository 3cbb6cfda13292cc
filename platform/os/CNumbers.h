#pragma once
// Numbers that C libraries print (libxlsxwriter's column widths and margins
// in the workbook's XML) with a decimal point, whatever locale the program's
// user has: Qt sets the C library's locale from the system at start-up, and
// a Turkish one prints 18,7 where a file format wants 18.7.

#include <functional>

namespace platform {

// Runs `work` with the calling thread's C library formatting and reading
// numbers as the "C" locale does, then gives the thread back the locale it
// had; other threads are untouched. False, and `work` not run, when the
// C library cannot make the switch (no memory for a locale object).
bool withCNumbers(const std::function<void()> &work);

}  // namespace platform
