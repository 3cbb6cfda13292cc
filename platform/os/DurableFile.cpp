// Platform file: the call that waits for the disk is the C runtime's, named
// differently on Windows and POSIX systems.
#include "platform/os/DurableFile.h"

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace platform {

bool flushToDisk(QFileDevice &file)
{
    if (!file.flush())
        return false;
#ifdef _WIN32
    return _commit(file.handle()) == 0;
#else
    return fsync(file.handle()) == 0;
#endif
}

}  // namespace platform
