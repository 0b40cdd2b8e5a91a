// CCmdLineInfo: the switch table and parsing, including a parameter file named with /F.
#include "cmdline/cmdlineinfo.h"
#include "cmdline/filecontent.h"
#include "cmdline/switchscanner.h"
#include "app/boundedtext.h"
#include "app/debuglog.h"
#include <stdlib.h>
#include <string.h>

namespace {

// Longest switch name kept; a longer one cannot be any switch of the table.
const int kMaxSwitchName = 80;

enum OptionKind {
    OPTION_TEXT,      // assigns the value, also an empty one
    OPTION_FLAG,      // sets 1, ignores the value
    OPTION_ICONFROM,  // "HKCU" 1, "HKLM" 2, anything else leaves the field
    OPTION_NUMBER,    // the value as a decimal 32-bit number
};

struct OptionRow {
    const char* pszName;
    OptionKind kind;
    CStr CCmdLineInfo::*pText;
    int CCmdLineInfo::*pNumber;
    const char* pszLog;  // logged when the switch is stored, or null
};

// Searched in this order; the first name that matches stores.
const OptionRow kOptions[] = {
    {"P", OPTION_TEXT, &CCmdLineInfo::m_szPrinterName, nullptr, nullptr},
    {"D", OPTION_TEXT, &CCmdLineInfo::m_szDriverName, nullptr, nullptr},
    {"O", OPTION_TEXT, &CCmdLineInfo::m_szPortName, nullptr, nullptr},
    {"M", OPTION_TEXT, &CCmdLineInfo::m_szModelID, nullptr, nullptr},
    {"R", OPTION_FLAG, nullptr, &CCmdLineInfo::m_fRemove, nullptr},
    {"S", OPTION_FLAG, nullptr, &CCmdLineInfo::m_fSwitchS, nullptr},
    {"U", OPTION_FLAG, nullptr, &CCmdLineInfo::m_fSwitchU, nullptr},
    {"C", OPTION_FLAG, nullptr, &CCmdLineInfo::m_fSwitchC, nullptr},
    {"E", OPTION_FLAG, nullptr, &CCmdLineInfo::m_fSwitchE, nullptr},
    {"J", OPTION_TEXT, &CCmdLineInfo::m_szSwitchJ, nullptr, nullptr},
    {"QZM", OPTION_TEXT, &CCmdLineInfo::m_szSwitchQZM, nullptr, nullptr},
    {"I", OPTION_FLAG, nullptr, &CCmdLineInfo::m_fIconInstall, nullptr},
    {"EF", OPTION_ICONFROM, nullptr, &CCmdLineInfo::m_IconFrom, nullptr},
    {"HWND", OPTION_NUMBER, nullptr, &CCmdLineInfo::m_nHwnd, "/HWND"},
    {"SPL", OPTION_FLAG, nullptr, &CCmdLineInfo::m_fSwitchSPL, "/SPL"},
    {"DP", OPTION_FLAG, nullptr, &CCmdLineInfo::m_fSwitchDP, nullptr},
    {"A", OPTION_FLAG, nullptr, &CCmdLineInfo::m_fSwitchA, nullptr},
    {"T", OPTION_TEXT, &CCmdLineInfo::m_szSwitchT, nullptr, nullptr},
    {"L", OPTION_TEXT, &CCmdLineInfo::m_szSwitchL, nullptr, nullptr},
    {"N", OPTION_TEXT, &CCmdLineInfo::m_szSwitchN, nullptr, nullptr},
    {"IC", OPTION_TEXT, &CCmdLineInfo::m_szSwitchIC, nullptr, nullptr},
    {"CN", OPTION_TEXT, &CCmdLineInfo::m_szSwitchCN, nullptr, nullptr},
    {"ASMRT", OPTION_FLAG, nullptr, &CCmdLineInfo::m_fSwitchASMRT, nullptr},
    {"TC", OPTION_TEXT, &CCmdLineInfo::m_szSwitchTC, nullptr, nullptr},
    {"PPOP", OPTION_FLAG, nullptr, &CCmdLineInfo::m_fSwitchPPOP, nullptr},
    {"X", OPTION_TEXT, &CCmdLineInfo::m_szSwitchX, nullptr, nullptr},
    {"PS", OPTION_TEXT, &CCmdLineInfo::m_szSwitchPS, nullptr, nullptr},
    {"BSR", OPTION_FLAG, nullptr, &CCmdLineInfo::m_fSwitchBSR, nullptr},
    {"RP", OPTION_TEXT, &CCmdLineInfo::m_szSwitchRP, nullptr, nullptr},
    {"TD", OPTION_FLAG, nullptr, &CCmdLineInfo::m_fSwitchTD, nullptr},
};

} // namespace

CCmdLineInfo::CCmdLineInfo() : m_fInParamFile(FALSE)
{
    Reset();
}

