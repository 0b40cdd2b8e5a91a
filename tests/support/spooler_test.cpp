// Proves the spooler helpers that later tests rest on, against Wine's real spooler.
#include "tests/support/spooler.h"
#include "tests/support/files.h"
#include <gtest/gtest.h>
#include <winspool.h>
#include <vector>

using namespace testsupport;

namespace {

std::vector<BYTE> PrinterInfo2(HANDLE hPrinter)
{
    DWORD cb = 0;
    GetPrinterA(hPrinter, 2, NULL, 0, &cb);
    std::vector<BYTE> buffer(cb ? cb : 1);
    if (!GetPrinterA(hPrinter, 2, buffer.data(), cb, &cb))
        buffer.clear();
    return buffer;
}

std::vector<BYTE> DriverInfo3(HANDLE hPrinter)
{
    DWORD cb = 0;
    GetPrinterDriverA(hPrinter, NULL, 3, NULL, 0, &cb);
    std::vector<BYTE> buffer(cb ? cb : 1);
    if (!GetPrinterDriverA(hPrinter, NULL, 3, buffer.data(), cb, &cb))
        buffer.clear();
    return buffer;
}

bool DriverIsEnumerated(const std::string& name)
{
    DWORD cb = 0, count = 0;
    EnumPrinterDriversA(NULL, NULL, 3, NULL, 0, &cb, &count);
    std::vector<BYTE> buffer(cb ? cb : 1);
    if (!EnumPrinterDriversA(NULL, NULL, 3, buffer.data(), cb, &cb, &count))
        return false;
    const DRIVER_INFO_3A* info = reinterpret_cast<const DRIVER_INFO_3A*>(buffer.data());
    for (DWORD i = 0; i < count; ++i) {
        if (name == info[i].pName)
            return true;
    }
    return false;
}

} // namespace

TEST(SpoolerHelpers, InstalledPrinterReportsDriverPortAndFilesUntilRemoved)
{
    DriverFiles files;
    files.name = "Helper Proof Driver";
    files.dataContent = "[User Mode Printer Driver Information]\r\nSADatI=proof.inf\r\n";
    files.extraFiles.push_back({"proof.inf", "[Install]\r\n"});
    CScopedDriver driver(files);
    ASSERT_TRUE(driver.Installed());
    ASSERT_TRUE(driver.InstallPrinter("Helper Proof Printer", "LPT1:"));

    HANDLE hPrinter = NULL;
    ASSERT_TRUE(OpenPrinterA(const_cast<char*>("Helper Proof Printer"), &hPrinter, NULL));
    std::vector<BYTE> info2 = PrinterInfo2(hPrinter);
    std::vector<BYTE> info3 = DriverInfo3(hPrinter);
    ClosePrinter(hPrinter);
    ASSERT_FALSE(info2.empty());
    ASSERT_FALSE(info3.empty());
    const PRINTER_INFO_2A* printer = reinterpret_cast<const PRINTER_INFO_2A*>(info2.data());
    EXPECT_STREQ("Helper Proof Driver", printer->pDriverName);
    EXPECT_STREQ("LPT1:", printer->pPortName);
    const DRIVER_INFO_3A* drv = reinterpret_cast<const DRIVER_INFO_3A*>(info3.data());
    EXPECT_EQ(driver.InstalledFile("tadrv.dll"), drv->pDriverPath);
    EXPECT_EQ(driver.InstalledFile("tadrv.ini"), drv->pDataFile);
    std::string content;
    EXPECT_TRUE(ReadTextFile(driver.InstalledFile("proof.inf"), &content));
    EXPECT_EQ("[Install]\r\n", content);

    ASSERT_TRUE(RemovePrinter("Helper Proof Printer"));
    hPrinter = NULL;
    EXPECT_FALSE(OpenPrinterA(const_cast<char*>("Helper Proof Printer"), &hPrinter, NULL));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PRINTER_NAME), GetLastError());
    EXPECT_TRUE(DriverIsEnumerated("Helper Proof Driver"));
}
