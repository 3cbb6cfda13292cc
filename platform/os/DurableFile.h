#pragma once
// Writes that survive a crash of the machine, not only of the program.

#include <QFileDevice>

namespace platform {

// Flushes `file`'s buffer and asks the system to put its data on the disk
// before returning. False when either step failed.
bool flushToDisk(QFileDevice &file);

}  // namespace platform
