// The pieces the parser rests on: heap helpers, the node chain, the owning list and its locks.
#include "installdata/heap.h"
#include "installdata/ptrchain.h"
#include "installdata/syncobj.h"
#include <gtest/gtest.h>
#include <thread>
#include <vector>

namespace {

int g_nDestroyed = 0;

class CountedItem : public CListItem {
public:
    explicit CountedItem(int n) : m_n(n) {}
    ~CountedItem() override { ++g_nDestroyed; }
    int m_n;
};

std::vector<INT_PTR> Elements(const CPtrChain& chain)
{
    std::vector<INT_PTR> elements;
    for (CHAINPOS pos = chain.GetHeadPosition(); pos != NULL;)
        elements.push_back(reinterpret_cast<INT_PTR>(chain.GetNext(pos)));
    return elements;
}

void* Element(INT_PTR n)
{
    return reinterpret_cast<void*>(n);
}

// Whether another thread acquires the object at once.
bool OtherThreadAcquires(CSyncObj& object)
{
    bool fAcquired = false;
    std::thread other([&] {
        fAcquired = object.Lock(0) != FALSE;
        if (fAcquired)
            object.Unlock();
    });
    other.join();
    return fAcquired;
}

} // namespace

TEST(HeapHelpers, ZeroedBlocksAndWideCopies)
{
    EXPECT_EQ(nullptr, HeapAllocZeroed(0));
    BYTE* pBlock = static_cast<BYTE*>(HeapAllocZeroed(100));
    ASSERT_NE(nullptr, pBlock);
    SIZE_T cb = HeapSize(GetProcessHeap(), 0, pBlock);
    ASSERT_GE(cb, 100u);
    for (SIZE_T i = 0; i < cb; ++i)
        ASSERT_EQ(0, pBlock[i]) << i;
    HeapFreeChecked(pBlock);
    HeapFreeChecked(NULL);

    EXPECT_EQ(nullptr, AnsiToWideAlloc(NULL));
    EXPECT_EQ(nullptr, AnsiToWideAlloc(""));
    WCHAR* pszWide = AnsiToWideAlloc("Drucker \xE9");  // e acute in code page 1252
    ASSERT_NE(nullptr, pszWide);
    EXPECT_STREQ(L"Drucker \x00E9", pszWide);
    HeapFreeChecked(pszWide);
}

TEST(PtrChain, KeepsOrderAndRemovesAnywhere)
{
    CPtrChain chain(10);
    EXPECT_TRUE(chain.IsEmpty());
    std::vector<CHAINPOS> positions;
    for (INT_PTR n = 1; n <= 5; ++n)
        positions.push_back(chain.AddTail(Element(n)));
    EXPECT_EQ(5, chain.GetCount());
    EXPECT_EQ(positions.front(), chain.GetHeadPosition());
    EXPECT_EQ(positions.back(), chain.GetTailPosition());
    EXPECT_EQ(Element(3), chain.GetAt(positions[2]));

    chain.RemoveAt(positions[2]);
    chain.RemoveAt(positions[0]);
    chain.RemoveAt(positions[4]);
    EXPECT_EQ(std::vector<INT_PTR>({2, 4}), Elements(chain));
    EXPECT_EQ(positions[1], chain.GetHeadPosition());
    EXPECT_EQ(positions[3], chain.GetTailPosition());
    // A freed node is the next one handed out.
    EXPECT_EQ(positions[4], chain.AddTail(Element(6)));
    EXPECT_EQ(std::vector<INT_PTR>({2, 4, 6}), Elements(chain));

    chain.RemoveAll();
    EXPECT_TRUE(chain.IsEmpty());
    EXPECT_EQ(nullptr, chain.GetHeadPosition());
    EXPECT_EQ(nullptr, chain.GetTailPosition());
}

TEST(PtrChain, PositionsNotInTheListAreRefused)
{
    CPtrChain chain(10);
    CPtrChain other(10);
    CHAINPOS posOwn = chain.AddTail(Element(1));
    CHAINPOS posForeign = other.AddTail(Element(2));
    CChainNode stray = {NULL, NULL, Element(3)};

    for (CHAINPOS posBad : {posForeign, static_cast<CHAINPOS>(&stray)}) {
        CHAINPOS pos = posBad;
        EXPECT_EQ(nullptr, chain.GetNext(pos));
        EXPECT_EQ(posBad, pos);
        EXPECT_EQ(nullptr, chain.GetAt(posBad));
        chain.RemoveAt(posBad);
    }
    chain.RemoveAt(NULL);
    EXPECT_EQ(1, chain.GetCount());
    EXPECT_EQ(Element(1), chain.GetAt(posOwn));
    EXPECT_EQ(Element(2), other.GetAt(posForeign));
}

