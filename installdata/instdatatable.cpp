// Parsing an installation-data file into records and answering value queries.
#include "installdata/instdatatable.h"
#include "installdata/driverfiles.h"
#include "installdata/osversion.h"
#include <new>

namespace {

const char kInstallSection[] = "Install";
const char kPathKey[] = "REGPATH";
const char kValueKey[] = "REGENTER";
const char kRootPrefix[] = "HKEY_LOCAL_MACHINE\\";

CStr SystemDirectory()
{
    CStr directory;
    UINT cchBuffer = GetSystemDirectoryA(NULL, 0);  // terminator included
    char* pBuf = cchBuffer > 0 ? directory.GetBuffer(static_cast<int>(cchBuffer)) : NULL;
    if (pBuf == NULL)
        return CStr();
    UINT cch = GetSystemDirectoryA(pBuf, cchBuffer);
    directory.ReleaseBuffer(cch < cchBuffer ? static_cast<int>(cch) : 0);
    return directory;
}

int DigitValue(char ch)
{
    if (ch >= '0' && ch <= '9')
        return ch - '0';
    if (ch >= 'a' && ch <= 'f')
        return ch - 'a' + 10;
    if (ch >= 'A' && ch <= 'F')
        return ch - 'A' + 10;
    return 99;
}

// Leading white space and a sign, then digits of the base up to the first other
// character, saturated to the signed 32-bit range. Unlike strtol in base 16, a second
// "0x" is not taken as a prefix: the digits stop at its "x".
LONG ReadSaturatedNumber(const char* psz, int nBase)
{
    while (*psz == ' ' || (*psz >= '\t' && *psz <= '\r'))
        ++psz;
    BOOL fNegative = *psz == '-';
    if (*psz == '-' || *psz == '+')
        ++psz;
    const LONGLONG nLimit = fNegative ? 2147483648LL : 2147483647LL;
    LONGLONG nValue = 0;
    for (int nDigit = DigitValue(*psz); nDigit < nBase; nDigit = DigitValue(*++psz)) {
        nValue = nValue * nBase + nDigit;
        if (nValue > nLimit)
            nValue = nLimit;
    }
    return static_cast<LONG>(fNegative ? -nValue : nValue);
}

} // namespace

BOOL CInstDataTable::ParsePaths(CInstDataFile& file)
{
    m_listPaths.RemoveAll();
    if (!file.FindSection(kInstallSection))
        return FALSE;
    CStr value;
    while (file.FindKey(kPathKey, value)) {
        CStr tag = TrimText(CInstDataFile::GetField(value, 0));
        if (tag.IsEmpty())
            continue;
        CStr key = CInstDataFile::StripQuotes(TrimText(CInstDataFile::GetField(value, 1)));
        int nPrefix = key.Find(kRootPrefix);
        if (nPrefix < 0)
            continue;
        CStr keyPath = key.Mid(nPrefix + static_cast<int>(sizeof(kRootPrefix)) - 1);
        if (keyPath.IsEmpty())
            continue;
        InstPathRecord* pRecord = new (std::nothrow) InstPathRecord;
        if (pRecord == NULL)
            continue;
        pRecord->m_szTag = tag;
        pRecord->m_szKeyPath = keyPath;
        if (m_listPaths.AddTail(pRecord) == NULL)
            delete pRecord;
    }
    return !m_listPaths.IsEmpty();
}

BOOL CInstDataTable::ParseValuesForPrinter(const CStr& printerName, CInstDataFile& file)
{
    CStr directory;
    CDriverFileLocator locator;
    locator.GetDriverDirectory(printerName, directory);
    return ParseValues(directory, file);
}

BOOL CInstDataTable::ParseValuesForDriver(const CStr& driverName, CInstDataFile& file)
{
    CStr dataFile;
    CStr directory;
    CDriverFileLocator locator;
    locator.GetDriverFiles(driverName, dataFile, directory);
    return ParseValues(directory, file);
}

