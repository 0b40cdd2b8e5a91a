// The agent's message box, which reads right to left when its texts do.
#pragma once
#include <windows.h>

class CRtlTextCheck {
public:
    virtual ~CRtlTextCheck() {}
    // 1 when the text holds a right-to-left character.
    int HasRtlText(const char* pszText);
};

// MessageBoxA, with MB_RTLREADING | MB_RIGHT added when the text or the
// caption holds a right-to-left character.
int RtlMessageBox(HWND hOwner, const char* pszText, const char* pszCaption, UINT uStyle);

// Test seam: the system's MessageBoxA. Tests point it at a function that
// records the style (not every system shows it in the box's window styles);
// the program never changes it.
typedef int(WINAPI* PFN_MessageBoxA)(HWND, LPCSTR, LPCSTR, UINT);
extern PFN_MessageBoxA g_pfnMessageBoxA;
