#include "tests/cmdline/cmdlinefields.h"
#include <sstream>

namespace testsupport {

FieldMap CmdLineFields(const CCmdLineInfo& info)
{
    FieldMap fields = CarriedFields(info);
    fields["m_szTempDir"] = info.m_szTempDir.c_str();
    fields["m_szParamFile"] = info.m_szParamFile.c_str();
    fields["m_szNewParamFile"] = info.m_szNewParamFile.c_str();
    fields["m_IconFrom"] = std::to_string(info.m_IconFrom);
    return fields;
}

FieldMap CarriedFields(const CCmdLineInfo& info)
{
    FieldMap f;
    f["m_fRemove"] = std::to_string(info.m_fRemove);
    f["m_fSwitchS"] = std::to_string(info.m_fSwitchS);
    f["m_fSwitchE"] = std::to_string(info.m_fSwitchE);
    f["m_fSwitchC"] = std::to_string(info.m_fSwitchC);
    f["m_fSwitchU"] = std::to_string(info.m_fSwitchU);
    f["m_szPrinterName"] = info.m_szPrinterName.c_str();
    f["m_szDriverName"] = info.m_szDriverName.c_str();
    f["m_szPortName"] = info.m_szPortName.c_str();
    f["m_szModelID"] = info.m_szModelID.c_str();
    f["m_szSwitchJ"] = info.m_szSwitchJ.c_str();
    f["m_szSwitchQZM"] = info.m_szSwitchQZM.c_str();
    f["m_fIconInstall"] = std::to_string(info.m_fIconInstall);
    f["m_fSwitchSPL"] = std::to_string(info.m_fSwitchSPL);
    f["m_nHwnd"] = std::to_string(info.m_nHwnd);
    f["m_fSwitchDP"] = std::to_string(info.m_fSwitchDP);
    f["m_fSwitchA"] = std::to_string(info.m_fSwitchA);
    f["m_szSwitchT"] = info.m_szSwitchT.c_str();
    f["m_szSwitchL"] = info.m_szSwitchL.c_str();
    f["m_szSwitchN"] = info.m_szSwitchN.c_str();
    f["m_szSwitchIC"] = info.m_szSwitchIC.c_str();
    f["m_szSwitchCN"] = info.m_szSwitchCN.c_str();
    f["m_fSwitchASMRT"] = std::to_string(info.m_fSwitchASMRT);
    f["m_szSwitchTC"] = info.m_szSwitchTC.c_str();
    f["m_fSwitchPPOP"] = std::to_string(info.m_fSwitchPPOP);
    f["m_szSwitchX"] = info.m_szSwitchX.c_str();
    f["m_szSwitchPS"] = info.m_szSwitchPS.c_str();
    f["m_fSwitchBSR"] = std::to_string(info.m_fSwitchBSR);
    f["m_szSwitchRP"] = info.m_szSwitchRP.c_str();
    f["m_fSwitchTD"] = std::to_string(info.m_fSwitchTD);
    return f;
}

std::string FormatFields(const FieldMap& fields)
{
    std::string text;
    for (const auto& field : fields)
        text += field.first + "=" + field.second + "\n";
    return text;
}

FieldMap ParseFields(const std::string& text)
{
    FieldMap fields;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        size_t eq = line.find('=');
        if (eq != std::string::npos)
            fields[line.substr(0, eq)] = line.substr(eq + 1);
    }
    return fields;
}

} // namespace testsupport