CCmdLineInfo::CCmdLineInfo(const char* pszCmdLine) : m_fInParamFile(FALSE)
{
    Reset();
    m_strCmdLine = pszCmdLine;
    Parse();
}

CCmdLineInfo::~CCmdLineInfo()
{
}

void CCmdLineInfo::Reset()
{
    m_szTempDir.Empty();
    m_szPrinterName.Empty();
    m_szDriverName.Empty();
    m_szPortName.Empty();
    m_szModelID.Empty();
    m_szParamFile.Empty();
    m_szNewParamFile.Empty();
    m_szSwitchJ.Empty();
    m_szSwitchQZM.Empty();
    m_szSwitchT.Empty();
    m_szSwitchL.Empty();
    m_szSwitchN.Empty();
    m_szSwitchIC.Empty();
    m_szSwitchCN.Empty();
    m_szSwitchTC.Empty();
    m_szSwitchX.Empty();
    m_szSwitchPS.Empty();
    m_szSwitchRP.Empty();
    m_fRemove = 0;
    m_fSwitchS = 0;
    m_fSwitchE = 0;
    m_fSwitchC = 0;
    m_fSwitchU = 0;
    m_fIconInstall = 0;
    m_IconFrom = 0;
    m_fSwitchSPL = 0;
    m_nHwnd = 0;
    m_fSwitchDP = 0;
    m_fSwitchA = 0;
    m_fSwitchASMRT = 0;
    m_fSwitchPPOP = 0;
    m_fSwitchBSR = 0;
    m_fSwitchTD = 0;
}

void CCmdLineInfo::SetOption(const char* pszName, const char* pszValue)
{
    if (pszName == NULL)
        return;
    if (pszValue == NULL)
        pszValue = "";
    for (const OptionRow& row : kOptions) {
        if (_stricmp(row.pszName, pszName) != 0)
            continue;
        if (row.pszLog != NULL)
            LogText(row.pszLog);
        switch (row.kind) {
        case OPTION_TEXT:
            this->*row.pText = pszValue;
            break;
        case OPTION_FLAG:
            this->*row.pNumber = 1;
            break;
        case OPTION_ICONFROM:
            if (_stricmp(pszValue, "HKCU") == 0)
                this->*row.pNumber = 1;
            else if (_stricmp(pszValue, "HKLM") == 0)
                this->*row.pNumber = 2;
            break;
        case OPTION_NUMBER:
            // long is 32 bits here; strtol keeps out-of-range values at its limits.
            this->*row.pNumber = static_cast<int>(strtol(pszValue, NULL, 10));
            break;
        }
        return;
    }
}

int CCmdLineInfo::Parse()
{
    if (ParseSwitches() && !m_fInParamFile && !FollowParamFile())
        return 0;
    CompleteDriverPort();
    CompleteModel();
    return 1;
}

BOOL CCmdLineInfo::ParseSwitches()
{
    CSwitchScanner scanner(m_strCmdLine.c_str());
    SwitchSpan span;
    char szName[kMaxSwitchName];
    char szValue[MAX_PATH];
    BOOL fParamFile = FALSE;
    while (scanner.FindNext(&span)) {
        // Passed over rather than cut, so that it can never turn into a known switch.
        if (span.nNameLen >= kMaxSwitchName)
            span.nNameLen = 0;
        if (scanner.CopySwitch(&span, szName, kMaxSwitchName, szValue, MAX_PATH) < 0)
            break;
        SetOption(szName, szValue);
        if (_stricmp(szName, "F") == 0) {
            m_szParamFile = szValue;
            fParamFile = TRUE;
        }
    }
    return fParamFile;
}

int CCmdLineInfo::FollowParamFile()
{
    CFileContent reader;
    char* pszContent = NULL;
    if (!reader.Read(m_szParamFile.c_str(), &pszContent, NULL)) {
        FillTempDir();
        char szPath[MAX_PATH];
        if (StringCchPrintfA(szPath, MAX_PATH, "%s%s", m_szTempDir.c_str(), m_szParamFile.c_str()) != 0)
            return 0;
        // A file that cannot be read is left alone: nothing shows that it is a parameter file.
        if (!reader.Read(szPath, &pszContent, NULL))
            return 0;
    }
    m_strCmdLine = pszContent;
    m_fInParamFile = TRUE;
    Parse();
    m_fInParamFile = FALSE;
    // A start from a Run key comes again at the next logon and needs its file then.
    if (m_IconFrom == 0)
        reader.DeleteReadFile();
    return 1;
}

void CCmdLineInfo::FillTempDir()
{
    char szTemp[MAX_PATH];
    DWORD cch = GetTempPathA(MAX_PATH, szTemp);
    m_szTempDir = (cch == 0 || cch >= MAX_PATH) ? ".\\" : szTemp;
}
