// Loading and binding the driver's auxiliary library, and the registry calls routed to it.
#include "drvcheck/auxlibrary.h"
#include "drvcheck/drvsupport.h"
#include "drvcheck/heaptext.h"
#include "installdata/heap.h"
#include <new>

CAuxDriverLibrary* g_pAuxDriverLibrary = NULL;

namespace {

// The ordinals bound, in table order; the library exports them by ordinal only.
const WORD kEntryOrdinals[AUX_ENTRY_COUNT] = {1, 3, 5, 8, 10, 12, 14, 16, 18, 7, 20};
const int kSlotCreateKey = 0;
const int kSlotOpenKey = 1;
const int kSlotCloseKey = 9;

typedef LONG(WINAPI* PFN_AUXREGCREATEKEYEX)(HKEY, LPSTR, DWORD, LPSTR, DWORD, REGSAM, LPSECURITY_ATTRIBUTES, PHKEY,
                                            LPDWORD);
typedef LONG(WINAPI* PFN_AUXREGOPENKEYEX)(HKEY, LPSTR, DWORD, REGSAM, PHKEY);
typedef LONG(WINAPI* PFN_AUXREGCLOSEKEY)(HKEY);

template <typename T> T EntryAs(FARPROC pfn)
{
    return reinterpret_cast<T>(reinterpret_cast<void*>(pfn));
}

// The subkey path as the library receives it: a private copy for the one call, or null
// for an absent or empty path.
class CSubKeyCopy {
public:
    explicit CSubKeyCopy(const char* pszSubKey)
        : m_fWanted(pszSubKey != NULL && pszSubKey[0] != '\0'), m_pszCopy(m_fWanted ? HeapTextCopy(pszSubKey) : NULL)
    {
    }
    ~CSubKeyCopy() { HeapFreeChecked(m_pszCopy); }
    char* Get() const { return m_pszCopy; }
    // A path that could not be copied must not reach the library as null, which would
    // stand for the parent key itself.
    bool Failed() const { return m_fWanted && m_pszCopy == NULL; }

private:
    CSubKeyCopy(const CSubKeyCopy&) = delete;
    CSubKeyCopy& operator=(const CSubKeyCopy&) = delete;

