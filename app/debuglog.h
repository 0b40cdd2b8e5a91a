// Debug log: one shared plain-text trace file, appended to by every agent
// process one whole line at a time. Off unless HKCU "SOFTWARE\NOVRA\KIV3"
// value "Q_SIC" (the switch name given to LogInit) is non-zero.
#pragma once
#include "app/str.h"

int LogInit(const char* pszPath, const char* pszSwitchName);
int LogText(const char* pszText);
int LogTextStr(const char* pszText, const char* pszValue);
int LogTextInt(const char* pszText, int nValue);
int LogClose();

// The line prefix: "%04X;" process id, then "%5u:%02u.%03u; " tick time.
CStr LogFormatPrefix(DWORD dwProcessId, DWORD dwTick);
