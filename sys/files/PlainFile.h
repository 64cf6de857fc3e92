#pragma once
#include <cstddef>
#include <string>

namespace sys {

// Files named by a player or a maintainer may be anything: a folder, a fifo
// that never delivers, a device without end. These open only a plain file,
// without waiting on the opening, and read it with a bound.

// A descriptor for reading, or -1 with the reason in `error` ("a folder",
// "no plain file", or the system's text).
int openPlainFile(const std::string& path, std::string& error);

// Whether a file written aside may be renamed onto the path: nothing is there,
// or a plain file (a link is followed). False with the reason in `error`
// otherwise: a folder, a fifo or a device is never replaced.
bool replaceableByFile(const std::string& path, std::string& error);

// The whole file, when it is a plain file of at most `limit` bytes.
bool readPlainFile(const std::string& path, size_t limit, std::string& bytes, std::string& error);

} // namespace sys
