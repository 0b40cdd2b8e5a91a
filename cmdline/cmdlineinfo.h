// CCmdLineInfo: the agent's command line as named fields (which printer,
// driver, port and model, how the agent was started, and the switches it
// carries for the status-monitor program). The same record, written out, is the
// parameter file handed to the status-monitor program.
#pragma once
#include "cmdline/cmdlineparser.h"

class CCmdLineInfo : public CCmdLineParser {
public:
    CCmdLineInfo();
    explicit CCmdLineInfo(const char* pszCmdLine);
    ~CCmdLineInfo();

    // Every field empty or 0; m_strCmdLine stays.
    void Reset();
    // Stores one switch by its name (case-insensitive); unknown names store nothing.
    void SetOption(const char* pszName, const char* pszValue);
    // Parses m_strCmdLine, follows a parameter file named with /F, then completes
    // driver, port and model. 0 when the parameter file could not be read (nothing
    // is completed then), 1 otherwise.
    int Parse();
    // 1 when driver and port are known afterwards (asked from the spooler when missing).
    int CompleteDriverPort();
    // 1 when the model identifier is known afterwards (from the driver's installation data).
    int CompleteModel();

    // The parameter file for the status-monitor program, in the temporary folder.
    int MakeParamFileName();
    int WriteParamFile();
    int WriteParamFileFor(const char* pszPrinterName, const char* pszPortName, const char* pszModelID);
    // Deletes a parameter file given by path or by bare name (looked for in the
    // temporary folder); DeleteFileA's result, or 0 when no such file was found.
    int DeleteParamFile(const char* pszFileName);

    CStr m_szTempDir;  // with its trailing backslash, or ".\"
    int m_fRemove;
    int m_fSwitchS;
    int m_fSwitchE;
    int m_fSwitchC;
    int m_fSwitchU;
    CStr m_szPrinterName;
    CStr m_szDriverName;
    CStr m_szPortName;
    CStr m_szModelID;
    CStr m_szParamFile;     // as named by /F: a path, or a bare name in the temporary folder
    CStr m_szNewParamFile;  // bare name made by MakeParamFileName
    CStr m_szSwitchJ;
    CStr m_szSwitchQZM;
    int m_fIconInstall;
    int m_IconFrom;  // 0 not from a Run key, 1 the user's Run key, 2 the machine's
    int m_fSwitchSPL;
    int m_nHwnd;
    int m_fSwitchDP;
    int m_fSwitchA;
    CStr m_szSwitchT;
    CStr m_szSwitchL;
    CStr m_szSwitchN;
    CStr m_szSwitchIC;
    CStr m_szSwitchCN;
    int m_fSwitchASMRT;
    CStr m_szSwitchTC;
    int m_fSwitchPPOP;
    CStr m_szSwitchX;
    CStr m_szSwitchPS;
    int m_fSwitchBSR;
    CStr m_szSwitchRP;
    int m_fSwitchTD;

private:
    CCmdLineInfo(const CCmdLineInfo&) = delete;
    CCmdLineInfo& operator=(const CCmdLineInfo&) = delete;

    // Gives the switches of m_strCmdLine to SetOption, up to one whose value does
    // not fit; TRUE when one of them was /F.
    BOOL ParseSwitches();
    // Reads the /F file, parses its text and deletes it after a one-time start.
    int FollowParamFile();
    void FillTempDir();

    // Set while a parameter file's text is parsed: a /F inside it is recorded but
    // not followed, so a file that names itself cannot recurse.
    BOOL m_fInParamFile;
};
