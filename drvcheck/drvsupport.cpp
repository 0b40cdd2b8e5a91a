// The support check run once at start-up, and its release at exit.
#include "drvcheck/drvsupport.h"
#include "drvcheck/auxlibrary.h"
#include "installdata/osversion.h"

namespace {

DWORD g_dwDriverSupport = 0;

} // namespace

BOOL IsNt5OrLater()
{
    COsVersion version = GetOsVersion();
    return version.dwPlatformId == VER_PLATFORM_WIN32_NT && version.dwMajor >= 5;
}

int CheckDriverSupport(int nKind, const char* pszName)
{
    if (g_dwDriverSupport)
        return 1;
    if (!IsNt5OrLater())
        return 0;
    if (nKind < AUX_KIND_PRINTER || nKind > AUX_KIND_LIBRARY || !BindAuxDriverLibrary(nKind, pszName))
        return -1;
    g_dwDriverSupport = 1;
    return 1;
}

void ReleaseDriverSupport()
{
    // A failed check leaves an empty library object behind; it goes as well.
    DestroyAuxDriverLibrary();
    g_dwDriverSupport = 0;
}

DWORD GetDriverSupportFlag()
{
    return g_dwDriverSupport;
}
