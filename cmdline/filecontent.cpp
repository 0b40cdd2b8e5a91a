// CFileContent: whole-file reading into a block of the process heap.
#include "cmdline/filecontent.h"
#include "app/boundedtext.h"
#include "installdata/heap.h"

CFileContent::CFileContent()
    : m_hFile(INVALID_HANDLE_VALUE), m_cchName(0), m_pszName(NULL), m_pContent(NULL), m_cbContent(0)
{
}

CFileContent::~CFileContent()
{
    Release();
}

int CFileContent::Read(const char* pszPath, char** ppContent, DWORD* pcbContent)
{
    if (pszPath == NULL)
        return 0;
    Release();
    size_t cchPath = 0;
    if (StringCchLengthA(pszPath, STRSAFE_MAX_CCH - 1, &cchPath) != 0)
        return 0;
    m_pszName = static_cast<char*>(HeapAllocZeroed(cchPath + 1));
    if (m_pszName == NULL || StringCchCopyA(m_pszName, cchPath + 1, pszPath) != 0 || !ReadOpenFile()) {
        Release();
        return 0;
    }
    m_cchName = static_cast<int>(cchPath);
    if (ppContent != NULL)
        *ppContent = m_pContent;
    if (pcbContent != NULL)
        *pcbContent = m_cbContent;
    return 1;
}

// Opens m_pszName and reads all of it into m_pContent; the file is closed again on every path.
int CFileContent::ReadOpenFile()
{
    m_hFile = CreateFileA(m_pszName, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_TEMPORARY,
                          NULL);
    if (m_hFile == INVALID_HANDLE_VALUE)
        return 0;
    DWORD dwSizeHigh = 0;
    DWORD dwSize = GetFileSize(m_hFile, &dwSizeHigh);
    // INVALID_FILE_SIZE also stands here for sizes that leave no room for the two zero bytes.
    int fOk = dwSizeHigh == 0 && dwSize < MAXDWORD - 2;
    if (fOk) {
        m_pContent = static_cast<char*>(HeapAllocZeroed(static_cast<SIZE_T>(dwSize) + 2));
        DWORD dwRead = 0;
        fOk = m_pContent != NULL && ReadFile(m_hFile, m_pContent, dwSize, &dwRead, NULL) && dwRead == dwSize;
    }
    if (fOk)
        m_cbContent = dwSize + 2;
    CloseFile();
    return fOk;
}

void CFileContent::DeleteReadFile()
{
    CloseFile();
    if (m_pszName == NULL)
        return;
    WIN32_FIND_DATAA fd;
    HANDLE hFind = FindFirstFileA(m_pszName, &fd);
    if (hFind == INVALID_HANDLE_VALUE)
        return;
    FindClose(hFind);
    DeleteFileA(m_pszName);
}

void CFileContent::Release()
{
    CloseFile();
    HeapFreeChecked(m_pszName);
    HeapFreeChecked(m_pContent);
    m_pszName = NULL;
    m_pContent = NULL;
    m_cchName = 0;
    m_cbContent = 0;
}

void CFileContent::CloseFile()
{
    if (m_hFile == INVALID_HANDLE_VALUE)
        return;
    CloseHandle(m_hFile);
    m_hFile = INVALID_HANDLE_VALUE;
}
