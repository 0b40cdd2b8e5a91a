// Process-heap helpers.
#include "installdata/heap.h"
#include <string.h>

void* HeapAllocZeroed(SIZE_T cb)
{
    HANDLE hHeap = GetProcessHeap();
    if (cb == 0 || hHeap == NULL)
        return NULL;
    void* pBlock = HeapAlloc(hHeap, 0, cb);
    if (pBlock == NULL)
        return NULL;
    // The heap may hand out more than was asked for; all of it starts zeroed.
    SIZE_T cbActual = HeapSize(hHeap, 0, pBlock);
    memset(pBlock, 0, cbActual == static_cast<SIZE_T>(-1) ? cb : cbActual);
    return pBlock;
}

void HeapFreeChecked(void* pBlock)
{
    HANDLE hHeap = GetProcessHeap();
    if (pBlock != NULL && hHeap != NULL)
        HeapFree(hHeap, 0, pBlock);
}

WCHAR* AnsiToWideAlloc(const char* pszText)
{
    if (pszText == NULL || pszText[0] == '\0')
        return NULL;
    int cch = MultiByteToWideChar(CP_ACP, 0, pszText, -1, NULL, 0);
    if (cch <= 0)
        return NULL;
    WCHAR* pszWide = static_cast<WCHAR*>(HeapAllocZeroed(2 * static_cast<SIZE_T>(cch) + 2));
    if (pszWide == NULL)
        return NULL;
    if (MultiByteToWideChar(CP_ACP, 0, pszText, -1, pszWide, cch) == 0) {
        HeapFreeChecked(pszWide);
        return NULL;
    }
    return pszWide;
}
