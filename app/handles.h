// Small owners of Win32 handles: each closes what it holds when it goes, on
// every path out of the operation that opened it.
#pragma once
#include <windows.h>

// A kernel object or file handle; null and INVALID_HANDLE_VALUE hold nothing.
class CKernelHandle {
public:
    explicit CKernelHandle(HANDLE h = NULL) : m_h(h) {}
    ~CKernelHandle()
    {
        if (IsValid())
            CloseHandle(m_h);
    }
    CKernelHandle(const CKernelHandle&) = delete;
    CKernelHandle& operator=(const CKernelHandle&) = delete;
    BOOL IsValid() const { return m_h != NULL && m_h != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return m_h; }

private:
    HANDLE m_h;
};

// An open registry key, received from RegOpenKeyExA / RegCreateKeyExA.
class CKeyHandle {
public:
    CKeyHandle() : m_h(NULL) {}
    ~CKeyHandle()
    {
        if (m_h != NULL)
            RegCloseKey(m_h);
    }
    CKeyHandle(const CKeyHandle&) = delete;
    CKeyHandle& operator=(const CKeyHandle&) = delete;
    HKEY Get() const { return m_h; }
    HKEY* Receive() { return &m_h; }

private:
    HKEY m_h;
};

// A DLL loaded with the 8-bit loader for the owner's lifetime; an empty or
// absent path loads nothing.
class CLibraryHandle {
public:
    explicit CLibraryHandle(const char* pszPath)
        : m_h(pszPath != NULL && pszPath[0] != '\0' ? LoadLibraryA(pszPath) : NULL)
    {
    }
    ~CLibraryHandle()
    {
        if (m_h != NULL)
            FreeLibrary(m_h);
    }
    CLibraryHandle(const CLibraryHandle&) = delete;
    CLibraryHandle& operator=(const CLibraryHandle&) = delete;
    HMODULE Get() const { return m_h; }

private:
    HMODULE m_h;
};
