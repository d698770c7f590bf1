// Forced into every file of the 32-bit release build (scripts/dist.sh) ahead of <windows.h>.
//
// 32-bit code unwinds C++ exceptions with DWARF tables registered by this module's own copy of
// the runtime, which knows no frame of a system DLL: an exception that reaches a Windows function
// (thrown in a window procedure or callback it called) stops there and ends the program, with or
// without this header. Declaring the imported functions as not throwing says just that to the
// compiler, which then leaves out the unwind tables and clean-up code of every function whose only
// calls that could throw were into Windows.
#ifndef PELMIRA_NOTHROW_IMPORTS_H
#define PELMIRA_NOTHROW_IMPORTS_H
#define DECLSPEC_IMPORT __declspec(dllimport) __attribute__((__nothrow__))
#endif
