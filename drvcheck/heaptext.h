// Texts on the process heap for the driver support check: owned by the caller and
// given back with HeapFreeChecked.
#pragma once
#include <windows.h>

// A copy of the text; null for a null text or a failed allocation.
char* HeapTextCopy(const char* pszText);
// The directory, a backslash and the name; the name alone when the directory is
// null or empty. Null when the allocation fails.
char* HeapTextJoinPath(const char* pszDirectory, const char* pszName);
