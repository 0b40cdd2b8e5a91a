// The running system's version as the driver-data readers test it.
#pragma once
#include <windows.h>

struct COsVersion {
    DWORD dwPlatformId;
    DWORD dwMajor;
    DWORD dwMinor;
};

// The platform identifier and version; all three are 0 when the version cannot be read.
COsVersion GetOsVersion();
// True on the NT platform family.
BOOL IsNtPlatform();