BOOL CInstDataTable::ParseValues(const CStr& driverDirectory, CInstDataFile& file)
{
    m_listValues.RemoveAll();
    // Without the driver directory no value line can be read as its setup meant it.
    if (driverDirectory.IsEmpty())
        return FALSE;
    if (file.FindSection(kInstallSection)) {
        CStr value;
        while (file.FindKey(kValueKey, value)) {
            InstValueRecord* pRecord = ReadValueLine(value, driverDirectory);
            if (pRecord != NULL)
                AppendValue(pRecord);
        }
    }
    return !m_listValues.IsEmpty();
}

InstValueRecord* CInstDataTable::ReadValueLine(const CStr& value, const CStr& driverDirectory)
{
    CFieldCursor fields(value);
    CStr tag = TrimText(fields.Next());
    if (tag.IsEmpty())
        return NULL;
    CStr valueName = CInstDataFile::StripQuotes(TrimText(fields.Next()));
    if (valueName.IsEmpty())
        return NULL;
    CStr data = TrimText(fields.Next());
    if (data.IsEmpty())
        return NULL;
    DWORD nType = CInstDataFile::GetValueType(data);
    CStr text;
    LONG nNumber = 0;
    if (nType == REG_SZ) {
        text = ExpandText(data, driverDirectory);
        if (text.IsEmpty())
            return NULL;
    } else {
        nNumber = ParseNumber(data);
    }
    // Without conditions a line holds everywhere; with them, when any one holds.
    BOOL fConditions = FALSE;
    BOOL fMatched = FALSE;
    for (CStr word = TrimText(fields.Next()); !word.IsEmpty() && !fMatched; word = TrimText(fields.Next())) {
        fConditions = TRUE;
        fMatched = MatchCondition(word);
    }
    if (fConditions && !fMatched)
        return NULL;
    InstValueRecord* pRecord = new (std::nothrow) InstValueRecord;
    if (pRecord == NULL)
        return NULL;
    pRecord->m_szTag = tag;
    pRecord->m_szValueName = valueName;
    pRecord->m_nType = nType;
    pRecord->m_szText = text;
    pRecord->m_nNumber = nNumber;
    return pRecord;
}

void CInstDataTable::AppendValue(InstValueRecord* pRecord)
{
    // A value given again right after itself (same tag and name, letter case counting)
    // replaces the earlier line: that is how a file overrides a value per system.
    CHAINPOS posLast = m_listValues.GetTailPosition();
    InstValueRecord* pLast = static_cast<InstValueRecord*>(m_listValues.GetAt(posLast));
    if (pLast != NULL && pLast->m_szTag == pRecord->m_szTag && pLast->m_szValueName == pRecord->m_szValueName) {
        m_listValues.RemoveAt(posLast);
        delete pLast;
    }
    if (m_listValues.AddTail(pRecord) == NULL)
        delete pRecord;
}

CStr CInstDataTable::ExpandText(const CStr& data, const CStr& driverDirectory)
{
    if (data.IsEmpty() || driverDirectory.IsEmpty())
        return CStr();
    CStr systemDirectory = SystemDirectory();
    CStr upper = data;
    upper.MakeUpper();
    if (upper == "DRIVERDIR")
        return driverDirectory;
    if (upper == "SYSTEMDIR")
        return systemDirectory;

    const char* pszWord = "DRIVERDIR";
    const CStr* pDirectory = &driverDirectory;
    int nWord = data.Find(pszWord);
    if (nWord < 0) {
        pszWord = "SYSTEMDIR";
        pDirectory = &systemDirectory;
        nWord = data.Find(pszWord);
    }
    if (nWord < 0)
        return CInstDataFile::StripQuotes(data);

    // WORD+"\relative path": the directory with the quoted text appended as written.
    CStr rest = data.Mid(nWord + lstrlenA(pszWord));
    if (rest.IsEmpty() || rest.GetAt(0) != '+')
        return CStr();
    CStr appended = TrimText(CInstDataFile::StripQuotes(rest.Mid(1)));
    if (appended.IsEmpty() || pDirectory->IsEmpty())
        return CStr();
    CStr result;
    result.Format("%s%s", pDirectory->c_str(), appended.c_str());
    return result;
}

