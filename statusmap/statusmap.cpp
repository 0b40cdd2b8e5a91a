// The shared status map. Any process of the session can write into the map,
// so nothing read from it is trusted: keys are compared within their record,
// and a map smaller than its 500 records is never viewed.
#include "statusmap/statusmap.h"
#include "app/boundedtext.h"
#include "app/debuglog.h"
#include "app/handles.h"
#include <string.h>

namespace {

// A read-write view of all records; invalid when the map cannot be viewed
// whole, for instance because another program created it smaller.
class CMapView {
public:
    explicit CMapView(HANDLE hMap) : m_pBase(NULL)
    {
        void* pView = MapViewOfFile(hMap, FILE_MAP_ALL_ACCESS, 0, 0, MAP_FILE_SIZE);
        if (pView == NULL)
            return;
        MEMORY_BASIC_INFORMATION info = {};
        if (VirtualQuery(pView, &info, sizeof(info)) != sizeof(info) || info.RegionSize < MAP_FILE_SIZE) {
            UnmapViewOfFile(pView);
            return;
        }
        m_pBase = static_cast<BYTE*>(pView);
    }
    ~CMapView()
    {
        if (m_pBase != NULL)
            UnmapViewOfFile(m_pBase);
    }
    CMapView(const CMapView&) = delete;
    CMapView& operator=(const CMapView&) = delete;

    bool IsValid() const { return m_pBase != NULL; }
    BYTE* Record(int nIndex) const { return m_pBase + nIndex * MAP_RECORD_SIZE; }

private:
    BYTE* m_pBase;
};

// The offset of AppSel's window in a record; -1 for an AppSel without a slot.
int SlotOffset(int nAppSel)
{
    switch (nAppSel) {
    case 0:
        return MAP_OFFSET_APPSEL0;
    case 1:
    case 2:
        return MAP_OFFSET_APPSEL12;
    case 3:
        return MAP_OFFSET_APPSEL3;
    default:
        return -1;
    }
}

DWORD ReadSlot(const BYTE* pRecord, int nOffset)
{
    DWORD dw = 0;
    memcpy(&dw, pRecord + nOffset, sizeof(dw));
    return dw;
}

void WriteSlot(BYTE* pRecord, int nOffset, DWORD dw)
{
    memcpy(pRecord + nOffset, &dw, sizeof(dw));
}

// Another process may have left a key without its terminator within the
// record: such a key equals nothing.
bool KeyEquals(const BYTE* pRecord, const char* pszKey)
{
    if (memchr(pRecord, '\0', MAP_KEY_SIZE) == NULL)
        return false;
    return lstrcmpiA(reinterpret_cast<const char*>(pRecord), pszKey) == 0;
}

const int FIND_AT_END_MARKER = -1;
const int FIND_NO_END_MARKER = -2;

// The index of the key's record, or FIND_AT_END_MARKER / FIND_NO_END_MARKER.
int FindKey(const CMapView& view, const char* pszKey)
{
    for (int i = 0; i < MAP_RECORD_COUNT; ++i) {
        const BYTE* pRecord = view.Record(i);
        if (pRecord[0] == MAP_KEY_END)
            return FIND_AT_END_MARKER;
        if (KeyEquals(pRecord, pszKey))
            return i;
    }
    return FIND_NO_END_MARKER;
}

// Takes the first free record before the end marker, or the end marker's
// record (moving the marker on), for the key. 0 added, 2 no room.
int AddKey(const CMapView& view, const char* pszKey, int nAppSel, DWORD dwValue)
{
    // Checked before anything is written, so that a key that does not fit
    // never leaves a cut key or a moved end marker behind.
    char szKey[MAP_KEY_SIZE] = {0};
    if (StringCchCopyA(szKey, MAP_KEY_SIZE, pszKey) != S_OK)
        return MAP_CHECK_ERROR;
    for (int i = 0; i < MAP_RECORD_COUNT; ++i) {
        BYTE* pRecord = view.Record(i);
        if (pRecord[0] == MAP_KEY_END) {
            if (i + 1 >= MAP_RECORD_COUNT)
                return MAP_CHECK_ERROR;
            view.Record(i + 1)[0] = MAP_KEY_END;
        } else if (pRecord[0] != MAP_KEY_FREE) {
            continue;
        }
        memcpy(pRecord, szKey, MAP_KEY_SIZE);
        memset(pRecord + MAP_KEY_SIZE, 0, MAP_RECORD_SIZE - MAP_KEY_SIZE);
        int nOffset = SlotOffset(nAppSel);
        if (nOffset >= 0)
            WriteSlot(pRecord, nOffset, dwValue);
        return MAP_CHECK_REGISTERED;
    }
    return MAP_CHECK_ERROR;
}

int CheckExitRegistered(const char* pszLine)
{
    LogText(pszLine);
    return MAP_CHECK_REGISTERED;
}

int CheckExitRunning(DWORD* pdwWindow, DWORD dwWindow)
{
    *pdwWindow = dwWindow;
    LogText("exit : CheckMapPrinter(1)");
    return MAP_CHECK_RUNNING;
}

} // namespace

