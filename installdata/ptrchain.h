// CPtrChain: a doubly linked list of untyped pointers whose nodes come from
// blocks, and CGuardedList: the mutex-guarded list that owns its elements.
#pragma once
#include <windows.h>

class CMutexObj;

struct CChainNode {
    CChainNode* pNext;
    CChainNode* pPrev;
    void* pElement;
};
typedef CChainNode* CHAINPOS;

class CPtrChain {
public:
    explicit CPtrChain(int nBlockSize);
    ~CPtrChain();
    CPtrChain(const CPtrChain&) = delete;
    CPtrChain& operator=(const CPtrChain&) = delete;

    // The new element's position; null when no node could be had (the element is not added).
    CHAINPOS AddTail(void* pElement);
    CHAINPOS GetHeadPosition() const { return m_pHead; }
    CHAINPOS GetTailPosition() const { return m_pTail; }
    // Positions are not trusted: a position that is not in the list gives null and
    // GetNext then leaves it unchanged.
    void* GetNext(CHAINPOS& pos) const;
    void* GetAt(CHAINPOS pos) const;
    void RemoveAt(CHAINPOS pos);
    int GetCount() const { return m_nCount; }
    BOOL IsEmpty() const { return m_nCount == 0; }
    // Removes the nodes only; the elements are the caller's.
    void RemoveAll();

private:
    CChainNode* FindNode(CHAINPOS pos) const;
    CChainNode* NewNode();

    struct CChainBlock {
        CChainBlock* pNext;
        // nodes follow
    };

    CChainNode* m_pHead;
    CChainNode* m_pTail;
    int m_nCount;
    CChainNode* m_pFreeNodes;
    CChainBlock* m_pBlocks;
    int m_nBlockSize;
};

// Base of the elements a CGuardedList owns: they are destroyed through it.
class CListItem {
public:
    virtual ~CListItem() {}
};

// A list of owned elements. AddTail, GetNext and GetAt hold the list's mutex while
// they run; a list whose mutex could not be created works without locking. The
// owner empties it with RemoveAll before destroying it.
class CGuardedList {
public:
    CGuardedList();
    ~CGuardedList();
    CGuardedList(const CGuardedList&) = delete;
    CGuardedList& operator=(const CGuardedList&) = delete;

    CHAINPOS AddTail(CListItem* pItem);
    CHAINPOS GetHeadPosition() const { return m_chain.GetHeadPosition(); }
    CHAINPOS GetTailPosition() const { return m_chain.GetTailPosition(); }
    CListItem* GetNext(CHAINPOS& pos);
    CListItem* GetAt(CHAINPOS pos);
    // Removes the node only; the element is the caller's.
    void RemoveAt(CHAINPOS pos) { m_chain.RemoveAt(pos); }
    int GetCount() const { return m_chain.GetCount(); }
    BOOL IsEmpty() const { return m_chain.IsEmpty(); }
    // Removes every element and destroys it.
    virtual void RemoveAll();

private:
    CPtrChain m_chain;
    CMutexObj* m_pMutex;
};
