// CCmdLineInfo: the parameter file for the status-monitor program, one switch
// per line in the command-line grammar, in the temporary folder.
#include "cmdline/cmdlineinfo.h"
#include "app/boundedtext.h"
#include <stdio.h>
#include <string.h>

namespace {

const int kLineSize = 276;  // 275 characters and the terminator

enum LineKind {
    LINE_TEXT,      // "/X \"text\"" when the text is not empty
    LINE_FLAG_SET,  // "/X" when the flag is not 0
    LINE_FLAG_ONE,  // "/X" when the flag is exactly 1
    LINE_NUMBER,    // "/X \"number\"" when the number is not 0
};

struct ParamLine {
    const char* pszSwitch;
    LineKind kind;
    CStr CCmdLineInfo::*pText;
    int CCmdLineInfo::*pNumber;
};

// Written in this order.
const ParamLine kParamLines[] = {
    {"P", LINE_TEXT, &CCmdLineInfo::m_szPrinterName, nullptr},
    {"D", LINE_TEXT, &CCmdLineInfo::m_szDriverName, nullptr},
    {"O", LINE_TEXT, &CCmdLineInfo::m_szPortName, nullptr},
    {"M", LINE_TEXT, &CCmdLineInfo::m_szModelID, nullptr},
    {"J", LINE_TEXT, &CCmdLineInfo::m_szSwitchJ, nullptr},
    {"S", LINE_FLAG_SET, nullptr, &CCmdLineInfo::m_fSwitchS},
    {"R", LINE_FLAG_SET, nullptr, &CCmdLineInfo::m_fRemove},
    {"E", LINE_FLAG_SET, nullptr, &CCmdLineInfo::m_fSwitchE},
    {"U", LINE_FLAG_SET, nullptr, &CCmdLineInfo::m_fSwitchU},
    {"C", LINE_FLAG_SET, nullptr, &CCmdLineInfo::m_fSwitchC},
    {"QZM", LINE_TEXT, &CCmdLineInfo::m_szSwitchQZM, nullptr},
    {"I", LINE_FLAG_SET, nullptr, &CCmdLineInfo::m_fIconInstall},
    {"HWND", LINE_NUMBER, nullptr, &CCmdLineInfo::m_nHwnd},
    {"SPL", LINE_FLAG_SET, nullptr, &CCmdLineInfo::m_fSwitchSPL},
    {"DP", LINE_FLAG_ONE, nullptr, &CCmdLineInfo::m_fSwitchDP},
    {"A", LINE_FLAG_ONE, nullptr, &CCmdLineInfo::m_fSwitchA},
    {"T", LINE_TEXT, &CCmdLineInfo::m_szSwitchT, nullptr},
    {"L", LINE_TEXT, &CCmdLineInfo::m_szSwitchL, nullptr},
    {"N", LINE_TEXT, &CCmdLineInfo::m_szSwitchN, nullptr},
    {"IC", LINE_TEXT, &CCmdLineInfo::m_szSwitchIC, nullptr},
    {"CN", LINE_TEXT, &CCmdLineInfo::m_szSwitchCN, nullptr},
    {"ASMRT", LINE_FLAG_ONE, nullptr, &CCmdLineInfo::m_fSwitchASMRT},
    {"TC", LINE_TEXT, &CCmdLineInfo::m_szSwitchTC, nullptr},
    {"PPOP", LINE_FLAG_ONE, nullptr, &CCmdLineInfo::m_fSwitchPPOP},
    {"X", LINE_TEXT, &CCmdLineInfo::m_szSwitchX, nullptr},
    {"PS", LINE_TEXT, &CCmdLineInfo::m_szSwitchPS, nullptr},
    {"BSR", LINE_FLAG_ONE, nullptr, &CCmdLineInfo::m_fSwitchBSR},
    {"RP", LINE_TEXT, &CCmdLineInfo::m_szSwitchRP, nullptr},
    {"TD", LINE_FLAG_ONE, nullptr, &CCmdLineInfo::m_fSwitchTD},
};

BOOL IsLineWritten(const CCmdLineInfo& info, const ParamLine& row)
{
    switch (row.kind) {
    case LINE_TEXT:
        return !(info.*row.pText).IsEmpty();
    case LINE_FLAG_SET:
    case LINE_NUMBER:
        return info.*row.pNumber != 0;
    case LINE_FLAG_ONE:
        return info.*row.pNumber == 1;
    }
    return FALSE;
}

HRESULT FormatLine(const CCmdLineInfo& info, const ParamLine& row, char* pszLine)
{
    switch (row.kind) {
    case LINE_TEXT:
        return StringCchPrintfA(pszLine, kLineSize, "/%s \"%s\"\n", row.pszSwitch, (info.*row.pText).c_str());
    case LINE_NUMBER:
        return StringCchPrintfA(pszLine, kLineSize, "/%s \"%d\"\n", row.pszSwitch, info.*row.pNumber);
    case LINE_FLAG_SET:
    case LINE_FLAG_ONE:
        break;
    }
    return StringCchPrintfA(pszLine, kLineSize, "/%s\n", row.pszSwitch);
}

// 1 when every line due was formatted and written; a line that does not fit
// ends the writing, the lines before it stay.
int WriteParamLines(const CCmdLineInfo& info, FILE* pFile)
{
    char szLine[kLineSize];
    for (const ParamLine& row : kParamLines) {
        if (!IsLineWritten(info, row))
            continue;
        if (FormatLine(info, row, szLine) != 0)
            return 0;
        size_t cch = strlen(szLine);
        if (fwrite(szLine, 1, cch, pFile) != cch)
            return 0;
    }
    return 1;
}

// No FILE_SHARE_DELETE: Windows 9x fails every open that asks for it.
BOOL OpensForReading(const char* pszPath)
{
    HANDLE hFile = CreateFileA(pszPath, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, NULL);
    if (hFile == INVALID_HANDLE_VALUE)
        return FALSE;
    CloseHandle(hFile);
    return TRUE;
}

} // namespace

