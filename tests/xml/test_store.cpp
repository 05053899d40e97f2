// The paged record store: growth, stable records beyond the first page, the free list.

#include "xml/CXmlRecordStore.h"

#include <gtest/gtest.h>

namespace {

TEST(RecordStore, FirstPageGrowsThenWholePagesAreAdded)
{
    CXmlRecordStore store;
    store.Reset(8);
    EXPECT_EQ(store.Capacity(), 8u);
    EXPECT_EQ(store.NextFree(), 1u);
    for (int i = 0; i < 8; ++i) {
        ASSERT_NE(store.Allocate(), 0u);
    }
    EXPECT_EQ(store.Capacity(), 12u);  // grown by half
    while (store.NextFree() < CXmlRecordStore::kPageSize) {
        ASSERT_NE(store.Allocate(), 0u);
    }
    EXPECT_EQ(store.Capacity(), CXmlRecordStore::kPageSize);
    const uint32_t iSecond = store.Allocate();
    EXPECT_EQ(iSecond, CXmlRecordStore::kPageSize);
    EXPECT_EQ(store.Capacity(), 2 * CXmlRecordStore::kPageSize);
    // Records beyond the first page never move.
    const SXmlElemRecord* pSecond = &store[iSecond];
    store[iSecond].nStart = 1234;
    for (uint32_t i = 0; i < 3 * CXmlRecordStore::kPageSize; ++i) {
        ASSERT_NE(store.Allocate(), 0u);
    }
    EXPECT_EQ(&store[iSecond], pSecond);
    EXPECT_EQ(store[iSecond].nStart, 1234u);
}

TEST(RecordStore, ReserveAndFreeList)
{
    CXmlRecordStore store;
    store.Reset(100000);
    EXPECT_GE(store.Capacity(), 100000u);
    const uint32_t a = store.Allocate();
    const uint32_t b = store.Allocate();
    store[a].nStart = 7;
    store.Free(a);
    EXPECT_FALSE(store.IsElement(a));
    EXPECT_TRUE(store.IsElement(b));
    store.Free(0);                   // the document record is never freed
    EXPECT_EQ(store.Allocate(), a);  // reused first, cleared
    EXPECT_EQ(store[a].nStart, 0u);
    EXPECT_EQ(store.Allocate(), 3u);
}

}  // namespace
