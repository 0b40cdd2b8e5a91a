// The switch grammar of the agent's command line and parameter files: finds
// one switch after another, each as a name and an optional value, the way
// CCmdLineParser::GetSwitch and CCmdLineInfo::Parse both read them.
#pragma once
#include <windows.h>

// One switch as found: offsets into the scanned text.
struct SwitchSpan {
    int nNameStart;
    int nNameLen;
    int nValueStart;
    int nValueLen;  // 0: the switch has no value
    BOOL fBroken;   // a counted value with no double quote after it: nothing can be read past it
};

class CSwitchScanner {
public:
    // The text must stay unchanged while the scanner reads it.
    explicit CSwitchScanner(const char* pszText);

    // The next switch; FALSE at the end of the text or after a broken switch.
    BOOL FindNext(SwitchSpan* pSpan);

    // The decimal number after a switch name (see CCmdLineParser::ParseNumber).
    static int ParseNumber(const char* pszFrom, const char** ppszPos);

    // Copies the switch's name and value into the caller's buffers (both emptied
    // first); the value's length, or -1 when there is no switch (null), the switch
    // is broken or its name or value does not fit.
    int CopySwitch(const SwitchSpan* pSpan, char* pszName, int cchName, char* pszValue, int cchValue) const;

private:
    void ReadSwitch(int nSlash, SwitchSpan* pSpan);
    void ReadCountedValue(int nNumberEnd, int nCount, SwitchSpan* pSpan);
    void ReadQuotedValue(int nNameEnd, int nNumberEnd, SwitchSpan* pSpan);

    const char* m_pszText;
    int m_nLength;
    int m_nPos;           // next character the scan looks at
    BOOL m_fInQuotes;
    BOOL m_fTrackQuotes;  // FALSE from the end of a counted value to the next switch
    BOOL m_fEnded;
};
