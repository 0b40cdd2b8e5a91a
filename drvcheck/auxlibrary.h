// The driver's auxiliary library: loaded from the path that the support check finds,
// bound by ordinal, and the three registry entry points that take the place of
// RegCreateKeyExA, RegOpenKeyExA and RegCloseKey for keys of the driver.
#pragma once
#include <windows.h>

#define AUX_ENTRY_COUNT 11

class CAuxDriverLibrary {
public:
    CAuxDriverLibrary();
    virtual ~CAuxDriverLibrary();

    // 1 when the library is loaded, now or before; it may still lack entry points.
    int Bind(int nKind, const char* pszName);

    LONG CreateKeyEx(HKEY hKey, const char* pszSubKey, DWORD dwReserved, char* pszClass, DWORD dwOptions,
                     REGSAM samDesired, LPSECURITY_ATTRIBUTES pSecurity, PHKEY phkResult,
                     LPDWORD pdwDisposition);
    LONG OpenKeyEx(HKEY hKey, const char* pszSubKey, DWORD dwOptions, REGSAM samDesired, PHKEY phkResult);
    LONG CloseKey(HKEY hKey);

private:
    CAuxDriverLibrary(const CAuxDriverLibrary&) = delete;
    CAuxDriverLibrary& operator=(const CAuxDriverLibrary&) = delete;

    void LoadFromPath(const char* pszPath);
    void BindEntryPoints();
    void ClearEntryPoints();

    HMODULE m_hModule;
    char* m_pszPath;
    int m_fLoadedHere;
    FARPROC m_apfnEntry[AUX_ENTRY_COUNT];
};

// The one library object of the process; null until the support check creates it.
extern CAuxDriverLibrary* g_pAuxDriverLibrary;

// Creates the library object when there is none and binds it; 1 when the library is loaded.
int BindAuxDriverLibrary(int nKind, const char* pszName);
// Destroys the library object, which unloads the library it loaded.
void DestroyAuxDriverLibrary();

// The library's entry points with the arguments of the registry functions they replace.
// Without a library object or a bound entry point: 12 (ERROR_INVALID_ACCESS), nothing done.
LONG AuxRegCreateKeyEx(HKEY hKey, const char* pszSubKey, DWORD dwReserved, char* pszClass, DWORD dwOptions,
                       REGSAM samDesired, LPSECURITY_ATTRIBUTES pSecurity, PHKEY phkResult,
                       LPDWORD pdwDisposition);
LONG AuxRegOpenKeyEx(HKEY hKey, const char* pszSubKey, DWORD dwOptions, REGSAM samDesired, PHKEY phkResult);
LONG AuxRegCloseKey(HKEY hKey);
