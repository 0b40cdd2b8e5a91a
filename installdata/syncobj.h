// Lock targets and the scoped lock that guards the record lists of the
// installation-data table.
#pragma once
#include <windows.h>

class CSyncObj {
public:
    virtual ~CSyncObj() {}
    // True when the object was acquired within the timeout (milliseconds).
    virtual BOOL Lock(DWORD dwTimeout);
    // Counted release, for objects that have a count; nothing to do here.
    virtual BOOL Unlock(LONG nCount, LONG* pnPrevCount);
    virtual BOOL Unlock() = 0;
};

// An unnamed mutex, created with the object and closed with it.
class CMutexObj : public CSyncObj {
public:
    CMutexObj();
    ~CMutexObj() override;
    CMutexObj(const CMutexObj&) = delete;
    CMutexObj& operator=(const CMutexObj&) = delete;

    BOOL Lock(DWORD dwTimeout) override;
    BOOL Unlock() override;
    using CSyncObj::Unlock;

private:
    HANDLE m_hMutex;
};

// Holds a lock on a CSyncObj for its lifetime; a null target never locks.
class CSyncLock {
public:
    CSyncLock(CSyncObj* pObject, BOOL fLockNow);
    virtual ~CSyncLock();
    CSyncLock(const CSyncLock&) = delete;
    CSyncLock& operator=(const CSyncLock&) = delete;

    BOOL Lock(DWORD dwTimeout = INFINITE);
    BOOL IsLocked() const { return m_fLocked; }

private:
    CSyncObj* m_pObject;
    BOOL m_fLocked;
};
