// CFileContent: a file read whole into memory as a NUL-terminated text, and the
// deletion of that file once its content has been used.
#pragma once
#include <windows.h>

class CFileContent {
public:
    CFileContent();
    ~CFileContent();
    CFileContent(const CFileContent&) = delete;
    CFileContent& operator=(const CFileContent&) = delete;

    // Reads the file; the content (two zero bytes beyond the data) and its size
    // plus 2 go to the outputs, either of which may be null. The content belongs
    // to this object. 1 read, 0 failed (nothing is deleted then).
    int Read(const char* pszPath, char** ppContent, DWORD* pcbContent);
    // Deletes the file that was read, when it still exists.
    void DeleteReadFile();
    // Frees the name and the content.
    void Release();

private:
    void CloseFile();
    int ReadOpenFile();

    HANDLE m_hFile;  // open only inside Read
    int m_cchName;
    char* m_pszName;
    char* m_pContent;
    DWORD m_cbContent;  // the file's size plus 2
};
