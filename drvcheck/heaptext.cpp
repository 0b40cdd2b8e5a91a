// Heap texts of the driver support check.
#include "drvcheck/heaptext.h"
#include "app/boundedtext.h"
#include "installdata/heap.h"

char* HeapTextCopy(const char* pszText)
{
    return pszText == NULL ? NULL : HeapTextJoinPath(NULL, pszText);
}

char* HeapTextJoinPath(const char* pszDirectory, const char* pszName)
{
    bool fDirectory = pszDirectory != NULL && pszDirectory[0] != '\0';
    size_t cch = static_cast<size_t>(lstrlenA(pszName)) + 1;
    if (fDirectory)
        cch += static_cast<size_t>(lstrlenA(pszDirectory)) + 1;
    char* pszPath = static_cast<char*>(HeapAllocZeroed(cch));
    if (pszPath == NULL)
        return NULL;
    if (fDirectory) {
        StringCchCopyA(pszPath, cch, pszDirectory);
        StringCchCatA(pszPath, cch, "\\");
    }
    StringCchCatA(pszPath, cch, pszName);
    return pszPath;
}
