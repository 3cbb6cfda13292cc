#pragma once
// Whether an output stream is a terminal a person watches, or a file or pipe
// a program reads.

#include <cstdio>

namespace platform {

// True when `stream` is attached to a terminal (a console window on
// Windows); false for files, pipes and closed streams.
bool isTerminal(std::FILE *stream);

}  // namespace platform
