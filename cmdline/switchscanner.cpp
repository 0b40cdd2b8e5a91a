// The switch grammar: a slash outside double quotes starts a switch; then its
// name, an optional count and a counted or quoted value.
#include "cmdline/switchscanner.h"
#include "app/boundedtext.h"
#include <limits.h>
#include <string.h>

namespace {

BOOL IsDigit(char ch)
{
    return ch >= '0' && ch <= '9';
}

BOOL IsNameEnd(char ch)
{
    return ch == '\0' || IsDigit(ch) || ch == '"' || ch == '/' || ch == ' ' || ch == '\t' || ch == '\r' ||
           ch == '\n';
}

void EmptyBuffer(char* psz, int cch)
{
    if (psz != NULL && cch > 0)
        psz[0] = '\0';
}

} // namespace

CSwitchScanner::CSwitchScanner(const char* pszText)
    : m_pszText(pszText != NULL ? pszText : ""),
      m_nLength(0),
      m_nPos(0),
      m_fInQuotes(FALSE),
      m_fTrackQuotes(TRUE),
      m_fEnded(FALSE)
{
    size_t cch = 0;
    if (StringCchLengthA(m_pszText, INT_MAX, &cch) == 0)
        m_nLength = static_cast<int>(cch);
}

int CSwitchScanner::ParseNumber(const char* pszFrom, const char** ppszPos)
{
    if (pszFrom == NULL)
        pszFrom = "";
    int nNumber = 0;
    const char* p = pszFrom;
    for (; *p != '\0' && *p != '\n' && *p != '"' && *p != '/'; ++p) {
        if (!IsDigit(*p))
            continue;
        int nDigit = *p - '0';
        // A count beyond the 32-bit range cannot be satisfied by any text: keep it at the largest.
        nNumber = (nNumber > (INT_MAX - nDigit) / 10) ? INT_MAX : nNumber * 10 + nDigit;
    }
    if (ppszPos != NULL)
        *ppszPos = (p > pszFrom) ? p - 1 : pszFrom;
    return nNumber;
}

BOOL CSwitchScanner::FindNext(SwitchSpan* pSpan)
{
    if (m_fEnded)
        return FALSE;
    for (; m_nPos < m_nLength; ++m_nPos) {
        char ch = m_pszText[m_nPos];
        if (ch == '/' && !m_fInQuotes)
            break;
        if (ch == '"' && m_fTrackQuotes)
            m_fInQuotes = !m_fInQuotes;
    }
    if (m_nPos >= m_nLength) {
        m_fEnded = TRUE;
        return FALSE;
    }
    m_fTrackQuotes = TRUE;
    ReadSwitch(m_nPos, pSpan);
    if (pSpan->fBroken)
        m_fEnded = TRUE;
    return TRUE;
}

void CSwitchScanner::ReadSwitch(int nSlash, SwitchSpan* pSpan)
{
    pSpan->nNameStart = nSlash + 1;
    int nNameEnd = pSpan->nNameStart;
    while (!IsNameEnd(m_pszText[nNameEnd]))
        ++nNameEnd;
    pSpan->nNameLen = nNameEnd - pSpan->nNameStart;
    pSpan->nValueStart = nNameEnd;
    pSpan->nValueLen = 0;
    pSpan->fBroken = FALSE;

    const char* pszNumberEnd = NULL;
    int nCount = ParseNumber(m_pszText + nNameEnd, &pszNumberEnd);
    int nNumberEnd = static_cast<int>(pszNumberEnd - m_pszText);
    if (nCount > 0)
        ReadCountedValue(nNumberEnd, nCount, pSpan);
    else
        ReadQuotedValue(nNameEnd, nNumberEnd, pSpan);
}

// Exactly nCount characters after the next double quote, whatever they are; the
// scan goes on after them without tracking quotes until the next switch.
void CSwitchScanner::ReadCountedValue(int nNumberEnd, int nCount, SwitchSpan* pSpan)
{
    m_fInQuotes = FALSE;
    m_fTrackQuotes = FALSE;
    if (static_cast<LONGLONG>(nNumberEnd) + nCount + 1 >= m_nLength) {
        m_nPos = m_nLength;
        return;
    }
    const char* pszQuote = strchr(m_pszText + nNumberEnd, '"');
    if (pszQuote == NULL) {
        pSpan->fBroken = TRUE;
        m_nPos = m_nLength;
        return;
    }
    int nQuote = static_cast<int>(pszQuote - m_pszText);
    // The quote may lie further on than the count allowed for: never read past the text.
    if (static_cast<LONGLONG>(nQuote) + nCount >= m_nLength) {
        m_nPos = m_nLength;
        return;
    }
    pSpan->nValueStart = nQuote + 1;
    pSpan->nValueLen = nCount;
    m_nPos = nQuote + 1 + nCount;
}

// The text between the first double quote and the next one, unless a slash
// outside quotes, a line feed or the end of the text comes first.
void CSwitchScanner::ReadQuotedValue(int nNameEnd, int nNumberEnd, SwitchSpan* pSpan)
{
    int nOpen = -1;
    int i = nNumberEnd;
    for (; i < m_nLength && m_pszText[i] != '\n'; ++i) {
        char ch = m_pszText[i];
        if (ch == '/' && nOpen < 0)
            break;
        if (ch != '"')
            continue;
        if (nOpen >= 0) {
            pSpan->nValueStart = nOpen + 1;
            pSpan->nValueLen = i - nOpen - 1;
            m_fInQuotes = FALSE;
            m_nPos = i + 1;
            return;
        }
        nOpen = i;
    }
    m_nPos = i;
    if (nOpen < 0) {
        m_fInQuotes = FALSE;
        return;
    }
    // No closing quote: the rest of the text counts as inside quotes.
    m_fInQuotes = TRUE;
    if (nOpen > nNameEnd) {
        pSpan->nValueStart = nOpen + 1;
        pSpan->nValueLen = i - nOpen - 1;
    }
}

int CSwitchScanner::CopySwitch(const SwitchSpan* pSpan, char* pszName, int cchName, char* pszValue,
                               int cchValue) const
{
    EmptyBuffer(pszName, cchName);
    EmptyBuffer(pszValue, cchValue);
    if (pSpan == NULL || pszName == NULL || pszValue == NULL || pSpan->fBroken || pSpan->nNameLen >= cchName ||
        pSpan->nValueLen >= cchValue)
        return -1;
    StringCchCopyNA(pszName, cchName, m_pszText + pSpan->nNameStart, pSpan->nNameLen);
    StringCchCopyNA(pszValue, cchValue, m_pszText + pSpan->nValueStart, pSpan->nValueLen);
    return pSpan->nValueLen;
}
