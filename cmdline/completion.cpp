// CCmdLineInfo: completing driver, port and model from the spooler and the driver's installation data.
#include "cmdline/cmdlineinfo.h"
#include "settings/driversettings.h"

int CCmdLineInfo::CompleteDriverPort()
{
    if (!m_szDriverName.IsEmpty() && !m_szPortName.IsEmpty())
        return 1;
    if (m_szPrinterName.IsEmpty())
        return 0;
    char szDriver[MAX_PATH];
    char szPort[MAX_PATH];
    if (GetPrinterDriverAndPort(m_szPrinterName.c_str(), szDriver, MAX_PATH, szPort, MAX_PATH) != 1)
        return 0;
    m_szDriverName = szDriver;
    m_szPortName = szPort;
    return 1;
}

int CCmdLineInfo::CompleteModel()
{
    if (!m_szModelID.IsEmpty())
        return 1;
    if (m_szDriverName.IsEmpty())
        return 0;
    CStr strModel;
    LookupModelId(m_szPrinterName.c_str(), m_szDriverName.c_str(), strModel);
    m_szModelID = strModel;
    return !m_szModelID.IsEmpty();
}
