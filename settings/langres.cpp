// Choosing the resource DLL's language section from the profile file's
// [Language] table, and reading a key of the chosen section.
#include "settings/langres.h"
#include "app/boundedtext.h"
#include "installdata/heap.h"
#include "settings/driversettings.h"
#include <string.h>

namespace {

const char kLanguageSection[] = "Language";
const char kResDllKey[] = "ResDll";
const DWORD kTableChunk = 260;
const DWORD kNameSize = 260;

struct LanguageEntry {
    const char* pszSection;
    WORD wPrimary;
    WORD wSubLanguage;
};

// Every hexadecimal digit shifts the number on; anything else (a "0x", blanks) is passed over.
WORD ParseHexField(const char* psz)
{
    WORD w = 0;
    for (; psz != NULL && *psz != '\0'; ++psz) {
        char ch = *psz;
        int nDigit = -1;
        if (ch >= '0' && ch <= '9')
            nDigit = ch - '0';
        else if (ch >= 'a' && ch <= 'f')
            nDigit = ch - 'a' + 10;
        else if (ch >= 'A' && ch <= 'F')
            nDigit = ch - 'A' + 10;
        if (nDigit >= 0)
            w = static_cast<WORD>((w << 4) + nDigit);
    }
    return w;
}

// Cuts the text at its first occurrence of ch; the text after it, or null when there is none.
char* CutAt(char* psz, char ch)
{
    if (psz == NULL)
        return NULL;
    char* pCut = strchr(psz, ch);
    if (pCut == NULL)
        return NULL;
    *pCut = '\0';
    return pCut + 1;
}

// "name=primary,sublanguage[,ignored]", split in place.
LanguageEntry ParseEntry(char* pszLine)
{
    LanguageEntry entry = {pszLine, 0, 0};
    char* pszPrimary = CutAt(pszLine, '=');
    char* pszSub = CutAt(pszPrimary, ',');
    CutAt(pszSub, ',');
    entry.wPrimary = ParseHexField(pszPrimary);
    entry.wSubLanguage = ParseHexField(pszSub);
    return entry;
}

// The [Language] section of one profile file, read whole and split into entries.
class CLanguageTable {
public:
    CLanguageTable() : m_pszText(NULL), m_pEntries(NULL), m_nEntries(0) {}
    ~CLanguageTable()
    {
        HeapFreeChecked(m_pEntries);
        HeapFreeChecked(m_pszText);
    }
    CLanguageTable(const CLanguageTable&) = delete;
    CLanguageTable& operator=(const CLanguageTable&) = delete;

    // 0; -1 for a missing or empty section; -3 when memory runs out.
    int Read(const char* pszProfilePath);
    DWORD Count() const { return m_nEntries; }
    const char* Section(DWORD nIndex) const { return m_pEntries[nIndex].pszSection; }
    const char* ChooseSection(LANGID langId) const;

private:
    int SplitEntries(DWORD cchText);

    char* m_pszText;
    LanguageEntry* m_pEntries;
    DWORD m_nEntries;
};

int CLanguageTable::Read(const char* pszProfilePath)
{
    if (pszProfilePath == NULL || pszProfilePath[0] == '\0')
        return LANGRES_FAILED;
    // A truncated read answers the buffer's size less two: grow until the section fits.
    for (DWORD cbBuffer = kTableChunk;; cbBuffer += kTableChunk) {
        m_pszText = static_cast<char*>(HeapAllocZeroed(cbBuffer));
        if (m_pszText == NULL)
            return LANGRES_NO_MEMORY;
        DWORD cchText = GetPrivateProfileSectionA(kLanguageSection, m_pszText, cbBuffer, pszProfilePath);
        if (cchText == 0)
            return LANGRES_FAILED;
        if (cchText != cbBuffer - 2)
            return SplitEntries(cchText);
        HeapFreeChecked(m_pszText);
        m_pszText = NULL;
    }
}

int CLanguageTable::SplitEntries(DWORD cchText)
{
    DWORD nEntries = 0;
    for (DWORD i = 0; i < cchText; ++i) {
        if (m_pszText[i] == '\0')
            ++nEntries;
    }
    if (nEntries == 0)
        return LANGRES_FAILED;
    m_pEntries = static_cast<LanguageEntry*>(HeapAllocZeroed(nEntries * sizeof(LanguageEntry)));
    if (m_pEntries == NULL)
        return LANGRES_NO_MEMORY;
    char* pszLine = m_pszText;
    for (m_nEntries = 0; m_nEntries < nEntries; ++m_nEntries) {
        char* pszNext = pszLine + strlen(pszLine) + 1;
        m_pEntries[m_nEntries] = ParseEntry(pszLine);
        pszLine = pszNext;
    }
    return 0;
}

const char* CLanguageTable::ChooseSection(LANGID langId) const
{
    const WORD wPrimary = PRIMARYLANGID(langId);
    const WORD wSubLanguage = SUBLANGID(langId);
    DWORD nSamePrimary = m_nEntries;
    DWORD nEnglish = m_nEntries;
    for (DWORD i = 0; i < m_nEntries; ++i) {
        const LanguageEntry& entry = m_pEntries[i];
        if (entry.wPrimary == wPrimary && entry.wSubLanguage == wSubLanguage)
            return entry.pszSection;
        if (nSamePrimary == m_nEntries && entry.wPrimary == wPrimary)
            nSamePrimary = i;
        if (nEnglish == m_nEntries && entry.wPrimary == LANG_ENGLISH)
            nEnglish = i;
    }
    if (nSamePrimary < m_nEntries)
        return Section(nSamePrimary);
    return Section(nEnglish < m_nEntries ? nEnglish : 0);
}

// Reads the table for an operation that gives a section name back.
int ReadTableFor(CLanguageTable& table, const char* pszSection, const DWORD* pcchSize, const char* pszProfilePath)
{
    if (pszSection == NULL || pcchSize == NULL)
        return LANGRES_FAILED;
    return table.Read(pszProfilePath);
}

// The length of the section's "ResDll" name when that file stands beside the profile file, else 0.
DWORD ResDllLengthIfPresent(const char* pszSection, const char* pszProfilePath)
{
    char szName[kNameSize] = {0};
    if (pszSection[0] == '\0')
        return 0;
    DWORD cchName = GetPrivateProfileStringA(pszSection, kResDllKey, "", szName, kNameSize, pszProfilePath);
    return ResDllExistsBeside(szName, pszProfilePath) ? cchName : 0;
}

// The position just after the last backslash, stepping by characters so that
// the trail byte of a double-byte character is never taken for one; null without one.
char* AfterLastBackslash(char* pszPath)
{
    char* pAfter = NULL;
    for (char* p = pszPath; *p != '\0'; p = CharNextA(p)) {
        if (*p == '\\')
            pAfter = p + 1;
    }
    return pAfter;
}

} // namespace