LONG CInstDataTable::ParseNumber(const CStr& data)
{
    if (data.IsEmpty())
        return 0;
    if (data.GetLength() >= 2 && data.GetAt(0) == '0' && (data.GetAt(1) == 'x' || data.GetAt(1) == 'X'))
        return ReadSaturatedNumber(data.c_str() + 2, 16);
    return ReadSaturatedNumber(data.c_str(), 10);
}

BOOL CInstDataTable::MatchCondition(const CStr& word)
{
    COsVersion version = GetOsVersion();
    BOOL fNt = version.dwPlatformId == VER_PLATFORM_WIN32_NT;
    if (word.CompareNoCase("ALL") == 0 || word.CompareNoCase("BUILD32") == 0)
        return TRUE;
    if (word.CompareNoCase("WIN9X") == 0)
        return version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
    if (word.CompareNoCase("WINNT") == 0)
        return fNt;
    if (word.CompareNoCase("WINNT40") == 0)
        return fNt && version.dwMajor == 4;
    if (word.CompareNoCase("WIN2000") == 0)
        return fNt && version.dwMajor >= 5;
    if (word.CompareNoCase("WIN2KLATER") == 0)
        return fNt && (version.dwMajor > 5 || (version.dwMajor == 5 && version.dwMinor >= 1));
    return FALSE;
}

BOOL CInstDataTable::LoadForPrinter(const CStr& printerName)
{
    return Load(printerName, FALSE);
}

BOOL CInstDataTable::LoadForDriver(const CStr& driverName)
{
    return Load(driverName, TRUE);
}

BOOL CInstDataTable::Load(const CStr& name, BOOL fDriver)
{
    RemoveAllRecords();
    CStr path;
    CDriverFileLocator locator;
    if (fDriver)
        locator.GetInstDataPathForDriver(name, path);
    else
        locator.GetInstDataPathForPrinter(name, path);
    if (!path.IsEmpty()) {
        CInstDataFile file;
        if (file.Load(path) && ParsePaths(file)) {
            if (fDriver)
                ParseValuesForDriver(name, file);
            else
                ParseValuesForPrinter(name, file);
        }
        file.Unload();
    }
    if (!m_listPaths.IsEmpty() && !m_listValues.IsEmpty())
        return TRUE;
    // A table without values keeps no key paths either.
    RemoveAllRecords();
    return FALSE;
}

CStr CInstDataTable::FindValue(const CStr& keyPath, const CStr& valueName)
{
    CStr tag;
    for (CHAINPOS pos = m_listPaths.GetHeadPosition(); pos != NULL && tag.IsEmpty();) {
        InstPathRecord* pPath = static_cast<InstPathRecord*>(m_listPaths.GetNext(pos));
        if (pPath != NULL && pPath->m_szKeyPath.CompareNoCase(keyPath.c_str()) == 0)
            tag = pPath->m_szTag;
    }
    if (tag.IsEmpty())
        return CStr();
    for (CHAINPOS pos = m_listValues.GetHeadPosition(); pos != NULL;) {
        InstValueRecord* pValue = static_cast<InstValueRecord*>(m_listValues.GetNext(pos));
        if (pValue != NULL && pValue->m_szTag.CompareNoCase(tag.c_str()) == 0 &&
            pValue->m_szValueName.CompareNoCase(valueName.c_str()) == 0)
            return pValue->m_nType == REG_SZ ? pValue->m_szText : CStr();
    }
    return CStr();
}

void CInstDataTable::RemoveAllRecords()
{
    m_listPaths.RemoveAll();
    m_listValues.RemoveAll();
}
