// Version.h: the product version as numbers and as text, for the two programs' resource scripts
// and their code. The numbers come from the build (PELMIRA_VERSION in the top CMakeLists.txt);
// this header only spells them, so it suits both the C++ compiler and windres.
#pragma once

#if !defined(PELMIRA_VERSION_MAJOR) || !defined(PELMIRA_VERSION_MINOR) || !defined(PELMIRA_VERSION_PATCH)
#error "The build defines PELMIRA_VERSION_MAJOR, _MINOR and _PATCH"
#endif

#define PELMIRA_TEXT_OF_(x) #x
#define PELMIRA_TEXT_OF(x) PELMIRA_TEXT_OF_(x)

// "1.0.0": one string literal, which resource scripts need (they join no adjacent literals).
#define PELMIRA_VERSION_TEXT PELMIRA_TEXT_OF(PELMIRA_VERSION_MAJOR.PELMIRA_VERSION_MINOR.PELMIRA_VERSION_PATCH)
// The four numbers of a VERSIONINFO's FILEVERSION and PRODUCTVERSION.
#define PELMIRA_VERSION_FOUR PELMIRA_VERSION_MAJOR, PELMIRA_VERSION_MINOR, PELMIRA_VERSION_PATCH, 0
