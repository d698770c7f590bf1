// Config.h: the one place that includes windows.h for the whole system.
// Pelmira is ANSI throughout: every Win32 call is the "A" variant, every string 8-bit.
#pragma once

#ifdef UNICODE
#error "Pelmira is built for the ANSI Win32 API; do not define UNICODE."
#endif
#ifdef _UNICODE
#error "Pelmira is built for the ANSI Win32 API; do not define _UNICODE."
#endif

#ifndef STRICT
#define STRICT
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif

#include <windows.h>