int GetLanguageEntry(char* pszSection, DWORD* pcchSize, const char* pszProfilePath, LANGID langId)
{
    CLanguageTable table;
    int nResult = ReadTableFor(table, pszSection, pcchSize, pszProfilePath);
    if (nResult != 0)
        return nResult;
    const char* pszName = table.ChooseSection(langId);
    DWORD cchName = static_cast<DWORD>(strlen(pszName));
    if (*pcchSize < cchName) {
        *pcchSize = cchName;
        return LANGRES_SMALL_BUFFER;
    }
    return FAILED(StringCchCopyA(pszSection, *pcchSize, pszName)) ? LANGRES_FAILED : 0;
}

int ScanLanguageSections(char* pszSection, DWORD* pcchSize, const char* pszProfilePath)
{
    CLanguageTable table;
    int nResult = ReadTableFor(table, pszSection, pcchSize, pszProfilePath);
    if (nResult != 0)
        return nResult;
    const char* pszName = "";
    for (DWORD i = 0; i < table.Count(); ++i) {
        if (ResDllLengthIfPresent(table.Section(i), pszProfilePath) > 0) {
            pszName = table.Section(i);
            break;
        }
    }
    DWORD cchNeeded = static_cast<DWORD>(strlen(pszName)) + 1;
    if (*pcchSize < cchNeeded) {
        *pcchSize = cchNeeded;
        return LANGRES_SMALL_BUFFER;
    }
    if (FAILED(StringCchCopyA(pszSection, *pcchSize, pszName)))
        return LANGRES_FAILED;
    *pcchSize = cchNeeded;
    return 0;
}

int ChooseLanguageSection(char* pszSection, DWORD* pcchSize, const char* pszProfilePath)
{
    if (pszSection == NULL || pcchSize == NULL || pszProfilePath == NULL || pszProfilePath[0] == '\0')
        return LANGRES_FAILED;
    const DWORD cchPassed = *pcchSize;
    const LANGID candidates[] = {GetUserDefaultLangID(), MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US)};
    for (LANGID langId : candidates) {
        *pcchSize = cchPassed;
        int nResult = GetLanguageEntry(pszSection, pcchSize, pszProfilePath, langId);
        if (nResult != 0)
            return nResult;
        DWORD cchResDll = ResDllLengthIfPresent(pszSection, pszProfilePath);
        if (cchResDll > 0)
            return static_cast<int>(cchResDll);
    }
    *pcchSize = cchPassed;
    return ScanLanguageSections(pszSection, pcchSize, pszProfilePath);
}

int ReadLanguageValue(const char* pszKey, char* pszBuffer, DWORD* pcchSize, const char* pszProfilePath)
{
    if (pszKey == NULL || pszKey[0] == '\0' || pszBuffer == NULL || pcchSize == NULL || *pcchSize == 0)
        return LANGRES_FAILED;
    pszBuffer[0] = '\0';
    char szSection[kNameSize] = {0};
    DWORD cchSection = kNameSize;
    if (ChooseLanguageSection(szSection, &cchSection, pszProfilePath) < 0 || szSection[0] == '\0')
        return LANGRES_FAILED;
    DWORD cchValue = GetPrivateProfileStringA(szSection, pszKey, "", pszBuffer, *pcchSize, pszProfilePath);
    return cchValue == 0 ? LANGRES_FAILED : 0;
}

int ResDllExistsBeside(const char* pszFileName, const char* pszProfilePath)
{
    char szPath[MAX_PATH] = {0};
    if (pszFileName == NULL || pszProfilePath == NULL)
        return 0;
    if (FAILED(StringCchCopyA(szPath, MAX_PATH, pszProfilePath)))
        return 0;
    // A profile path without a backslash names no directory for the DLL to stand in.
    char* pAfterDir = AfterLastBackslash(szPath);
    if (pAfterDir == NULL)
        return 0;
    *pAfterDir = '\0';
    if (FAILED(StringCchCatA(szPath, MAX_PATH, pszFileName)))
        return 0;
    return FileExists(szPath);
}
