// Lock targets and the scoped lock.
#include "installdata/syncobj.h"

BOOL CSyncObj::Lock(DWORD)
{
    // The base has nothing to wait on, so nothing is ever acquired.
    return FALSE;
}

BOOL CSyncObj::Unlock(LONG, LONG*)
{
    return TRUE;
}

CMutexObj::CMutexObj() : m_hMutex(CreateMutexA(NULL, FALSE, NULL))
{
}

CMutexObj::~CMutexObj()
{
    if (m_hMutex != NULL)
        CloseHandle(m_hMutex);
}

BOOL CMutexObj::Lock(DWORD dwTimeout)
{
    if (m_hMutex == NULL)
        return FALSE;
    // An abandoned mutex is still handed to the waiter.
    DWORD dwWait = WaitForSingleObject(m_hMutex, dwTimeout);
    return dwWait == WAIT_OBJECT_0 || dwWait == WAIT_ABANDONED;
}

BOOL CMutexObj::Unlock()
{
    if (m_hMutex == NULL)
        return FALSE;
    return ReleaseMutex(m_hMutex);
}

CSyncLock::CSyncLock(CSyncObj* pObject, BOOL fLockNow) : m_pObject(pObject), m_fLocked(FALSE)
{
    if (fLockNow)
        Lock(INFINITE);
}

CSyncLock::~CSyncLock()
{
    if (m_fLocked)
        m_pObject->Unlock();
}

BOOL CSyncLock::Lock(DWORD dwTimeout)
{
    if (m_fLocked)
        return TRUE;
    m_fLocked = m_pObject != NULL && m_pObject->Lock(dwTimeout);
    return m_fLocked;
}
