// The block-allocated pointer chain and the guarded, owning list built on it.
#include "installdata/ptrchain.h"
#include "installdata/heap.h"
#include "installdata/syncobj.h"
#include <new>

namespace {
const int kListBlockSize = 10;
}

CPtrChain::CPtrChain(int nBlockSize)
    : m_pHead(NULL), m_pTail(NULL), m_nCount(0), m_pFreeNodes(NULL), m_pBlocks(NULL),
      m_nBlockSize(nBlockSize > 0 ? nBlockSize : 1)
{
}

CPtrChain::~CPtrChain()
{
    RemoveAll();
}

void CPtrChain::RemoveAll()
{
    while (m_pBlocks != NULL) {
        CChainBlock* pNext = m_pBlocks->pNext;
        HeapFreeChecked(m_pBlocks);
        m_pBlocks = pNext;
    }
    m_pHead = m_pTail = m_pFreeNodes = NULL;
    m_nCount = 0;
}

CChainNode* CPtrChain::NewNode()
{
    if (m_pFreeNodes == NULL) {
        SIZE_T cb = sizeof(CChainBlock) + static_cast<SIZE_T>(m_nBlockSize) * sizeof(CChainNode);
        CChainBlock* pBlock = static_cast<CChainBlock*>(HeapAllocZeroed(cb));
        if (pBlock == NULL)
            return NULL;
        pBlock->pNext = m_pBlocks;
        m_pBlocks = pBlock;
        // Chained from the last node back, so the block's first node is handed out first.
        CChainNode* pNodes = reinterpret_cast<CChainNode*>(pBlock + 1);
        for (int i = m_nBlockSize - 1; i >= 0; --i) {
            pNodes[i].pNext = m_pFreeNodes;
            m_pFreeNodes = &pNodes[i];
        }
    }
    CChainNode* pNode = m_pFreeNodes;
    m_pFreeNodes = pNode->pNext;
    return pNode;
}

CHAINPOS CPtrChain::AddTail(void* pElement)
{
    CChainNode* pNode = NewNode();
    if (pNode == NULL)
        return NULL;
    pNode->pPrev = m_pTail;
    pNode->pNext = NULL;
    pNode->pElement = pElement;
    if (m_pTail != NULL)
        m_pTail->pNext = pNode;
    else
        m_pHead = pNode;
    m_pTail = pNode;
    ++m_nCount;
    return pNode;
}

CChainNode* CPtrChain::FindNode(CHAINPOS pos) const
{
    CChainNode* pNode = m_pHead;
    for (int i = 0; i < m_nCount && pNode != NULL; ++i, pNode = pNode->pNext) {
        if (pNode == pos)
            return pNode;
    }
    return NULL;
}

void* CPtrChain::GetNext(CHAINPOS& pos) const
{
    CChainNode* pNode = FindNode(pos);
    if (pNode == NULL)
        return NULL;
    pos = pNode->pNext;
    return pNode->pElement;
}

void* CPtrChain::GetAt(CHAINPOS pos) const
{
    CChainNode* pNode = FindNode(pos);
    return pNode != NULL ? pNode->pElement : NULL;
}

void CPtrChain::RemoveAt(CHAINPOS pos)
{
    // Unlinking a node that is not ours would corrupt both lists.
    CChainNode* pNode = FindNode(pos);
    if (pNode == NULL)
        return;
    if (pNode->pPrev != NULL)
        pNode->pPrev->pNext = pNode->pNext;
    else
        m_pHead = pNode->pNext;
    if (pNode->pNext != NULL)
        pNode->pNext->pPrev = pNode->pPrev;
    else
        m_pTail = pNode->pPrev;
    pNode->pPrev = NULL;
    pNode->pElement = NULL;
    pNode->pNext = m_pFreeNodes;
    m_pFreeNodes = pNode;
    if (--m_nCount == 0)
        RemoveAll();
}

CGuardedList::CGuardedList() : m_chain(kListBlockSize), m_pMutex(new (std::nothrow) CMutexObj)
{
}

CGuardedList::~CGuardedList()
{
    delete m_pMutex;
}

CHAINPOS CGuardedList::AddTail(CListItem* pItem)
{
    CSyncLock lock(m_pMutex, TRUE);
    return m_chain.AddTail(pItem);
}

CListItem* CGuardedList::GetNext(CHAINPOS& pos)
{
    CSyncLock lock(m_pMutex, TRUE);
    return static_cast<CListItem*>(m_chain.GetNext(pos));
}

CListItem* CGuardedList::GetAt(CHAINPOS pos)
{
    CSyncLock lock(m_pMutex, TRUE);
    return static_cast<CListItem*>(m_chain.GetAt(pos));
}

void CGuardedList::RemoveAll()
{
    CHAINPOS pos = GetHeadPosition();
    while (pos != NULL) {
        CHAINPOS posItem = pos;
        CListItem* pItem = GetNext(pos);
        RemoveAt(posItem);
        delete pItem;
    }
}
