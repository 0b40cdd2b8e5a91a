// Maintenance utility calls. The semaphore is the only lock between the UI
// thread and the worker: the request fields are written only while the UI
// thread holds it and before the worker starts, and the worker gives it back
// when it is done with them.
#include "utility/utycall.h"
#include "app/boundedtext.h"
#include "app/debuglog.h"
#include "app/handles.h"
#include "app/str.h"
#include "installdata/instdatalookup.h"
#include <process.h>
#include <stdlib.h>
#include <string.h>

namespace {

struct UtilityRow {
    LONG nID;
    const char* pszExport;
    const char* pszCalledAs;  // null: looked up but never called
};

const UtilityRow kUtilities[] = {
    {1, "UtPrintNozzleTestPattern", "pfPrintNozzle"},
    {2, "UtCleanHead", "pfCleaning"},
    {3, "UtAlignGap", "pfAlignGap"},
    {4, "WndInkReplacement", NULL},
    {5, "UtInkReplacement", NULL},
    {6, "UtSetup", NULL},
    {7, "UtAbsInkRep", NULL},
    {8, "UtSetupfromKiv", NULL},
    {9, "UtAlignCutter", NULL},
    {10, "UtCleanCutter", NULL},
    {11, "UtAutoCleanHead", "pfAutoCleanHead"},
    {12, "UtSetupAutoCleanHead", NULL},
    {13, "WndMaintenanceTankReplacement", NULL},
};

const UtilityRow* FindUtility(LONG nID)
{
    for (const UtilityRow& row : kUtilities) {
        if (row.nID == nID)
            return &row;
    }
    return NULL;
}

// "KIV_UtyCall_OBJ_" and the printer name; backslashes are not allowed in
// the names of kernel objects.
CStr SemaphoreName(const char* pszPrinterName)
{
    CStr name = UTYCALL_SEMAPHORE_PREFIX;
    for (const char* p = pszPrinterName; p != NULL && *p != '\0'; ++p)
        name += *p == '\\' ? '/' : *p;
    return name;
}

// Runs the utility of the request's id from the loaded DLL.
void CallUtility(HMODULE hDll, CUtyCall& call)
{
    const UtilityRow* pRow = FindUtility(call.m_nUtyID);
    // Every known id's entry point is looked up; only four are ever called.
    UtilityProc pfnEntry =
        pRow != NULL ? reinterpret_cast<UtilityProc>(reinterpret_cast<void*>(GetProcAddress(hDll, pRow->pszExport)))
                     : NULL;
    if (pRow == NULL || pRow->pszCalledAs == NULL) {
        LogText("default");
        return;
    }
    if (pfnEntry == NULL)
        return;
    CStr enter = CStr("Enter ") + pRow->pszCalledAs;
    CStr exit = CStr("Exit ") + pRow->pszCalledAs;
    LogText(enter.c_str());
    pfnEntry(call.m_szPrinterName, call.m_szArg2, call.m_szArg3, call.m_szArg4);
    LogText(exit.c_str());
}

} // namespace

CUtyCall::CUtyCall() : m_nUtyID(0), m_hSemaphore(NULL), m_hThread(NULL)
{
    memset(m_szArg3, 0, sizeof(m_szArg3));
    memset(m_szArg4, 0, sizeof(m_szArg4));
    memset(m_szPrinterName, 0, sizeof(m_szPrinterName));
    memset(m_szArg2, 0, sizeof(m_szArg2));
    memset(m_szDllPath, 0, sizeof(m_szDllPath));
}

CUtyCall::~CUtyCall()
{
    if (m_hSemaphore != NULL) {
        CloseHandle(m_hSemaphore);
        m_hSemaphore = NULL;
    }
    if (m_hThread != NULL)
        CloseHandle(m_hThread);
}

