// The running system's version.
#include "installdata/osversion.h"

COsVersion GetOsVersion()
{
    COsVersion version = {0, 0, 0};
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof(info);
    if (!GetVersionExA(&info))
        return version;
    version.dwPlatformId = info.dwPlatformId;
    version.dwMajor = info.dwMajorVersion;
    version.dwMinor = info.dwMinorVersion;
    return version;
}

BOOL IsNtPlatform()
{
    return GetOsVersion().dwPlatformId == VER_PLATFORM_WIN32_NT;
}
