// The profile (INI file) functions with Windows' semantics, for the settings and score
// files. Every write replaces the file atomically.
#pragma once

#include "platform/wintypes.h"

// How section names compare: as Windows compares them, ASCII letters without regard to
// case, or byte for byte where names that differ only in case must stay apart.
enum class TSectionMatch { IgnoreCase, Exact };

// Integer value of key in section; default when the file, section or key is missing.
// Reads an optional sign and decimal digits up to the first non-digit.
UINT GetPrivateProfileIntA(const char* section, const char* key, int defaultValue,
                           const char* fileName);

// Copies the value (or the default) into buffer, cut to size - 1 bytes on a UTF-8
// character; returns the number of bytes copied, not counting the terminator.
DWORD GetPrivateProfileStringA(const char* section, const char* key, const char* defaultValue,
                               char* buffer, DWORD size, const char* fileName,
                               TSectionMatch match = TSectionMatch::IgnoreCase);

// Sets key = value in section. A null key deletes the section, a null value the key.
// Creates the file when needed and keeps every other line. Returns nonzero on success.
BOOL WritePrivateProfileStringA(const char* section, const char* key, const char* value,
                                const char* fileName,
                                TSectionMatch match = TSectionMatch::IgnoreCase);
