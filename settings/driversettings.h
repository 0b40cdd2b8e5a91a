// The driver's values and files: installation directory, profile file, the
// printer, bitmap and resource DLLs, the status-monitor program, the model
// identifier, and the printer helpers that several parts share. Every value is
// read anew from the driver's installation data on each call. Buffers belong
// to the caller; sizes count characters with the terminator. Results: 1 or 0.
#pragma once
#include "app/str.h"

int GetDriverSetting(char* pszBuffer, int cchSize, const char* pszValueName, const char* pszDriverName,
                     const char* pszModelID, const char* pszPrinterName);
int GetInstallPath(char* pszBuffer, int cchSize, const char* pszDriverName, const char* pszModelID,
                   const char* pszPrinterName);
int GetDriverFilePath(char* pszBuffer, int cchSize, const char* pszValueName, const char* pszDefaultFile,
                      const char* pszDriverName, const char* pszModelID, const char* pszPrinterName);
int GetProfilePath(char* pszBuffer, int cchSize, const char* pszDriverName, const char* pszModelID,
                   const char* pszPrinterName);
int GetPrnDllPath(char* pszBuffer, int cchSize, const char* pszDriverName, const char* pszModelID,
                  const char* pszPrinterName);
int GetBmpDllPath(char* pszBuffer, int cchSize, const char* pszDriverName, const char* pszModelID,
                  const char* pszPrinterName);
int GetResDllPath(char* pszBuffer, int cchSize, const char* pszDriverName, const char* pszModelID,
                  const char* pszPrinterName);
int GetStatusMonitorPath(char* pszBuffer, int cchSize, const char* pszDriverName, const char* pszModelID,
                         const char* pszPrinterName);
// Always 1; the result may be empty.
int LookupModelId(const char* pszPrinterName, const char* pszDriverName, CStr& result);
int GetPrinterDriverName(const char* pszPrinterName, char* pszBuffer, int cchSize);
// 1 when at least one of the two buffers was filled.
int GetPrinterDriverAndPort(const char* pszPrinterName, char* pszDriver, int cchDriver, char* pszPort,
                            int cchPort);
// 1 when the printer data "KIVSetting" is 1, or when the printer is gone.
int IsKivSettingOn(const char* pszPrinterName);
// 1 when a file or directory of that name exists.
int FileExists(const char* pszPath);
