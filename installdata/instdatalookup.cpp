// Answers driver-setting queries from a fresh parse of the install-data file.
#include "installdata/instdatalookup.h"
#include "installdata/instdatatable.h"

CStr CInstDataLookup::GetValueForPrinter(CStr printerName, CStr keyPath, CStr valueName)
{
    if (printerName.IsEmpty() || keyPath.IsEmpty() || valueName.IsEmpty())
        return CStr();
    CInstDataTable table;
    return table.LoadForPrinter(printerName) ? table.FindValue(keyPath, valueName) : CStr();
}

CStr CInstDataLookup::GetValueForDriver(CStr driverName, CStr keyPath, CStr valueName)
{
    if (driverName.IsEmpty() || keyPath.IsEmpty() || valueName.IsEmpty())
        return CStr();
    CInstDataTable table;
    return table.LoadForDriver(driverName) ? table.FindValue(keyPath, valueName) : CStr();
}
