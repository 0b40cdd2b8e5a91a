// Process-heap helpers shared by the driver-data readers and the driver support check.
#pragma once
#include <windows.h>

// A zero-filled block of the process heap; null for a count of 0 or a failure.
void* HeapAllocZeroed(SIZE_T cb);
// Gives a block back to the process heap; null is ignored.
void HeapFreeChecked(void* pBlock);
// A new wide string converted from the system code page, owned by the caller
// (free it with HeapFreeChecked); null for a null or empty text or a failed conversion.
WCHAR* AnsiToWideAlloc(const char* pszText);
