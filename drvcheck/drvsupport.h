// Driver support check: on Windows NT 5.0 and later, finding and loading the printer
// driver's auxiliary library, without which the agent does not start, and the
// process-wide flag that tells whether it is bound.
#pragma once
#include <windows.h>

// What the name given to the check stands for.
enum AuxNameKind {
    AUX_KIND_PRINTER = 1,   // a printer name: its driver's files
    AUX_KIND_DRIVER = 2,    // an installed driver's name, matched without regard to case
    AUX_KIND_DATAFILE = 3,  // the path of a driver data file
    AUX_KIND_LIBRARY = 4,   // the path of the library itself
};

// The library's file name when the driver's data file names none.
#define AUX_DEFAULT_LIBRARY "Q_DAUDF1.DLL"

// True where the check applies: the NT platform family from major version 5 (Windows
// 2000) on; false when the version cannot be read.
BOOL IsNt5OrLater();

// 1 when the library is bound (by this call or an earlier one, which makes this call
// touch nothing); 0 when the system is not NT 5.0 or later; -1 when it is and no
// library could be bound.
int CheckDriverSupport(int nKind, const char* pszName);
// Unloads the library bound by the check and clears the support flag.
void ReleaseDriverSupport();
// 1 while the library is bound; registry keys of the driver are then opened through it.
DWORD GetDriverSupportFlag();

// The path where the library is looked for, as a heap text owned by the caller
// (HeapFreeChecked), or null for an absent or empty name or an unknown kind. Kind 4
// gives a copy of the name.
char* LocateAuxLibrary(int nKind, const char* pszName);
// The step shared by kinds 1 to 3, from the driver's main file path and its data file
// (either may be null): the library named in the data file, else the default name,
// in the directory of the driver file.
char* LocateAuxLibraryForFiles(const char* pszDriverPath, const char* pszDataFile);
