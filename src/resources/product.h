// The program's name as the About box shows it, its version and its web page.
#pragma once

#include <cstdint>

#if defined(_WIN32)
#define KAVRO_PLATFORM_NAME "Windows"
#elif defined(__APPLE__)
#define KAVRO_PLATFORM_NAME "macOS"
#elif defined(__linux__)
#define KAVRO_PLATFORM_NAME "Linux"
#elif defined(__FreeBSD__)
#define KAVRO_PLATFORM_NAME "FreeBSD"
#else
#define KAVRO_PLATFORM_NAME "Unix"
#endif

#if UINTPTR_MAX > 0xFFFFFFFFu
#define KAVRO_POINTER_BITS "64"
#else
#define KAVRO_POINTER_BITS "32"
#endif

// The system and word size the program was built for ("Kavro for Linux (64 bit)"), and
// its version.
inline constexpr const char* ProductSystem = KAVRO_PLATFORM_NAME;
inline constexpr const char* ProductBits = KAVRO_POINTER_BITS;
inline constexpr const char* ProductVersionNumber = "2.0";
inline constexpr const char* ProductWebPage = "http://www.kavro.org/kavro.html";
