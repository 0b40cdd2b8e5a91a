// Debug log writer. Each line is written with a handle of its own, in one
// write at the file's end, so lines of concurrent writers (threads of one
// agent, other agents) land whole and never overwrite each other.
#include "app/debuglog.h"
#include "app/boundedtext.h"

namespace {

char g_szLogPath[MAX_PATH];
int g_fLogOn = 0;

const char kLogKey[] = "SOFTWARE\\NOVRA\\KIV3";

// Text mode: every line feed becomes carriage return + line feed.
CStr ToTextMode(const CStr& text)
{
    CStr out;
    for (int i = 0; i < text.GetLength(); ++i) {
        if (text.GetAt(i) == '\n')
            out += '\r';
        out += text.GetAt(i);
    }
    return out;
}

// The byte whose lock gives a writer its turn: far beyond the end of any log.
const DWORD kTurnOffset = 0xFFFFFFFE;
// A writer that cannot get its turn for about two seconds writes anyway:
// a line out of turn is better than an agent that hangs on its log.
const int kTurnTries = 2000;

BOOL TakeTurn(HANDLE hFile)
{
    for (int i = 0; i < kTurnTries; ++i) {
        if (LockFile(hFile, kTurnOffset, 0, 1, 0))
            return TRUE;
        Sleep(1);
    }
    return FALSE;
}

// Appends one line. Appending is not atomic between processes everywhere (Wine
// emulates it with a seek to the end), so writers take turns through a lock on
// one byte; the lock goes with the handle. LockFile exists on both Windows
// families; it does not wait, so the turn is asked for again until it comes.
// No FILE_SHARE_DELETE: Windows 9x fails every open that asks for it.
int WriteLine(const CStr& body)
{
    HANDLE hFile = CreateFileA(g_szLogPath, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, NULL);
    if (hFile == INVALID_HANDLE_VALUE)
        return 0;
    BOOL fTurn = TakeTurn(hFile);
    CStr line = LogFormatPrefix(GetCurrentProcessId(), GetTickCount());
    line += body;
    line = ToTextMode(line);
    DWORD dwWritten = 0;
    SetFilePointer(hFile, 0, NULL, FILE_END);
    WriteFile(hFile, line.c_str(), static_cast<DWORD>(line.GetLength()), &dwWritten, NULL);
    if (fTurn)
        UnlockFile(hFile, kTurnOffset, 0, 1, 0);
    CloseHandle(hFile);
    return 1;
}

} // namespace

CStr LogFormatPrefix(DWORD dwProcessId, DWORD dwTick)
{
    CStr prefix;
    prefix.Format("%04X;%5u:%02u.%03u; ", static_cast<unsigned>(dwProcessId),
                  static_cast<unsigned>(dwTick / 60000), static_cast<unsigned>((dwTick / 1000) % 60),
                  static_cast<unsigned>(dwTick % 1000));
    return prefix;
}

int LogInit(const char* pszPath, const char* pszSwitchName)
{
    g_szLogPath[0] = '\0';
    g_fLogOn = 0;
    if (pszPath == NULL || pszPath[0] == '\0')
        return 0;
    if (StringCchCopyA(g_szLogPath, MAX_PATH, pszPath) != S_OK) {
        g_szLogPath[0] = '\0';
        return 0;
    }
    HKEY hKey = NULL;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kLogKey, 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return 0;
    DWORD dwValue = 0;
    DWORD cbValue = sizeof(dwValue);
    LONG lResult = RegQueryValueExA(hKey, pszSwitchName, NULL, NULL, reinterpret_cast<BYTE*>(&dwValue),
                                    &cbValue);
    RegCloseKey(hKey);
    if (lResult != ERROR_SUCCESS || dwValue == 0)
        return 0;
    g_fLogOn = 1;
    return 1;
}

int LogText(const char* pszText)
{
    if (!g_fLogOn || pszText == NULL)
        return 0;
    CStr body;
    body.Format("%s\n", pszText);
    return WriteLine(body);
}

int LogTextStr(const char* pszText, const char* pszValue)
{
    if (!g_fLogOn || pszText == NULL || pszValue == NULL)
        return 0;
    CStr body;
    body.Format("%s : %s\n", pszText, pszValue);
    return WriteLine(body);
}

int LogTextInt(const char* pszText, int nValue)
{
    if (!g_fLogOn || pszText == NULL)
        return 0;
    CStr body;
    body.Format("%s : %d\n", pszText, nValue);
    return WriteLine(body);
}

// Lines never keep a handle open between calls (see WriteLine), so there is
// nothing left to close here; the call stays for the program's orderly end.
int LogClose()
{
    return 1;
}
