// Reading an installation-data file.
#include "installdata/instdatafile.h"
#include "app/handles.h"
#include "installdata/heap.h"
#include <string.h>

namespace {

// Collects a line byte by byte into a CStr whose buffer grows by doubling, so that
// a line of any length costs time in proportion to its length. A line whose buffer
// cannot grow is given up whole rather than cut.
class CLineCollector {
public:
    explicit CLineCollector(CStr& line) : m_line(line), m_pBuf(NULL), m_nLen(0), m_nCap(0), m_fFailed(FALSE) {}
    void Append(char ch)
    {
        if (m_nLen == m_nCap && !Grow())
            return;
        m_pBuf[m_nLen++] = ch;
    }
    void Finish()
    {
        if (m_fFailed)
            m_line.Empty();
        else if (m_pBuf != NULL)
            m_line.ReleaseBuffer(m_nLen);
    }

private:
    BOOL Grow()
    {
        if (m_fFailed || m_nCap > 0x3FFFFFFF)
            return Fail();
        if (m_pBuf != NULL)
            m_line.ReleaseBuffer(m_nLen);
        int nCap = m_nCap < 128 ? 128 : m_nCap * 2;
        char* pBuf = m_line.GetBuffer(nCap);
        if (pBuf == NULL)
            return Fail();
        m_pBuf = pBuf;
        m_nCap = nCap;
        return TRUE;
    }
    BOOL Fail()
    {
        m_fFailed = TRUE;
        return FALSE;
    }

    CStr& m_line;
    char* m_pBuf;
    int m_nLen;
    int m_nCap;
    BOOL m_fFailed;
};

// The cch bytes at p with each pair of adjacent double quotes made one, left to right.
CStr CollapseQuotePairs(const char* p, int cch)
{
    CStr text;
    if (cch <= 0)
        return text;
    char* pOut = text.GetBuffer(cch);
    if (pOut == NULL)
        return text;
    int nOut = 0;
    for (int i = 0; i < cch; ++i) {
        pOut[nOut++] = p[i];
        if (p[i] == '"' && i + 1 < cch && p[i + 1] == '"')
            ++i;
    }
    text.ReleaseBuffer(nOut);
    return text;
}

} // namespace

void CTextBuffer::Attach(char* pContent, DWORD cb)
{
    Release();
    m_pContent = pContent;
    m_cbContent = cb;
    m_nPos = 0;
}

BOOL CTextBuffer::SkipLine()
{
    char ch = '\0';
    while (ReadChar(ch)) {
        if (ch == '\n')
            return TRUE;
        if (ch == '\0') {
            --m_nPos;
            return FALSE;
        }
    }
    return TRUE;
}

void CTextBuffer::Release()
{
    HeapFreeChecked(m_pContent);
    m_pContent = NULL;
    m_cbContent = 0;
    m_nPos = 0;
}

const char* CFieldCursor::FieldEnd(BOOL& fUnclosed) const
{
    fUnclosed = FALSE;
    if (*m_pRest != '"')
        return strchr(m_pRest, ',');
    const char* pClose = strchr(m_pRest + 1, '"');
    if (pClose == NULL) {
        fUnclosed = TRUE;
        return NULL;
    }
    return strchr(pClose + 1, ',');
}

CStr CFieldCursor::Next()
{
    if (m_pRest == NULL)
        return CStr();
    BOOL fUnclosed = FALSE;
    const char* pEnd = FieldEnd(fUnclosed);
    const char* pField = m_pRest;
    m_pRest = pEnd != NULL ? pEnd + 1 : NULL;
    if (fUnclosed)
        return CStr();
    int cch = pEnd != NULL ? static_cast<int>(pEnd - pField) : static_cast<int>(strlen(pField));
    return CollapseQuotePairs(pField, cch);
}

BOOL CFieldCursor::Skip()
{
    Next();
    return m_pRest != NULL;
}

