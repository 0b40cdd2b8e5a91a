// Test fixture for the shared map: a map of a name of its own, created the
// way the agent creates it (or an existing map opened to look at it), with a
// view through which tests read and write records.
#pragma once
#include "statusmap/statusmap.h"
#include <gtest/gtest.h>
#include <string.h>
#include <string>

class CTestMap {
public:
    explicit CTestMap(const std::string& name = UniqueName(), bool fCreate = true) : m_name(name)
    {
        m_hMap = fCreate ? CreateMapFile(m_name.c_str()) : OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, m_name.c_str());
        if (m_hMap != NULL)
            m_pView = static_cast<BYTE*>(MapViewOfFile(m_hMap, FILE_MAP_ALL_ACCESS, 0, 0, MAP_FILE_SIZE));
    }
    ~CTestMap()
    {
        if (m_pView != NULL)
            UnmapViewOfFile(m_pView);
        if (m_hMap != NULL)
            CloseHandle(m_hMap);
    }
    CTestMap(const CTestMap&) = delete;
    CTestMap& operator=(const CTestMap&) = delete;

    static std::string UniqueName()
    {
        static int s_nSerial = 0;
        return "TestMap_" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++s_nSerial);
    }

    bool IsOpen() const { return m_hMap != NULL && m_pView != NULL; }
    HANDLE Handle() const { return m_hMap; }
    const char* Name() const { return m_name.c_str(); }
    BYTE* Record(int nIndex) const { return m_pView + nIndex * MAP_RECORD_SIZE; }
    std::string Key(int nIndex) const { return std::string(reinterpret_cast<char*>(Record(nIndex))); }
    DWORD Slot(int nIndex, int nOffset) const
    {
        DWORD dw = 0;
        memcpy(&dw, Record(nIndex) + nOffset, sizeof(dw));
        return dw;
    }
    void SetSlot(int nIndex, int nOffset, DWORD dw) { memcpy(Record(nIndex) + nOffset, &dw, sizeof(dw)); }
    // Writes a record in use with the key and AppSel 3's window, as an agent leaves it.
    void PutRecord(int nIndex, const std::string& key, DWORD dwWindow)
    {
        memset(Record(nIndex), 0, MAP_RECORD_SIZE);
        memcpy(Record(nIndex), key.c_str(), key.size() + 1);
        SetSlot(nIndex, MAP_OFFSET_APPSEL3, dwWindow);
    }
    int Check(const char* pszKey, int nAppSel, DWORD dwValue, DWORD* pdwWindow)
    {
        return CheckMapPrinter(m_hMap, pszKey, nAppSel, dwValue, pdwWindow);
    }

private:
    std::string m_name;
    HANDLE m_hMap = NULL;
    BYTE* m_pView = NULL;
};

// A hidden window that lives as long as the object, or until Destroy.
class CTestWindow {
public:
    CTestWindow() : m_hWnd(CreateWindowA("STATIC", "maptest", WS_POPUP, 0, 0, 1, 1, NULL, NULL, NULL, NULL)) {}
    ~CTestWindow() { Destroy(); }
    CTestWindow(const CTestWindow&) = delete;
    CTestWindow& operator=(const CTestWindow&) = delete;
    DWORD Value() const { return (DWORD)(UINT_PTR)m_hWnd; }
    void Destroy()
    {
        if (m_hWnd != NULL)
            DestroyWindow(m_hWnd);
        m_hWnd = NULL;
    }

private:
    HWND m_hWnd;
};
