// CStr implementation: exact-size blocks from the process heap, atomic counts,
// copy-before-write on every change of a shared block.
#include "app/str.h"
#include "app/boundedtext.h"
#include <ctype.h>
#include <mbstring.h>
#include <stdio.h>
#include <string.h>

namespace {

struct EmptyBlock {
    CStrData header;
    char text[4];
};
EmptyBlock g_emptyBlock = {{-1, 0, 0}, {0, 0, 0, 0}};
char* const g_pchEmpty = g_emptyBlock.text;

HINSTANCE g_hResourceModule = NULL;

int SafeLength(const char* psz)
{
    return psz == NULL ? 0 : static_cast<int>(strlen(psz));
}

} // namespace

void CStr::SetResourceModule(HINSTANCE hModule)
{
    g_hResourceModule = hModule;
}

void CStr::Init()
{
    m_pchData = g_pchEmpty;
}

CStr::CStr()
{
    Init();
}

CStr::CStr(const CStr& src)
{
    if (src.GetData()->nRefs >= 0) {
        m_pchData = src.m_pchData;
        InterlockedIncrement(&GetData()->nRefs);
    } else {
        Init();
    }
}

CStr::CStr(const char* psz)
{
    Init();
    if (psz != NULL && reinterpret_cast<UINT_PTR>(psz) <= 0xFFFF) {
        UINT nID = static_cast<UINT>(reinterpret_cast<UINT_PTR>(psz));
        if (!LoadString(nID)) {
            char szMsg[64];
            StringCchPrintfA(szMsg, sizeof(szMsg), "Warning: implicit LoadString(%u) failed\n", nID);
            OutputDebugStringA(szMsg);
        }
        return;
    }
    int nLen = SafeLength(psz);
    if (nLen != 0 && AllocBuffer(nLen))
        memcpy(m_pchData, psz, nLen);
}

CStr::~CStr()
{
    Release();
}

bool CStr::AllocBuffer(int nLen)
{
    if (nLen <= 0) {
        Init();
        return true;
    }
    HANDLE hHeap = GetProcessHeap();
    void* pBlock = hHeap ? HeapAlloc(hHeap, HEAP_ZERO_MEMORY, sizeof(CStrData) + nLen + 1) : NULL;
    if (pBlock == NULL) {
        Init();
        return false;
    }
    CStrData* pData = static_cast<CStrData*>(pBlock);
    pData->nRefs = 1;
    pData->nDataLength = nLen;
    pData->nAllocLength = nLen;
    pData->data()[nLen] = '\0';
    m_pchData = pData->data();
    return true;
}

void CStr::Release()
{
    CStrData* pData = GetData();
    if (pData->nRefs >= 0 && InterlockedDecrement(&pData->nRefs) <= 0)
        HeapFree(GetProcessHeap(), 0, pData);
    Init();
}

void CStr::Empty()
{
    if (GetLength() != 0)
        Release();
}

bool CStr::CopyBeforeWrite()
{
    if (GetData()->nRefs <= 1)
        return true;
    CStrData* pOld = GetData();
    if (!AllocBuffer(pOld->nDataLength)) {
        InterlockedDecrement(&pOld->nRefs);
        return false;
    }
    memcpy(m_pchData, pOld->data(), pOld->nDataLength + 1);
    InterlockedDecrement(&pOld->nRefs);
    return true;
}

void CStr::AllocBeforeWrite(int nLen)
{
    CStrData* pData = GetData();
    if (pData->nRefs > 1 || nLen > pData->nAllocLength || pData->nRefs < 0) {
        Release();
        AllocBuffer(nLen);
    }
}

void CStr::AssignCopy(int nLen, const char* psz)
{
    if (nLen == 0) {
        // A private block is kept with length 0; the shared empty block stays as it is.
        if (GetData()->nRefs == 1) {
            GetData()->nDataLength = 0;
            m_pchData[0] = '\0';
        } else {
            Release();
        }
        return;
    }
    AllocBeforeWrite(nLen);
    if (GetData()->nAllocLength < nLen)
        return;  // allocation failed: the string is empty
    memmove(m_pchData, psz, nLen);
    GetData()->nDataLength = nLen;
    m_pchData[nLen] = '\0';
}