int CCmdLineInfo::MakeParamFileName()
{
    FillTempDir();
    char szFull[MAX_PATH];
    if (GetTempFileNameA(m_szTempDir.c_str(), "Q_S", 0, szFull) == 0) {
        m_szNewParamFile.Empty();
        return 0;
    }
    m_szNewParamFile = szFull;
    m_szNewParamFile = m_szNewParamFile.Mid(m_szTempDir.GetLength());
    return !m_szNewParamFile.IsEmpty();
}

int CCmdLineInfo::WriteParamFile()
{
    char szPath[MAX_PATH];
    if (StringCchCopyA(szPath, MAX_PATH, m_szTempDir.c_str()) != 0 ||
        StringCchCatA(szPath, MAX_PATH, m_szNewParamFile.c_str()) != 0)
        return 0;
    FILE* pFile = fopen(szPath, "wb");
    if (pFile == NULL)
        return 0;
    // A write that fails (a full disk) must not pass for a complete file.
    int fOk = WriteParamLines(*this, pFile);
    if (fclose(pFile) != 0)
        fOk = 0;
    return fOk;
}

int CCmdLineInfo::WriteParamFileFor(const char* pszPrinterName, const char* pszPortName, const char* pszModelID)
{
    MakeParamFileName();
    if (m_szNewParamFile.IsEmpty())
        return 0;
    m_szPrinterName = pszPrinterName;
    m_szPortName = pszPortName;
    m_szModelID = pszModelID;
    if (WriteParamFile())
        return 1;
    DeleteParamFile(m_szNewParamFile.c_str());
    return 0;
}

int CCmdLineInfo::DeleteParamFile(const char* pszFileName)
{
    if (pszFileName == NULL)
        return 0;
    if (m_szTempDir.IsEmpty())
        FillTempDir();
    if (OpensForReading(pszFileName))
        return DeleteFileA(pszFileName);
    char szPath[MAX_PATH];
    if (StringCchPrintfA(szPath, MAX_PATH, "%s%s", m_szTempDir.c_str(), pszFileName) != 0)
        return 0;
    if (OpensForReading(szPath))
        return DeleteFileA(szPath);
    return 0;
}
