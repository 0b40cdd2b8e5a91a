// CCmdLineParser: holds a command-line text and splits it into switches
// (a slash, a name, an optional count and an optional value).
#pragma once
#include "app/str.h"

class CCmdLineParser {
public:
    CCmdLineParser() {}
    virtual ~CCmdLineParser() {}

    // Switch number nIndex (from 0) of m_strCmdLine: its name and value into the
    // buffers (sizes count the terminator). The value's length (0: no value), or
    // -1 when there is no such switch or its name or value does not fit; both
    // buffers are emptied then.
    int GetSwitch(int nIndex, char* pszName, int cchName, char* pszValue, int cchValue) const;

    // The decimal number that follows a switch name at pszFrom: every digit up to
    // the first NUL, line feed, double quote or slash. *ppszPos receives the last
    // character passed over, or pszFrom when there was none.
    static int ParseNumber(const char* pszFrom, const char** ppszPos);

    CStr m_strCmdLine;
};