BOOL CInstDataFile::Load(const CStr& path)
{
    Unload();
    if (path.IsEmpty())
        return FALSE;
    CKernelHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL));
    if (!file.IsValid())
        return FALSE;
    DWORD dwHigh = 0;
    DWORD cb = GetFileSize(file.Get(), &dwHigh);
    // The byte count and the added zero byte must fit 32 bits.
    if (cb == 0 || cb == INVALID_FILE_SIZE || dwHigh != 0)
        return FALSE;
    char* pContent = static_cast<char*>(HeapAllocZeroed(static_cast<SIZE_T>(cb) + 1));
    if (pContent == NULL)
        return FALSE;
    for (DWORD cbDone = 0; cbDone < cb;) {
        DWORD cbRead = 0;
        if (!ReadFile(file.Get(), pContent + cbDone, cb - cbDone, &cbRead, NULL) || cbRead == 0) {
            HeapFreeChecked(pContent);
            return FALSE;
        }
        cbDone += cbRead;
    }
    m_buffer.Attach(pContent, cb);
    return TRUE;
}

BOOL CInstDataFile::ReadLine(CStr& line)
{
    line.Empty();
    if (!m_buffer.HasContent())
        return FALSE;
    CLineCollector collector(line);
    char ch = '\0';
    while (m_buffer.ReadChar(ch)) {
        if (ch == '\0') {
            // The file is plain text: what follows a zero byte is not read.
            m_buffer.SkipToEnd();
            break;
        }
        if (ch == ';') {
            if (m_buffer.SkipLine())
                collector.Append('\n');
            break;
        }
        collector.Append(ch);
        if (ch == '\n')
            break;
    }
    collector.Finish();
    return !line.IsEmpty();
}

BOOL CInstDataFile::ReadNonEmptyLine(CStr& line)
{
    while (ReadLine(line)) {
        line = TrimText(line);
        if (!line.IsEmpty())
            return TRUE;
    }
    line.Empty();
    return FALSE;
}

BOOL CInstDataFile::FindSection(const CStr& sectionName)
{
    m_buffer.Rewind();
    if (sectionName.IsEmpty())
        return FALSE;
    CStr header;
    header.Format("[%s]", sectionName.c_str());
    CStr line;
    while (ReadNonEmptyLine(line)) {
        if (line.CompareNoCase(header.c_str()) == 0)
            return TRUE;
    }
    return FALSE;
}

BOOL CInstDataFile::FindKey(const CStr& key, CStr& value)
{
    value.Empty();
    if (key.IsEmpty())
        return FALSE;
    CStr line;
    while (ReadNonEmptyLine(line)) {
        if (line.GetAt(0) == '[' && line.GetAt(line.GetLength() - 1) == ']')
            return FALSE;
        CStr lineKey;
        if (SplitKeyValue(line, lineKey, value) && lineKey.CompareNoCase(key.c_str()) == 0)
            return TRUE;
    }
    value.Empty();
    return FALSE;
}

BOOL CInstDataFile::SplitKeyValue(const CStr& line, CStr& key, CStr& value)
{
    key.Empty();
    value.Empty();
    int nEquals = line.Find('=');
    if (nEquals < 0)
        return FALSE;
    key = TrimText(line.Left(nEquals));
    value = TrimText(line.Mid(nEquals + 1));
    if (key.IsEmpty() || value.IsEmpty()) {
        key.Empty();
        value.Empty();
        return FALSE;
    }
    return TRUE;
}

CStr CInstDataFile::GetField(const CStr& value, int nIndex)
{
    if (value.IsEmpty() || nIndex < 0)
        return CStr();
    CFieldCursor cursor(value);
    for (int i = 0; i < nIndex; ++i) {
        if (!cursor.Skip())
            return CStr();
    }
    return cursor.Next();
}

CStr CInstDataFile::StripQuotes(const CStr& text)
{
    int cch = text.GetLength();
    if (cch < 2 || text.GetAt(0) != '"' || text.GetAt(cch - 1) != '"')
        return CStr();
    return text.Mid(1, cch - 2);
}

DWORD CInstDataFile::GetValueType(const CStr& data)
{
    CStr text = TrimText(data);
    CStr upper = text;
    upper.MakeUpper();
    if (upper.Find("DRIVERDIR") >= 0 || upper.Find("SYSTEMDIR") >= 0)
        return REG_SZ;
    int cch = text.GetLength();
    return cch > 0 && text.GetAt(0) == '"' && text.GetAt(cch - 1) == '"' ? REG_SZ : REG_DWORD;
}
