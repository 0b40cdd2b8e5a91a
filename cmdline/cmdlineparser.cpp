// CCmdLineParser: switch lookup by index.
#include "cmdline/cmdlineparser.h"
#include "cmdline/switchscanner.h"

int CCmdLineParser::GetSwitch(int nIndex, char* pszName, int cchName, char* pszValue, int cchValue) const
{
    CSwitchScanner scanner(m_strCmdLine.c_str());
    SwitchSpan span = {};
    BOOL fFound = nIndex >= 0;
    for (int i = 0; fFound && i <= nIndex; ++i)
        fFound = scanner.FindNext(&span);
    return scanner.CopySwitch(fFound ? &span : NULL, pszName, cchName, pszValue, cchValue);
}

int CCmdLineParser::ParseNumber(const char* pszFrom, const char** ppszPos)
{
    return CSwitchScanner::ParseNumber(pszFrom, ppszPos);
}
