// The records an installation-data file yields for the running system, and the
// table that parses them and answers value queries from them.
#pragma once
#include <windows.h>
#include "app/str.h"
#include "installdata/instdatafile.h"
#include "installdata/ptrchain.h"

// A "REGPATH" line: a tag and a key path below HKEY_LOCAL_MACHINE.
class InstPathRecord : public CListItem {
public:
    ~InstPathRecord() override {}
    CStr m_szTag;
    CStr m_szKeyPath;
};

// A "REGENTER" line that holds on this system.
class InstValueRecord : public CListItem {
public:
    InstValueRecord() : m_nType(REG_DWORD), m_nNumber(0) {}
    ~InstValueRecord() override {}
    CStr m_szTag;
    CStr m_szValueName;
    DWORD m_nType;   // REG_SZ or REG_DWORD
    CStr m_szText;   // expanded text of a REG_SZ value; empty for REG_DWORD
    LONG m_nNumber;  // number of a REG_DWORD value; 0 for REG_SZ
};

class CInstDataTable {
public:
    CInstDataTable() {}
    virtual ~CInstDataTable() { RemoveAllRecords(); }
    CInstDataTable(const CInstDataTable&) = delete;
    CInstDataTable& operator=(const CInstDataTable&) = delete;

    // Finds, reads and parses the install-data file of a printer's driver (of an
    // installed driver); true when both record lists came out non-empty.
    BOOL LoadForPrinter(const CStr& printerName);
    BOOL LoadForDriver(const CStr& driverName);
    // The text of the value, empty when not found or when it is a number.
    CStr FindValue(const CStr& keyPath, const CStr& valueName);

    // Rebuild the records from the "Install" section; true when at least one was accepted.
    BOOL ParsePaths(CInstDataFile& file);
    BOOL ParseValuesForPrinter(const CStr& printerName, CInstDataFile& file);
    BOOL ParseValuesForDriver(const CStr& driverName, CInstDataFile& file);

    // Text data with DRIVERDIR and SYSTEMDIR expanded; empty when it has no valid form.
    static CStr ExpandText(const CStr& data, const CStr& driverDirectory);
    // Decimal or "0x" hexadecimal, saturated to the signed 32-bit range.
    static LONG ParseNumber(const CStr& data);
    // Whether an operating-system condition word holds on this system.
    static BOOL MatchCondition(const CStr& word);

    // The accepted records in file order (InstPathRecord, InstValueRecord).
    CGuardedList& GetPathRecords() { return m_listPaths; }
    CGuardedList& GetValueRecords() { return m_listValues; }

private:
    BOOL Load(const CStr& name, BOOL fDriver);
    BOOL ParseValues(const CStr& driverDirectory, CInstDataFile& file);
    // The record of a "REGENTER" value, or null when the line is dropped.
    static InstValueRecord* ReadValueLine(const CStr& value, const CStr& driverDirectory);
    void AppendValue(InstValueRecord* pRecord);
    void RemoveAllRecords();

    CGuardedList m_listPaths;
    CGuardedList m_listValues;
};
