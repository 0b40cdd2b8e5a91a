// Maintenance utility calls: one utility at a time per printer, run from the
// printer's utility DLL on a worker thread and guarded by a named semaphore
// that every process serving the same printer shares.
#pragma once
#include <windows.h>

#define UTYCALL_SEMAPHORE_PREFIX "KIV_UtyCall_OBJ_"
#define UTYCALL_COMMAND_MARK " /U"

// A utility DLL's entry point: four 260-byte text buffers.
typedef void(WINAPI* UtilityProc)(char* pszPrinterName, char* pszArg2, char* pszArg3, char* pszArg4);

class CUtyCall {
public:
    CUtyCall();
    ~CUtyCall();
    CUtyCall(const CUtyCall&) = delete;
    CUtyCall& operator=(const CUtyCall&) = delete;

    // 1 when the command names the model's utility DLL ("UTILITY" in the profile file).
    BOOL IsUtyCallMenu(const char* pszDriverName, const char* pszPrinterName, const char* pszModelID,
                       const char* pszCommand);
    // Starts the utility of a command "<DLL path> /U<id>" unless one is running.
    void StartUtyCall(const char* pszPrinterName, const char* pszCommand);
    // Mode 1 waits for a running utility and keeps the semaphore for good;
    // other modes answer 0 while a utility is executing, else 1.
    BOOL CheckUtyCall(int nMode);
    // The worker's body.
    void UtyCallMain();

    char m_szArg3[MAX_PATH];
    char m_szArg4[MAX_PATH];
    char m_szPrinterName[MAX_PATH];
    char m_szArg2[MAX_PATH];
    char m_szDllPath[MAX_PATH];
    LONG m_nUtyID;
    HANDLE m_hSemaphore;
    HANDLE m_hThread;

private:
    void GiveBackSemaphore();
};

// The worker thread's entry; the argument is the CUtyCall.
unsigned __stdcall UtyCallThreadProc(void* pUtyCall);
