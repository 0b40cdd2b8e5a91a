// Monitored-printer targets: one per-user settings key per printer (or, for a
// printer known only by its port, per port) below HKEY_CURRENT_USER, numbered
// "P" and 16 digits, holding the printer's name and its shared preferences.
// Paths handed out and taken are full key paths below HKEY_CURRENT_USER.
#pragma once
#include <windows.h>

#define LOCAL_TARGET_BASE "Software\\NOVRA\\KIV3\\KIVData\\QZLTarget"
#define NETWORK_TARGET_BASE "Software\\NOVRA\\KIV3\\KIVData\\QZNTarget"

// Values of a target key.
#define TARGET_VALUE_NAME "Name"
#define TARGET_VALUE_SETTING "Setting"
#define TARGET_VALUE_TIMER "Timer"
const DWORD TARGET_SETTING_LIVE = 0;
const DWORD TARGET_SETTING_REMOVED = 255;
const DWORD TARGET_TIMER_DEFAULT = 10;

// The printer DLL's defaults writer (C calling convention); 0 means success.
typedef int(__cdecl* PrSetRegDefaultValueProc)(const char* pszPrinterName, const char* pszDriverName,
                                               const char* pszPortName, const char* pszModelID, void* pReserved1,
                                               void* pReserved2, void* pReserved3);

// 0 found (path filled), 1 not found, 4 base key cannot be opened.
int FindTarget(const char* pszName, int fNetwork, char* pszPath, int cchPath);
// 0 created; 1 "Setting" did not read back as 0 or no free number; 2 "Name"
// not written; 3 numbered key not created; 4 base key not created; 5 path
// does not fit the caller's buffer; 6 numbered path does not fit 260.
int CreateTarget(const char* pszName, int fNetwork, char* pszPath, int cchPath);
// Deletes a key below HKEY_CURRENT_USER with all it holds; 0, or -1.
int DeleteKeyTree(const char* pszKeyPath);
// Writes "Setting" 255 into the target, then deletes it; 0, or -1.
int MarkTargetRemoved(const char* pszKeyPath);
// Removes local targets whose printer is gone and targets without a name;
// 0, or -1 when a base key cannot be opened.
int SweepStaleTargets();
// 0 success; 1 no target created; 4 printer DLL not loadable; 5 entry point
// missing; else the printer DLL's result.
int CreateTargetWithDefaults(const char* pszPrinterName, const char* pszPortName, const char* pszModelID,
                             int fNetwork, char* pszPath, int cchPath);
// The agent's target, created with defaults when there is none; 0 when found
// or created. *pfCreated (may be null) tells whether it was created.
int OpenOrCreateTarget(const char* pszPrinterName, const char* pszPortName, const char* pszModelID,
                       int* pfNetwork, char* pszPath, int cchPath, int* pfCreated);
