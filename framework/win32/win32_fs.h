// The file system of the platform: find-first/next, file attributes, short path names, moves,
// deletes, atomic replacement through a temporary file, the current and Windows directories.
#pragma once
#include "framework/platform.h"

namespace kv {

// The process-wide Win32 file system port (also reached as kv::win32::fileSystemPort()).
FileSystemPort& win32FileSystem();

}  // namespace kv