TEST(PtrChain, NodesComeInBlocksThatGoBackWhenTheListEmpties)
{
    CPtrChain chain(10);
    std::vector<CHAINPOS> positions;
    for (INT_PTR n = 0; n < 11; ++n)
        positions.push_back(chain.AddTail(Element(n)));
    // One block: a link to the next block, then ten nodes handed out in order.
    BYTE* pBlock = reinterpret_cast<BYTE*>(positions[0]) - sizeof(void*);
    EXPECT_EQ(sizeof(void*) + 10 * sizeof(CChainNode), HeapSize(GetProcessHeap(), 0, pBlock));
    for (int i = 1; i < 10; ++i)
        EXPECT_EQ(positions[0] + i, positions[i]) << i;
    BYTE* pSecond = reinterpret_cast<BYTE*>(positions[10]) - sizeof(void*);
    EXPECT_EQ(sizeof(void*) + 10 * sizeof(CChainNode), HeapSize(GetProcessHeap(), 0, pSecond));

    // Removed so that the node freed last is not the first of its block.
    std::swap(positions[5], positions[10]);
    for (CHAINPOS pos : positions)
        chain.RemoveAt(pos);
    EXPECT_TRUE(chain.IsEmpty());
    EXPECT_EQ(nullptr, chain.GetHeadPosition());
    EXPECT_FALSE(HeapValidate(GetProcessHeap(), 0, pBlock));
    EXPECT_FALSE(HeapValidate(GetProcessHeap(), 0, pSecond));
    // Adding again takes a fresh block, not a node of the old ones.
    CHAINPOS posFresh = chain.AddTail(Element(1));
    BYTE* pFresh = reinterpret_cast<BYTE*>(posFresh) - sizeof(void*);
    EXPECT_TRUE(HeapValidate(GetProcessHeap(), 0, pFresh));
    EXPECT_EQ(Element(1), chain.GetAt(posFresh));
}

TEST(GuardedList, RemoveAllDestroysTheElementsButTheListDoesNot)
{
    g_nDestroyed = 0;
    CountedItem* pKept = new CountedItem(99);
    {
        CGuardedList list;
        for (int n = 0; n < 25; ++n)
            ASSERT_NE(nullptr, list.AddTail(new CountedItem(n)));
        CHAINPOS pos = list.GetHeadPosition();
        list.GetNext(pos);
        EXPECT_EQ(1, static_cast<CountedItem*>(list.GetAt(pos))->m_n);
        list.RemoveAll();
        EXPECT_EQ(25, g_nDestroyed);
        EXPECT_TRUE(list.IsEmpty());
        ASSERT_NE(nullptr, list.AddTail(pKept));
    }
    // The list's own end leaves its elements to their owner.
    EXPECT_EQ(25, g_nDestroyed);
    EXPECT_EQ(99, pKept->m_n);
    delete pKept;
}

TEST(SyncObjects, MutexAndScopedLock)
{
    CMutexObj mutex;
    EXPECT_TRUE(OtherThreadAcquires(mutex));
    {
        CSyncLock lock(&mutex, TRUE);
        EXPECT_TRUE(lock.IsLocked());
        EXPECT_FALSE(OtherThreadAcquires(mutex));
        EXPECT_TRUE(lock.Lock(0));  // held already
    }
    EXPECT_TRUE(OtherThreadAcquires(mutex));
    {
        CSyncLock lock(&mutex, FALSE);
        EXPECT_FALSE(lock.IsLocked());
        EXPECT_TRUE(OtherThreadAcquires(mutex));
        EXPECT_TRUE(lock.Lock(1000));
        EXPECT_FALSE(OtherThreadAcquires(mutex));
    }
    EXPECT_TRUE(OtherThreadAcquires(mutex));

    CSyncLock none(NULL, TRUE);
    EXPECT_FALSE(none.IsLocked());
    EXPECT_FALSE(none.Lock(0));
    LONG nPrevious = 7;
    EXPECT_TRUE(mutex.Unlock(1, &nPrevious));
}