CStr& CStr::operator=(const CStr& src)
{
    if (m_pchData == src.m_pchData)
        return *this;
    if (src.GetData()->nRefs < 0) {
        Release();
        return *this;
    }
    InterlockedIncrement(&src.GetData()->nRefs);
    Release();
    m_pchData = src.m_pchData;
    return *this;
}

CStr& CStr::operator=(const char* psz)
{
    AssignCopy(SafeLength(psz), psz);
    return *this;
}

bool CStr::operator==(const char* psz) const
{
    return strcmp(m_pchData, psz ? psz : "") == 0;
}

bool CStr::operator==(const CStr& other) const
{
    return GetLength() == other.GetLength() && memcmp(m_pchData, other.m_pchData, GetLength()) == 0;
}

int CStr::CompareNoCase(const char* psz) const
{
    return _stricmp(m_pchData, psz ? psz : "");
}

int CStr::Find(char ch) const
{
    const char* p = strchr(m_pchData, ch);
    return (p == NULL || ch == '\0') ? -1 : static_cast<int>(p - m_pchData);
}

int CStr::Find(const char* pszSub) const
{
    if (pszSub == NULL)
        return -1;
    const char* p = strstr(m_pchData, pszSub);
    return p == NULL ? -1 : static_cast<int>(p - m_pchData);
}

int CStr::ReverseFind(char ch) const
{
    const char* p = strrchr(m_pchData, ch);
    return (p == NULL || ch == '\0') ? -1 : static_cast<int>(p - m_pchData);
}

CStr CStr::Left(int nCount) const
{
    return Mid(0, nCount);
}

CStr CStr::Mid(int nFirst) const
{
    return Mid(nFirst, GetLength());
}

CStr CStr::Mid(int nFirst, int nCount) const
{
    if (nFirst < 0)
        nFirst = 0;
    if (nCount < 0 || nFirst >= GetLength())
        return CStr();
    if (nCount > GetLength() - nFirst)
        nCount = GetLength() - nFirst;
    if (nFirst == 0 && nCount == GetLength())
        return *this;
    CStr result;
    if (result.AllocBuffer(nCount) && nCount > 0)
        memcpy(result.m_pchData, m_pchData + nFirst, nCount);
    return result;
}

void CStr::ConcatInPlace(int nLen, const char* psz)
{
    if (nLen == 0)
        return;
    CStrData* pData = GetData();
    int nOld = pData->nDataLength;
    if (pData->nRefs == 1 && nOld + nLen <= pData->nAllocLength) {
        memcpy(m_pchData + nOld, psz, nLen);
        pData->nDataLength = nOld + nLen;
        m_pchData[nOld + nLen] = '\0';
        return;
    }
    CStr result;
    if (!result.AllocBuffer(nOld + nLen)) {
        Release();
        return;
    }
    memcpy(result.m_pchData, m_pchData, nOld);
    memcpy(result.m_pchData + nOld, psz, nLen);
    *this = result;
}

CStr& CStr::operator+=(const char* psz)
{
    ConcatInPlace(SafeLength(psz), psz);
    return *this;
}

CStr& CStr::operator+=(char ch)
{
    ConcatInPlace(1, &ch);
    return *this;
}

CStr& CStr::operator+=(const CStr& src)
{
    // Appending a string to itself must read the text before the block changes.
    CStr keep(src);
    ConcatInPlace(keep.GetLength(), keep.m_pchData);
    return *this;
}

CStr operator+(const char* psz, const CStr& str)
{
    CStr result(psz);
    result += str;
    return result;
}

CStr operator+(const CStr& str, const char* psz)
{
    CStr result(str);
    result += psz;
    return result;
}

CStr operator+(const CStr& a, const CStr& b)
{
    CStr result(a);
    result += b;
    return result;
}

