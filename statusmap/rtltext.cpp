// Right-to-left text detection through the system's character-type tables.
#include "statusmap/rtltext.h"
#include "app/boundedtext.h"
#include "installdata/heap.h"
#include "installdata/osversion.h"

PFN_MessageBoxA g_pfnMessageBoxA = MessageBoxA;

namespace {

// Classifies the text into pTypes (room for cchText + 1 entries); the number
// of characters classified, 0 on failure.
int ClassifyText(const char* pszText, int cchText, WORD* pTypes)
{
    LCID lcid = GetSystemDefaultLCID();
    if (IsNtPlatform()) {
        WCHAR* pszWide = AnsiToWideAlloc(pszText);
        if (pszWide != NULL) {
            int cchWide = lstrlenW(pszWide);
            BOOL fDone = cchWide <= cchText && GetStringTypeExW(lcid, CT_CTYPE2, pszWide, cchWide, pTypes);
            HeapFreeChecked(pszWide);
            if (fDone)
                return cchWide;
        }
    }
    return GetStringTypeExA(lcid, CT_CTYPE2, pszText, cchText, pTypes) ? cchText : 0;
}

} // namespace

int CRtlTextCheck::HasRtlText(const char* pszText)
{
    size_t cchText = 0;
    if (pszText == NULL || StringCchLengthA(pszText, STRSAFE_MAX_CCH, &cchText) != S_OK || cchText == 0)
        return 0;
    WORD* pTypes = static_cast<WORD*>(HeapAllocZeroed((cchText + 1) * sizeof(WORD)));
    if (pTypes == NULL)
        return 0;
    int cchClassified = ClassifyText(pszText, static_cast<int>(cchText), pTypes);
    int fRtl = 0;
    for (int i = 0; i < cchClassified && !fRtl; ++i)
        fRtl = pTypes[i] == C2_RIGHTTOLEFT;
    HeapFreeChecked(pTypes);
    return fRtl;
}

int RtlMessageBox(HWND hOwner, const char* pszText, const char* pszCaption, UINT uStyle)
{
    CRtlTextCheck check;
    if (check.HasRtlText(pszText) || check.HasRtlText(pszCaption))
        uStyle |= MB_RTLREADING | MB_RIGHT;
    return g_pfnMessageBoxA(hOwner, pszText, pszCaption, uStyle);
}
