// The door through which the program reads a printer driver's settings: the
// text that the driver's installation-data file assigns to a value of a key
// below HKEY_LOCAL_MACHINE, found anew on every call. Empty means not found.
#pragma once
#include "app/str.h"

class CInstDataLookup {
public:
    virtual ~CInstDataLookup() {}
    // The value for the driver of the installed printer of that name.
    CStr GetValueForPrinter(CStr printerName, CStr keyPath, CStr valueName);
    // The value for the installed driver of that name, also when no printer uses it.
    CStr GetValueForDriver(CStr driverName, CStr keyPath, CStr valueName);
};