void CStr::SetAt(int nIndex, char ch)
{
    if (CopyBeforeWrite())
        m_pchData[nIndex] = ch;
}

void CStr::TrimLeft()
{
    int nSkip = 0;
    while (nSkip < GetLength() && isspace(static_cast<unsigned char>(m_pchData[nSkip])))
        ++nSkip;
    if (nSkip == 0)
        return;
    if (!CopyBeforeWrite())
        return;
    int nNew = GetLength() - nSkip;
    memmove(m_pchData, m_pchData + nSkip, nNew + 1);
    GetData()->nDataLength = nNew;
}

void CStr::TrimRight()
{
    int nNew = GetLength();
    while (nNew > 0 && isspace(static_cast<unsigned char>(m_pchData[nNew - 1])))
        --nNew;
    if (nNew == GetLength())
        return;
    if (!CopyBeforeWrite())
        return;
    m_pchData[nNew] = '\0';
    GetData()->nDataLength = nNew;
}

void CStr::MakeUpper()
{
    if (IsEmpty() || !CopyBeforeWrite())
        return;
    _mbsupr(reinterpret_cast<unsigned char*>(m_pchData));
}

void CStr::Format(const char* pszFormat, ...)
{
    va_list args;
    va_start(args, pszFormat);
    FormatV(pszFormat, args);
    va_end(args);
}

void CStr::FormatV(const char* pszFormat, va_list args)
{
    if (pszFormat == NULL) {
        Empty();
        return;
    }
    va_list argsCount;
    va_copy(argsCount, args);
    int nBound = vsnprintf(NULL, 0, pszFormat, argsCount);
    va_end(argsCount);
    if (nBound <= 0) {
        Empty();
        return;
    }
    // The measured length is the exact bound; the text is formatted into a private copy
    // so that arguments that point into this string stay valid while it is written.
    CStr result;
    char* pBuf = result.GetBuffer(nBound);
    if (pBuf == NULL || StringCchVPrintfA(pBuf, nBound + 1, pszFormat, args) != S_OK) {
        Empty();
        return;
    }
    result.ReleaseBuffer();
    *this = result;
}

char* CStr::GetBuffer(int nMinBufLength)
{
    CStrData* pData = GetData();
    if (pData->nRefs > 1 || nMinBufLength > pData->nAllocLength) {
        int nOldLen = pData->nDataLength;
        int nNew = nMinBufLength > nOldLen ? nMinBufLength : nOldLen;
        if (nNew == 0)
            return m_pchData;  // the shared empty block holds "" and is never written
        CStr result;
        if (!result.AllocBuffer(nNew))
            return NULL;
        memcpy(result.m_pchData, m_pchData, nOldLen + 1);
        result.GetData()->nDataLength = nOldLen;
        *this = result;
    }
    return m_pchData;
}

void CStr::ReleaseBuffer(int nNewLength)
{
    if (GetData()->nRefs < 0)
        return;
    if (nNewLength == -1)
        nNewLength = static_cast<int>(strnlen(m_pchData, GetData()->nAllocLength));
    if (nNewLength > GetData()->nAllocLength)
        nNewLength = GetData()->nAllocLength;
    GetData()->nDataLength = nNewLength;
    m_pchData[nNewLength] = '\0';
}

BOOL CStr::LoadString(UINT nID, HINSTANCE hModule)
{
    if (hModule == NULL)
        hModule = g_hResourceModule;
    char szBuffer[512];
    int nLen = ::LoadStringA(hModule, nID, szBuffer, sizeof(szBuffer));
    if (static_cast<int>(sizeof(szBuffer)) - nLen > 2) {
        *this = szBuffer;
        return nLen > 0;
    }
    for (int nSize = 768;; nSize += 256) {
        char* pBuf = GetBuffer(nSize - 1);
        if (pBuf == NULL)
            return FALSE;
        nLen = ::LoadStringA(hModule, nID, pBuf, nSize);
        if (nSize - nLen > 2)
            break;
    }
    ReleaseBuffer();
    return GetLength() > 0;
}
