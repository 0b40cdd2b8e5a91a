// CStr: the program's reference-counted, copy-on-write 8-bit string.
// A CStr is one pointer to the text of a heap block laid out as
// {reference count, length, capacity, text}; every empty string shares one
// static block whose count is -1 and which is never written or freed.
#pragma once
#include <windows.h>
#include <stdarg.h>

struct CStrData {
    LONG nRefs;
    int nDataLength;
    int nAllocLength;
    char* data() { return reinterpret_cast<char*>(this + 1); }
};

class CStr {
public:
    CStr();
    CStr(const CStr& src);
    CStr(const char* psz);  // a value of at most 0xFFFF is a string-resource id
    ~CStr();

    CStr& operator=(const CStr& src);
    CStr& operator=(const char* psz);

    const char* c_str() const { return m_pchData; }
    int GetLength() const { return GetData()->nDataLength; }
    BOOL IsEmpty() const { return GetLength() == 0; }
    char GetAt(int nIndex) const { return m_pchData[nIndex]; }

    bool operator==(const char* psz) const;
    bool operator==(const CStr& other) const;
    bool operator!=(const char* psz) const { return !(*this == psz); }
    bool operator!=(const CStr& other) const { return !(*this == other); }
    int CompareNoCase(const char* psz) const;

    int Find(char ch) const;
    int Find(const char* pszSub) const;
    int ReverseFind(char ch) const;

    CStr Left(int nCount) const;
    CStr Mid(int nFirst) const;
    CStr Mid(int nFirst, int nCount) const;

    CStr& operator+=(const char* psz);
    CStr& operator+=(char ch);
    CStr& operator+=(const CStr& src);

    void Empty();
    void SetAt(int nIndex, char ch);
    void TrimLeft();
    void TrimRight();
    void MakeUpper();
    void Format(const char* pszFormat, ...) __attribute__((format(gnu_printf, 2, 3)));
    void FormatV(const char* pszFormat, va_list args);

    char* GetBuffer(int nMinBufLength);
    void ReleaseBuffer(int nNewLength = -1);

    BOOL LoadString(UINT nID, HINSTANCE hModule = NULL);
    static void SetResourceModule(HINSTANCE hModule);

private:
    CStrData* GetData() const { return reinterpret_cast<CStrData*>(m_pchData) - 1; }
    void Init();
    bool AllocBuffer(int nLen);
    void Release();
    void AssignCopy(int nLen, const char* psz);
    void ConcatInPlace(int nLen, const char* psz);
    bool CopyBeforeWrite();
    void AllocBeforeWrite(int nLen);

    char* m_pchData;

    friend CStr operator+(const char* psz, const CStr& str);
    friend CStr operator+(const CStr& str, const char* psz);
    friend CStr operator+(const CStr& a, const CStr& b);
};

CStr operator+(const char* psz, const CStr& str);
CStr operator+(const CStr& str, const char* psz);
CStr operator+(const CStr& a, const CStr& b);
