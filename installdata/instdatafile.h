// Reading an installation-data file: the file's bytes with a read position, and
// the line, section, key and field steps of the file's syntax.
#pragma once
#include <windows.h>
#include "app/str.h"

// The text without white space at either end.
inline CStr TrimText(CStr text)
{
    text.TrimLeft();
    text.TrimRight();
    return text;
}

// A file's bytes followed by one zero byte, with a read position.
class CTextBuffer {
public:
    CTextBuffer() : m_pContent(NULL), m_cbContent(0), m_nPos(0) {}
    virtual ~CTextBuffer() { Release(); }
    CTextBuffer(const CTextBuffer&) = delete;
    CTextBuffer& operator=(const CTextBuffer&) = delete;

    // Takes over cb bytes followed by a zero byte, allocated with HeapAllocZeroed.
    void Attach(char* pContent, DWORD cb);
    BOOL HasContent() const { return m_pContent != NULL && m_cbContent > 0; }
    void Rewind() { m_nPos = 0; }
    // Ends reading: every later read finds the end.
    void SkipToEnd() { m_nPos = m_cbContent; }

    // The byte at the read position, which then advances; false (and a zero byte) at the end.
    BOOL ReadChar(char& ch)
    {
        if (m_pContent == NULL || m_nPos >= m_cbContent) {
            ch = '\0';
            return FALSE;
        }
        ch = m_pContent[m_nPos++];
        return TRUE;
    }
    // Advances past the next line feed; true there or at the end, false when it stops
    // on a zero byte.
    BOOL SkipLine();
    void Release();

private:
    char* m_pContent;
    DWORD m_cbContent;
    DWORD m_nPos;
};

// Walks the comma-separated fields of a key line's value from left to right. A
// field that begins with a double quote runs to the first comma after its closing
// quote; any other field to the next comma. The value must outlive the cursor.
class CFieldCursor {
public:
    explicit CFieldCursor(const CStr& value) : m_pRest(value.c_str()) {}
    // The next field, untrimmed, with each pair of double quotes made one; empty once
    // the fields have run out or for a field whose opening quote is never closed.
    CStr Next();
    // Passes over the next field; false when no comma ends it.
    BOOL Skip();

private:
    const char* FieldEnd(BOOL& fUnclosed) const;
    const char* m_pRest;  // null when no field follows
};

class CInstDataFile {
public:
    CInstDataFile() {}
    virtual ~CInstDataFile() {}
    CInstDataFile(const CInstDataFile&) = delete;
    CInstDataFile& operator=(const CInstDataFile&) = delete;

    // Reads the whole file; true when content is held.
    BOOL Load(const CStr& path);
    void Unload() { m_buffer.Release(); }

    // One line without its comment, line feed included; false when nothing was read.
    BOOL ReadLine(CStr& line);
    // The next line that is not empty once trimmed.
    BOOL ReadNonEmptyLine(CStr& line);
    // Rewinds and reads up to the first header "[name]" (letter case ignored).
    BOOL FindSection(const CStr& sectionName);
    // The value of the next line of the current section whose key matches (letter case ignored).
    BOOL FindKey(const CStr& key, CStr& value);

    static BOOL SplitKeyValue(const CStr& line, CStr& key, CStr& value);
    // Field nIndex of a value (see CFieldCursor); the caller trims it.
    static CStr GetField(const CStr& value, int nIndex);
    // The text between a leading and a trailing double quote; empty without both.
    static CStr StripQuotes(const CStr& text);
    // REG_SZ for text data (a directory macro word or quotes at both ends), else REG_DWORD.
    static DWORD GetValueType(const CStr& data);

private:
    CTextBuffer m_buffer;
};
