// Benchmark (not a test): the time of one GetValueForPrinter call on install-data
// files of 100, 1,000 and 10,000 lines, for a printer installed in Wine's spooler.
// Run it by hand: wine-run bin/instdata_bench.exe
#include "installdata/instdatalookup.h"
#include "installdata/instdatatable.h"
#include "installdata/ptrchain.h"
#include "tests/support/spooler.h"
#include <algorithm>
#include <stdio.h>
#include <string>
#include <vector>

namespace {

const char kDriver[] = "ID Benchmark Driver";
const char kPrinter[] = "ID Benchmark Printer";

// One "REGPATH" line per 20 lines, the rest "REGENTER" lines spread over those paths;
// the value asked for is the last line of the file, under the last path.
std::string InstData(int nLines)
{
    int nPaths = std::max(1, nLines / 20);
    std::string text = "; benchmark install data\r\n[Install]\r\n";
    for (int i = 0; i < nPaths; ++i)
        text += "REGPATH=P" + std::to_string(i) + ",\"HKEY_LOCAL_MACHINE\\Software\\NOVRA\\KIV3\\Driver\\Bench\\K" +
                std::to_string(i) + "\"\r\n";
    for (int i = 0; i < nLines - nPaths - 1; ++i) {
        int nPath = i % nPaths;
        text += i % 3 == 0 ? "REGENTER=P" + std::to_string(nPath) + ",\"Number" + std::to_string(i) + "\"," +
                                 std::to_string(i) + "\r\n"
                           : "REGENTER=P" + std::to_string(nPath) + ",\"Value" + std::to_string(i) +
                                 "\",DRIVERDIR+\"\\file" + std::to_string(i) + ".dat\",WINNT,WIN9X\r\n";
    }
    text += "REGENTER=P" + std::to_string(nPaths - 1) + ",\"Wanted\",\"found\"\r\n";
    return text;
}

double Seconds(const LARGE_INTEGER& start, const LARGE_INTEGER& end)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Milliseconds of each of nRuns calls of the function, sorted.
template <typename F> std::vector<double> Time(int nRuns, F call)
{
    std::vector<double> ms;
    for (int i = 0; i < nRuns; ++i) {
        LARGE_INTEGER start, end;
        QueryPerformanceCounter(&start);
        call();
        QueryPerformanceCounter(&end);
        ms.push_back(Seconds(start, end) * 1000.0);
    }
    std::sort(ms.begin(), ms.end());
    return ms;
}

} // namespace

int main()
{
    // load: finding, reading and parsing the file; find: the lookup in a loaded table;
    // walk: stepping once through an unlocked chain as long as the file, which shows the
    // share of confirming each position by a walk from the head.
    printf("%8s %8s %10s %12s %12s %12s %12s\n", "lines", "calls", "min ms", "median ms", "load ms", "find ms",
           "walk ms");
    for (int nLines : {100, 1000, 10000}) {
        testsupport::DriverFiles files;
        files.name = kDriver;
        files.dataContent = "[User Mode Printer Driver Information]\r\nSADatI=instdata_bench.inf\r\n";
        files.extraFiles.push_back({"instdata_bench.inf", InstData(nLines)});
        testsupport::CScopedDriver driver(files);
        if (!driver.Installed() || !driver.InstallPrinter(kPrinter)) {
            fprintf(stderr, "could not install the benchmark driver and printer\n");
            return 1;
        }
        const CStr key = "Software\\NOVRA\\KIV3\\Driver\\Bench\\K" + CStr(std::to_string(std::max(1, nLines / 20) - 1).c_str());
        CInstDataLookup lookup;
        if (lookup.GetValueForPrinter(kPrinter, key, "Wanted") != "found") {
            fprintf(stderr, "the benchmark value was not found for %d lines\n", nLines);
            return 1;
        }
        int nRuns = nLines >= 10000 ? 5 : 20;
        std::vector<double> calls = Time(nRuns, [&] { lookup.GetValueForPrinter(kPrinter, key, "Wanted"); });
        std::vector<double> loads = Time(nRuns, [&] {
            CInstDataTable table;
            table.LoadForPrinter(kPrinter);
        });
        CInstDataTable table;
        table.LoadForPrinter(kPrinter);
        std::vector<double> finds = Time(nRuns, [&] { table.FindValue(key, "Wanted"); });
        CPtrChain chain(10);
        for (int i = 0; i < nLines; ++i)
            chain.AddTail(&chain);
        std::vector<double> walks = Time(nRuns, [&] {
            for (CHAINPOS pos = chain.GetHeadPosition(); pos != NULL;)
                chain.GetNext(pos);
        });
        printf("%8d %8d %10.2f %12.2f %12.2f %12.2f %12.2f\n", nLines, nRuns, calls.front(), calls[nRuns / 2],
               loads[nRuns / 2], finds[nRuns / 2], walks[nRuns / 2]);
        testsupport::RemovePrinter(kPrinter);
        DeleteFileA(driver.InstalledFile("instdata_bench.inf").c_str());
    }
    return 0;
}
