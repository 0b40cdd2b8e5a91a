// The shared status map: a named block of 500 records, shared by every agent
// and the status-monitor program, in which each monitored printer's record
// names the windows that serve it. It keeps a second agent for one printer
// from running and lets the other programs find the agent's window.
#pragma once
#include <windows.h>

const int MAP_RECORD_SIZE = 534;
const int MAP_RECORD_COUNT = 500;
const DWORD MAP_FILE_SIZE = MAP_RECORD_SIZE * MAP_RECORD_COUNT;  // 267000
const int MAP_KEY_SIZE = 520;

// Offsets inside a record.
const int MAP_OFFSET_ZERO = 520;
const int MAP_OFFSET_APPSEL12 = 522;
const int MAP_OFFSET_APPSEL0 = 526;
const int MAP_OFFSET_APPSEL3 = 530;

const BYTE MAP_KEY_FREE = 0x00;
const BYTE MAP_KEY_END = 0xFF;

// The window value that holds a slot between the duplicate check and the registration.
const DWORD MAP_WINDOW_PLACEHOLDER = 0xFFFFFFFF;

#define DEFAULT_MAP_FILE_NAME "KivV5MapFile_Ink"

// Results of CheckMapPrinter and MultiExecuteCheck.
enum {
    MAP_CHECK_REGISTERED = 0,
    MAP_CHECK_RUNNING = 1,
    MAP_CHECK_ERROR = 2,
};

// The map's name for the key (printer or port name); its length, 0 on failure.
int GetMapFileName(const char* pszKey, char* pszBuffer, int cchBuffer);
// 1 when the printer's driver names a map in its installation data.
int GetMapFileNameFromDriver(const char* pszPrinterName, char* pszBuffer, int cchBuffer);

// Creates or opens the map; null on failure. The caller closes the handle.
HANDLE CreateMapFile(const char* pszMapName);

// Registers dwValue in the key's slot of nAppSel, or reports the live window
// that holds it (*pdwWindow). 0 registered, 1 held by a live window, 2 error.
int CheckMapPrinter(HANDLE hMap, const char* pszKey, int nAppSel, DWORD dwValue, DWORD* pdwWindow);
// The duplicate check of an agent. The map handle goes to *phMap and stays
// open for the caller; results as CheckMapPrinter.
int MultiExecuteCheck(const char* pszPrinterName, const char* pszPortName, int nAppSel, DWORD dwValue,
                      DWORD* pdwWindow, HANDLE* phMap);

// Stores a window in the slot of an existing record: 0 stored, -1 no map,
// -2 no record for the key, 1 no record and no end marker in all 500.
int SethWindow(const char* pszPrinterName, const char* pszPortName, DWORD dwWindow, int nAppSel);
int SethWindowSub(const char* pszPrinterName, const char* pszPortName, DWORD dwWindow, int nAppSel,
                  const char* pszMapName);

// Clears the slot; the record becomes free when no slot is left.
void ClearWindow(HANDLE hMap, const char* pszPrinterName, const char* pszPortName, int nAppSel);
void ClearWindowSub(HANDLE hMap, const char* pszKey, int nAppSel);

// The key of an agent: the printer name, else the port name.
const char* MapKeyOf(const char* pszPrinterName, const char* pszPortName);