const char* MapKeyOf(const char* pszPrinterName, const char* pszPortName)
{
    if (pszPrinterName != NULL && pszPrinterName[0] != '\0')
        return pszPrinterName;
    if (pszPortName != NULL && pszPortName[0] != '\0')
        return pszPortName;
    return pszPrinterName != NULL ? pszPrinterName : "";
}

HANDLE CreateMapFile(const char* pszMapName)
{
    SetLastError(ERROR_SUCCESS);
    HANDLE hMap = CreateFileMappingA(INVALID_HANDLE_VALUE, NULL, PAGE_READWRITE, 0, MAP_FILE_SIZE, pszMapName);
    if (hMap == NULL)
        return NULL;
    bool fExisted = GetLastError() == ERROR_ALREADY_EXISTS;
    // Only the first byte is viewed here: a map that another program made too
    // small still opens, and the record walks then refuse it as unviewable.
    BYTE* pFirst = static_cast<BYTE*>(MapViewOfFile(hMap, FILE_MAP_ALL_ACCESS, 0, 0, 1));
    if (pFirst == NULL) {
        CloseHandle(hMap);
        return NULL;
    }
    if (!fExisted)
        pFirst[0] = MAP_KEY_END;
    UnmapViewOfFile(pFirst);
    return hMap;
}

int CheckMapPrinter(HANDLE hMap, const char* pszKey, int nAppSel, DWORD dwValue, DWORD* pdwWindow)
{
    LogText("enter : CheckMapPrinter");
    if (pdwWindow == NULL || pszKey == NULL)
        return MAP_CHECK_ERROR;
    *pdwWindow = 0;
    CMapView view(hMap);
    if (!view.IsValid())
        return MAP_CHECK_ERROR;
    int nIndex = FindKey(view, pszKey);
    if (nIndex == FIND_AT_END_MARKER && AddKey(view, pszKey, nAppSel, dwValue) != MAP_CHECK_REGISTERED)
        return MAP_CHECK_ERROR;
    if (nIndex < 0)
        return CheckExitRegistered("exit : CheckMapPrinter(0)[3]");
    BYTE* pRecord = view.Record(nIndex);
    int nOffset = SlotOffset(nAppSel);
    if (nOffset < 0)
        return CheckExitRunning(pdwWindow, 0);
    DWORD dwHeld = ReadSlot(pRecord, nOffset);
    if (dwHeld == 0) {
        WriteSlot(pRecord, nOffset, dwValue);
        return CheckExitRegistered("exit : CheckMapPrinter(0)[1]");
    }
    if (IsWindow((HWND)(UINT_PTR)(LONG)dwHeld))
        return CheckExitRunning(pdwWindow, dwHeld);
    WriteSlot(pRecord, nOffset, dwValue);
    return CheckExitRegistered("exit : CheckMapPrinter(0)[2]");
}

int SethWindowSub(const char* pszPrinterName, const char* pszPortName, DWORD dwWindow, int nAppSel,
                  const char* pszMapName)
{
    LogText("enter : SethWindowSub");
    LogTextStr("MapName", pszMapName);
    LogTextStr("PrnName", pszPrinterName);
    LogTextStr("PortName", pszPortName);
    LogTextInt("hWnd", static_cast<int>(dwWindow));
    LogTextInt("AppSel", nAppSel);
    CKernelHandle map(OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, pszMapName));
    if (map.Get() == NULL)
        return -1;
    CMapView view(map.Get());
    if (!view.IsValid())
        return -1;
    int nIndex = FindKey(view, MapKeyOf(pszPrinterName, pszPortName));
    if (nIndex == FIND_AT_END_MARKER)
        return -2;
    if (nIndex == FIND_NO_END_MARKER) {
        LogText("exit : SethWindowSub");
        return 1;
    }
    int nOffset = SlotOffset(nAppSel);
    if (nOffset >= 0)
        WriteSlot(view.Record(nIndex), nOffset, dwWindow);
    return 0;
}

void ClearWindowSub(HANDLE hMap, const char* pszKey, int nAppSel)
{
    int nOffset = SlotOffset(nAppSel);
    if (pszKey == NULL || nOffset < 0)
        return;
    CMapView view(hMap);
    if (!view.IsValid())
        return;
    int nIndex = FindKey(view, pszKey);
    if (nIndex < 0)
        return;
    BYTE* pRecord = view.Record(nIndex);
    bool fOthersEmpty = true;
    const int kSlots[] = {MAP_OFFSET_APPSEL0, MAP_OFFSET_APPSEL12, MAP_OFFSET_APPSEL3};
    for (int nOther : kSlots) {
        if (nOther != nOffset && ReadSlot(pRecord, nOther) != 0)
            fOthersEmpty = false;
    }
    if (fOthersEmpty)
        pRecord[0] = MAP_KEY_FREE;
    WriteSlot(pRecord, nOffset, 0);
}
