// File and directory helpers with Windows' names and results.
#pragma once

#include "platform/wintypes.h"

// Creates one directory; nonzero on success, zero when it exists already or cannot be made.
BOOL CreateDirectoryA(const char* path, void* securityAttributes);

// Deletes one file; nonzero on success.
BOOL DeleteFileA(const char* path);

// The directory of the running program, with a trailing path separator.
const char* ProgramDirectory();