BOOL CUtyCall::IsUtyCallMenu(const char* pszDriverName, const char* pszPrinterName, const char* pszModelID,
                             const char* pszCommand)
{
    LogText("CUtyCall::IsUtyCallMenu");
    if (pszDriverName == NULL || pszDriverName[0] == '\0' || pszModelID == NULL || pszModelID[0] == '\0' ||
        pszCommand == NULL || pszCommand[0] == '\0')
        return 0;
    char szKey[MAX_PATH];
    if (StringCchPrintfA(szKey, MAX_PATH, "%s%s", "Software\\NOVRA\\KIV3\\Driver\\", pszDriverName) != S_OK)
        return 0;
    CInstDataLookup lookup;
    CStr datName = lookup.GetValueForPrinter(pszPrinterName != NULL ? pszPrinterName : "", szKey, "Profile");
    LogTextStr("CUtyCall::IsUtyCallMenu : csDatName", datName.c_str());
    char szProfile[MAX_PATH];
    if (datName.IsEmpty() || StringCchCopyA(szProfile, MAX_PATH, datName.c_str()) != S_OK)
        return 0;
    char szUtility[MAX_PATH];
    if (GetPrivateProfileStringA(pszModelID, "UTILITY", "", szUtility, MAX_PATH, szProfile) == 0)
        return 0;
    return strstr(pszCommand, szUtility) != NULL ? 1 : 0;
}

void CUtyCall::StartUtyCall(const char* pszPrinterName, const char* pszCommand)
{
    LogText("CUtyCall::StartUtyCall");
    CStr name = SemaphoreName(pszPrinterName);
    LogTextStr("Semaphore name", name.c_str());
    if (m_hSemaphore == NULL) {
        m_hSemaphore = CreateSemaphoreA(NULL, 1, 1, name.c_str());
        if (m_hSemaphore == NULL)
            return;
    }
    if (WaitForSingleObject(m_hSemaphore, 0) != WAIT_OBJECT_0)
        return;
    const char* pszMark = pszCommand != NULL ? strstr(pszCommand, UTYCALL_COMMAND_MARK) : NULL;
    if (pszPrinterName == NULL || StringCchCopyA(m_szPrinterName, MAX_PATH, pszPrinterName) != S_OK ||
        pszMark == NULL) {
        GiveBackSemaphore();
        return;
    }
    if (StringCchCopyNA(m_szDllPath, MAX_PATH, pszCommand, static_cast<size_t>(pszMark - pszCommand)) != S_OK) {
        GiveBackSemaphore();
        return;
    }
    m_nUtyID = strtol(pszMark + strlen(UTYCALL_COMMAND_MARK), NULL, 10);
    HANDLE hThread = reinterpret_cast<HANDLE>(_beginthreadex(NULL, 0, UtyCallThreadProc, this, 0, NULL));
    if (hThread == NULL) {
        // The shutdown waits for the semaphore: it must not stay taken.
        GiveBackSemaphore();
        return;
    }
    if (m_hThread != NULL)
        CloseHandle(m_hThread);
    m_hThread = hThread;
}

void CUtyCall::GiveBackSemaphore()
{
    ReleaseSemaphore(m_hSemaphore, 1, NULL);
}

void CUtyCall::UtyCallMain()
{
    LogText("CUtyCall::UtyCallMain");
    {
        CLibraryHandle dll(m_szDllPath);
        if (dll.Get() == NULL) {
            GiveBackSemaphore();
            LogText("Error LoadLibrary");
            return;
        }
        CallUtility(dll.Get(), *this);
    }
    GiveBackSemaphore();
    LogText("Exit CUtyCall::UtyCallMain");
}

BOOL CUtyCall::CheckUtyCall(int nMode)
{
    LogText("CUtyCall::CheckUtyCall");
    if (m_hSemaphore == NULL)
        return 1;
    if (nMode == 1) {
        WaitForSingleObject(m_hSemaphore, INFINITE);
        return 1;
    }
    DWORD dwWait = WaitForSingleObject(m_hSemaphore, 0);
    if (dwWait == WAIT_TIMEOUT) {
        LogText("Utility executing");
        return 0;
    }
    if (dwWait == WAIT_OBJECT_0)
        GiveBackSemaphore();
    LogText("Utility not executing");
    return 1;
}

unsigned __stdcall UtyCallThreadProc(void* pUtyCall)
{
    static_cast<CUtyCall*>(pUtyCall)->UtyCallMain();
    _endthreadex(0);
    return 0;
}
