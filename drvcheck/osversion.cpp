// Version queries of the driver support check.
#include "drvcheck/osversion.h"

namespace {

BOOL ReadVersion(OSVERSIONINFOA* pInfo)
{
    ZeroMemory(pInfo, sizeof(*pInfo));
    pInfo->dwOSVersionInfoSize = sizeof(*pInfo);
    return GetVersionExA(pInfo);
}

} // namespace

BOOL IsNtFamily()
{
    OSVERSIONINFOA info;
    return ReadVersion(&info) && info.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

BOOL IsNt5OrLater()
{
    OSVERSIONINFOA info;
    return ReadVersion(&info) && info.dwPlatformId == VER_PLATFORM_WIN32_NT && info.dwMajorVersion >= 5;
}
