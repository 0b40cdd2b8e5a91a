// Which Windows the driver support check runs on, read anew from the system each time.
#pragma once
#include <windows.h>

// True on the NT platform family.
BOOL IsNtFamily();
// True on the NT platform family from major version 5 (Windows 2000) on; false when the
// version cannot be read.
BOOL IsNt5OrLater();
