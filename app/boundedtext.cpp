// Bounded text helpers. They never write past cchDest characters and leave a
// terminator whenever the destination is usable (non-null, size 1 to the maximum).
#include "app/boundedtext.h"
#include <stdio.h>
#include <string.h>

namespace {

bool IsUsableDest(const char* pszDest, size_t cchDest)
{
    return pszDest != NULL && cchDest != 0 && cchDest <= STRSAFE_MAX_CCH;
}

// Copies at most cchToCopy characters of pszSrc behind pszDest, which has room for cchRoom.
HRESULT CopyBounded(char* pszDest, size_t cchRoom, const char* pszSrc, size_t cchToCopy)
{
    size_t i = 0;
    while (i < cchToCopy && pszSrc[i] != '\0') {
        if (i + 1 >= cchRoom) {
            pszDest[i] = '\0';
            return STRSAFE_E_INSUFFICIENT_BUFFER;
        }
        pszDest[i] = pszSrc[i];
        ++i;
    }
    pszDest[i] = '\0';
    return S_OK;
}

HRESULT InvalidWithEmptyDest(char* pszDest, size_t cchDest)
{
    if (IsUsableDest(pszDest, cchDest))
        pszDest[0] = '\0';
    return STRSAFE_E_INVALID_PARAMETER;
}

} // namespace

HRESULT StringCchCopyA(char* pszDest, size_t cchDest, const char* pszSrc)
{
    return StringCchCopyNA(pszDest, cchDest, pszSrc, STRSAFE_MAX_CCH);
}

HRESULT StringCchCopyNA(char* pszDest, size_t cchDest, const char* pszSrc, size_t cchToCopy)
{
    if (!IsUsableDest(pszDest, cchDest) || pszSrc == NULL || cchToCopy > STRSAFE_MAX_CCH)
        return InvalidWithEmptyDest(pszDest, cchDest);
    return CopyBounded(pszDest, cchDest, pszSrc, cchToCopy);
}

HRESULT StringCchCatA(char* pszDest, size_t cchDest, const char* pszSrc)
{
    if (!IsUsableDest(pszDest, cchDest))
        return STRSAFE_E_INVALID_PARAMETER;
    const char* pEnd = static_cast<const char*>(memchr(pszDest, '\0', cchDest));
    if (pEnd == NULL) {
        pszDest[cchDest - 1] = '\0';
        return STRSAFE_E_INVALID_PARAMETER;
    }
    if (pszSrc == NULL)
        return STRSAFE_E_INVALID_PARAMETER;
    size_t cchUsed = static_cast<size_t>(pEnd - pszDest);
    return CopyBounded(pszDest + cchUsed, cchDest - cchUsed, pszSrc, STRSAFE_MAX_CCH);
}

HRESULT StringCchPrintfA(char* pszDest, size_t cchDest, const char* pszFormat, ...)
{
    va_list args;
    va_start(args, pszFormat);
    HRESULT hr = StringCchVPrintfA(pszDest, cchDest, pszFormat, args);
    va_end(args);
    return hr;
}

HRESULT StringCchVPrintfA(char* pszDest, size_t cchDest, const char* pszFormat, va_list args)
{
    if (!IsUsableDest(pszDest, cchDest) || pszFormat == NULL)
        return InvalidWithEmptyDest(pszDest, cchDest);
    int n = vsnprintf(pszDest, cchDest, pszFormat, args);
    if (n < 0) {
        pszDest[0] = '\0';
        return STRSAFE_E_INVALID_PARAMETER;
    }
    if (static_cast<size_t>(n) >= cchDest) {
        pszDest[cchDest - 1] = '\0';
        return STRSAFE_E_INSUFFICIENT_BUFFER;
    }
    return S_OK;
}

HRESULT StringCchLengthA(const char* psz, size_t cchMax, size_t* pcchLength)
{
    if (pcchLength != NULL)
        *pcchLength = 0;
    if (psz == NULL || cchMax == 0 || cchMax > STRSAFE_MAX_CCH)
        return STRSAFE_E_INVALID_PARAMETER;
    const char* pEnd = static_cast<const char*>(memchr(psz, '\0', cchMax));
    if (pEnd == NULL)
        return STRSAFE_E_INVALID_PARAMETER;
    if (pcchLength != NULL)
        *pcchLength = static_cast<size_t>(pEnd - psz);
    return S_OK;
}
