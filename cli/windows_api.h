// Windows' own API, without the min and max macros that would clash with the standard
// library's.
#pragma once

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif
