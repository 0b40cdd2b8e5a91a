// Bounded text helpers: copy, append, format and measure into fixed buffers.
// Sizes count characters including the terminator. Every caller treats a
// non-zero result as the failure of its own step.
#pragma once
#include <windows.h>
#include <stdarg.h>

#define STRSAFE_MAX_CCH 0x7FFFFFFFu
#define STRSAFE_E_INVALID_PARAMETER ((HRESULT)0x80070057L)
#define STRSAFE_E_INSUFFICIENT_BUFFER ((HRESULT)0x8007007AL)

HRESULT StringCchCopyA(char* pszDest, size_t cchDest, const char* pszSrc);
HRESULT StringCchCopyNA(char* pszDest, size_t cchDest, const char* pszSrc, size_t cchToCopy);
HRESULT StringCchCatA(char* pszDest, size_t cchDest, const char* pszSrc);
HRESULT StringCchPrintfA(char* pszDest, size_t cchDest, const char* pszFormat, ...)
    __attribute__((format(gnu_printf, 3, 4)));
HRESULT StringCchVPrintfA(char* pszDest, size_t cchDest, const char* pszFormat, va_list args);
HRESULT StringCchLengthA(const char* psz, size_t cchMax, size_t* pcchLength);
