// Test helper: switches the debug log on into a temporary file for the life
// of the object, and restores the log switch afterwards.
#pragma once
#include "app/debuglog.h"
#include "tests/support/files.h"
#include "tests/support/registry.h"
#include <string>

namespace testsupport {

class CLogCapture {
public:
    CLogCapture()
    {
        m_fHadSwitch = RegReadDword(HKEY_CURRENT_USER, kKey, kSwitch, &m_dwOldSwitch);
        RegSetDword(HKEY_CURRENT_USER, kKey, kSwitch, 1);
        LogInit(Path().c_str(), kSwitch);
    }
    ~CLogCapture()
    {
        LogInit("", kSwitch);
        if (m_fHadSwitch)
            RegSetDword(HKEY_CURRENT_USER, kKey, kSwitch, m_dwOldSwitch);
        else
            RegDeleteValueAt(HKEY_CURRENT_USER, kKey, kSwitch);
    }
    CLogCapture(const CLogCapture&) = delete;
    CLogCapture& operator=(const CLogCapture&) = delete;

    std::string Path() const { return m_dir.File("trace.log"); }
    std::string Text() const
    {
        std::string text;
        ReadTextFile(Path(), &text);
        return text;
    }
    // True when a line ends with the text (the line prefix is left out).
    bool HasLine(const std::string& text) const { return Text().find("; " + text + "\r\n") != std::string::npos; }

private:
    static constexpr const char* kKey = "SOFTWARE\\NOVRA\\KIV3";
    static constexpr const char* kSwitch = "Q_SIC";
    CTempDir m_dir;
    DWORD m_dwOldSwitch = 0;
    bool m_fHadSwitch = false;
};

} // namespace testsupport
