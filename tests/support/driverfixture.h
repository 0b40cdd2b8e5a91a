// Test helpers for a printer driver as the agent sees it: an installation-data
// file that publishes the driver key's values, a driver whose data file names
// that file (for both platform families), and an installation folder holding
// the profile file and the resource and bitmap DLLs it names.
//
//   CTempDir dir;
//   std::string profile = PlaceProfileFixture(dir.Path());
//   std::string data = InstallDataText("TA Driver", {{"ModelID", Quoted("MODEL1")},
//                                                    {"InstallPath", Quoted(dir.Path())},
//                                                    {"Profile", Quoted(profile)}});
//   CScopedDriver driver(DriverWithInstallData("TA Driver", "tadrv1", data));
#pragma once
#include "tests/support/files.h"
#include "tests/support/spooler.h"
#include <string>
#include <utility>
#include <vector>

namespace testsupport {

// "REGENTER" values: the value name and the data exactly as the file writes it
// (Quoted("text"), DRIVERDIR, DRIVERDIR+"\\x.dll", 12 ...).
using InstDataValues = std::vector<std::pair<std::string, std::string>>;

inline std::string Quoted(const std::string& text)
{
    return "\"" + text + "\"";
}

// An installation-data file whose [Install] section writes driverValues below
// "Software\NOVRA\KIV3\Driver\<driver name>" and profileValues below
// "Software\NOVRA\KIV3\Profile".
inline std::string InstallDataText(const std::string& driverName, const InstDataValues& driverValues,
                                   const InstDataValues& profileValues = InstDataValues())
{
    std::string text = "[Install]\r\n";
    text += "REGPATH=D1,\"HKEY_LOCAL_MACHINE\\Software\\NOVRA\\KIV3\\Driver\\" + driverName + "\"\r\n";
    text += "REGPATH=P1,\"HKEY_LOCAL_MACHINE\\Software\\NOVRA\\KIV3\\Profile\"\r\n";
    for (const auto& value : driverValues)
        text += "REGENTER=D1,\"" + value.first + "\"," + value.second + "\r\n";
    for (const auto& value : profileValues)
        text += "REGENTER=P1,\"" + value.first + "\"," + value.second + "\r\n";
    return text;
}

// A driver whose data file (<fileStem>.ini) names the installation-data file
// <fileStem>.dat with the given content. Driver files of all tests share one
// directory: give each driver its own stem.
inline DriverFiles DriverWithInstallData(const std::string& driverName, const std::string& fileStem,
                                         const std::string& installData)
{
    DriverFiles driver;
    driver.name = driverName;
    driver.dataFile = fileStem + ".ini";
    const std::string dataName = fileStem + ".dat";
    driver.dataContent = "[User Mode Printer Driver Information]\r\nSADatI=" + dataName + "\r\n[" + driverName +
                         "]\r\n52=" + dataName + ",1\r\n";
    driver.extraFiles.push_back(std::make_pair(dataName, installData));
    return driver;
}

// Copies the profile fixture (taprofile.ini) and the DLLs it names that exist
// (resdll.dll, resdll-rtl.dll, bmpdll.dll) into the folder; the profile's path,
// empty when a copy failed.
inline std::string PlaceProfileFixture(const std::string& dir)
{
    const char* const files[] = {"taprofile.ini", "resdll.dll", "resdll-rtl.dll", "bmpdll.dll"};
    for (const char* file : files) {
        if (!CopyFileA(BinFile(file).c_str(), (dir + "\\" + file).c_str(), FALSE))
            return std::string();
    }
    return dir + "\\taprofile.ini";
}

} // namespace testsupport