    bool m_fWanted;
    char* m_pszCopy;
};

// The path made absolute, so that the file found is the very file loaded and a bare
// name does not send the loader along its search path.
char* FullPathCopy(const char* pszPath)
{
    DWORD cch = GetFullPathNameA(pszPath, 0, NULL, NULL);
    if (cch == 0)
        return NULL;
    char* pszFullPath = static_cast<char*>(HeapAllocZeroed(cch));
    if (pszFullPath == NULL)
        return NULL;
    DWORD cchWritten = GetFullPathNameA(pszPath, cch, pszFullPath, NULL);
    if (cchWritten == 0 || cchWritten >= cch) {
        HeapFreeChecked(pszFullPath);
        return NULL;
    }
    return pszFullPath;
}

bool FileFound(const char* pszPath)
{
    WIN32_FIND_DATAA findData;
    HANDLE hFind = FindFirstFileA(pszPath, &findData);
    if (hFind == INVALID_HANDLE_VALUE)
        return false;
    FindClose(hFind);
    return (findData.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

} // namespace

CAuxDriverLibrary::CAuxDriverLibrary() : m_hModule(NULL), m_pszPath(NULL), m_fLoadedHere(0)
{
    ClearEntryPoints();
}

CAuxDriverLibrary::~CAuxDriverLibrary()
{
    ClearEntryPoints();
    if (m_fLoadedHere)
        FreeLibrary(m_hModule);
    HeapFreeChecked(m_pszPath);
}

int CAuxDriverLibrary::Bind(int nKind, const char* pszName)
{
    if (pszName == NULL || !IsNt5OrLater())
        return 0;
    if (m_hModule == NULL) {
        char* pszPath = LocateAuxLibrary(nKind, pszName);
        if (pszPath != NULL)
            LoadFromPath(pszPath);
        HeapFreeChecked(pszPath);
    }
    if (m_hModule != NULL)
        BindEntryPoints();
    else
        ClearEntryPoints();
    return m_hModule != NULL;
}

void CAuxDriverLibrary::LoadFromPath(const char* pszPath)
{
    char* pszFullPath = FullPathCopy(pszPath);
    if (pszFullPath == NULL || !FileFound(pszFullPath)) {
        HeapFreeChecked(pszFullPath);
        return;
    }
    HeapFreeChecked(m_pszPath);
    m_pszPath = pszFullPath;
    m_hModule = LoadLibraryA(m_pszPath);
    m_fLoadedHere = m_hModule != NULL;
}

void CAuxDriverLibrary::BindEntryPoints()
{
    for (int i = 0; i < AUX_ENTRY_COUNT; ++i) {
        m_apfnEntry[i] = GetProcAddress(m_hModule, MAKEINTRESOURCEA(kEntryOrdinals[i]));
        if (m_apfnEntry[i] == NULL) {
            ClearEntryPoints();
            return;
        }
    }
}

void CAuxDriverLibrary::ClearEntryPoints()
{
    for (int i = 0; i < AUX_ENTRY_COUNT; ++i)
        m_apfnEntry[i] = NULL;
}

LONG CAuxDriverLibrary::CreateKeyEx(HKEY hKey, const char* pszSubKey, DWORD dwReserved, char* pszClass,
                                    DWORD dwOptions, REGSAM samDesired, LPSECURITY_ATTRIBUTES pSecurity,
                                    PHKEY phkResult, LPDWORD pdwDisposition)
{
    PFN_AUXREGCREATEKEYEX pfnCreate = EntryAs<PFN_AUXREGCREATEKEYEX>(m_apfnEntry[kSlotCreateKey]);
    if (pfnCreate == NULL)
        return ERROR_INVALID_ACCESS;
    CSubKeyCopy subKey(pszSubKey);
    if (subKey.Failed())
        return ERROR_NOT_ENOUGH_MEMORY;
    return pfnCreate(hKey, subKey.Get(), dwReserved, pszClass, dwOptions, samDesired, pSecurity, phkResult,
                     pdwDisposition);
}

LONG CAuxDriverLibrary::OpenKeyEx(HKEY hKey, const char* pszSubKey, DWORD dwOptions, REGSAM samDesired,
                                  PHKEY phkResult)
{
    PFN_AUXREGOPENKEYEX pfnOpen = EntryAs<PFN_AUXREGOPENKEYEX>(m_apfnEntry[kSlotOpenKey]);
    if (pfnOpen == NULL)
        return ERROR_INVALID_ACCESS;
    CSubKeyCopy subKey(pszSubKey);
    if (subKey.Failed())
        return ERROR_NOT_ENOUGH_MEMORY;
    return pfnOpen(hKey, subKey.Get(), dwOptions, samDesired, phkResult);
}

LONG CAuxDriverLibrary::CloseKey(HKEY hKey)
{
    PFN_AUXREGCLOSEKEY pfnClose = EntryAs<PFN_AUXREGCLOSEKEY>(m_apfnEntry[kSlotCloseKey]);
    if (pfnClose == NULL)
        return ERROR_INVALID_ACCESS;
    return pfnClose(hKey);
}

int BindAuxDriverLibrary(int nKind, const char* pszName)
{
    if (g_pAuxDriverLibrary == NULL)
        g_pAuxDriverLibrary = new (std::nothrow) CAuxDriverLibrary;
    return g_pAuxDriverLibrary != NULL && g_pAuxDriverLibrary->Bind(nKind, pszName);
}

void DestroyAuxDriverLibrary()
{
    delete g_pAuxDriverLibrary;
    g_pAuxDriverLibrary = NULL;
}

LONG AuxRegCreateKeyEx(HKEY hKey, const char* pszSubKey, DWORD dwReserved, char* pszClass, DWORD dwOptions,
                       REGSAM samDesired, LPSECURITY_ATTRIBUTES pSecurity, PHKEY phkResult, LPDWORD pdwDisposition)
{
    if (g_pAuxDriverLibrary == NULL)
        return ERROR_INVALID_ACCESS;
    return g_pAuxDriverLibrary->CreateKeyEx(hKey, pszSubKey, dwReserved, pszClass, dwOptions, samDesired, pSecurity,
                                            phkResult, pdwDisposition);
}

LONG AuxRegOpenKeyEx(HKEY hKey, const char* pszSubKey, DWORD dwOptions, REGSAM samDesired, PHKEY phkResult)
{
    if (g_pAuxDriverLibrary == NULL)
        return ERROR_INVALID_ACCESS;
    return g_pAuxDriverLibrary->OpenKeyEx(hKey, pszSubKey, dwOptions, samDesired, phkResult);
}

LONG AuxRegCloseKey(HKEY hKey)
{
    if (g_pAuxDriverLibrary == NULL)
        return ERROR_INVALID_ACCESS;
    return g_pAuxDriverLibrary->CloseKey(hKey);
}
