#include "model/record_array.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/test_hooks.h"

namespace {

// The status records of the status side: 264 bytes each.
struct Big {
    DWORD id;
    BYTE rest[260];
};
static_assert(sizeof(Big) == 264, "a status record");

Big MakeBig(DWORD id) {
    Big b;
    b.id = id;
    std::memset(b.rest, static_cast<int>(id & 0xFF), sizeof b.rest);
    return b;
}

struct Array {
    long liveBefore = HostLiveBlocks();  // before the array is made
    RecordArray *array;
    Array(DWORD size, DWORD perStep, DWORD steps) : array(CreateRecordArray(size, perStep, steps)) {}
    ~Array() {
        FreeRecordArray(array);
        EXPECT_EQ(HostLiveBlocks(), liveBefore);
    }
    DWORD Capacity() const { return GetCapacity(array->pBuffer); }
    // The ids of the 4-byte records, in order.
    std::string Ids() const {
        std::string s;
        for (DWORD n = 1; n <= GetRecordCount(array); ++n) {
            DWORD v;
            CopyRecord(array, n, &v);
            s += static_cast<char>(v);
        }
        return s;
    }
};

void AppendIds(RecordArray *array, const char *ids) {
    for (const char *c = ids; *c; ++c) {
        DWORD v = static_cast<BYTE>(*c);
        ASSERT_TRUE(AppendRecord(array, &v));
    }
}

TEST(RecordArray, GrowsInWholeSteps) {
    Array a(264, 20, 1);
    ASSERT_NE(a.array, nullptr);
    EXPECT_EQ(a.Capacity(), 5280u);
    for (DWORD i = 1; i <= 20; ++i) {
        Big b = MakeBig(i);
        ASSERT_TRUE(AppendRecord(a.array, &b));
    }
    EXPECT_EQ(a.Capacity(), 5280u);
    Big b = MakeBig(21);
    ASSERT_TRUE(AppendRecord(a.array, &b));
    EXPECT_EQ(a.Capacity(), 10560u);
    EXPECT_EQ(GetRecordCount(a.array), 21u);
    for (DWORD i = 1; i <= 21; ++i) {
        Big want = MakeBig(i);
        ASSERT_EQ(std::memcmp(GetRecordPtr(a.array, i), &want, sizeof want), 0) << "record " << i;
    }
}

TEST(RecordArray, FirstAllocationOfTheLibrarysArrays) {
    Array codes(4, 20, 1), inserts(12, 10, 10), none(4, 20, 0);
    EXPECT_EQ(codes.Capacity(), 80u);
    EXPECT_EQ(inserts.Capacity(), 1200u);
    EXPECT_EQ(none.array->pBuffer->pData, nullptr);
    EXPECT_EQ(none.Capacity(), 0u);
    EXPECT_EQ(GetRecordCount(none.array), 0u);
    AppendIds(none.array, "A");
    EXPECT_EQ(none.Capacity(), 80u);  // exactly one growth unit
}

TEST(GrowBuffer, GrowthCoversTheShortfallInWholeUnits) {
    struct Case {
        DWORD firstUnits, cursor, length, capacity;
    } cases[] = {
        {1, 0, 10, 10}, {1, 0, 11, 20}, {1, 0, 35, 40}, {0, 0, 1, 10}, {0, 0, 30, 30}, {2, 19, 2, 30},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::to_string(c.firstUnits) + " units, write " + std::to_string(c.length) + " at " +
                     std::to_string(c.cursor));
        GrowBuffer *b = CreateGrowBuffer(10, c.firstUnits);
        ASSERT_NE(b, nullptr);
        BYTE data[64] = {};
        SeekGrowBuffer(b, static_cast<LONG>(c.cursor), GROW_SEEK_START);
        ASSERT_TRUE(WriteGrowBuffer(b, data, c.length));
        EXPECT_EQ(GetCapacity(b), c.capacity);
        EXPECT_EQ(GetUsedLength(b), c.cursor + c.length);
        EXPECT_EQ(b->dwCursor, c.cursor + c.length);
        FreeGrowBuffer(b);
    }
}

TEST(GrowBuffer, WriteOverwritesAndExtendsReadStaysInside) {
    GrowBuffer *b = CreateGrowBuffer(8, 1);
    ASSERT_NE(b, nullptr);
    ASSERT_TRUE(WriteGrowBuffer(b, "abcdef", 6));
    SeekGrowBuffer(b, 4, GROW_SEEK_START);
    ASSERT_TRUE(WriteGrowBuffer(b, "XYZ", 3));
    EXPECT_EQ(GetUsedLength(b), 7u);
    EXPECT_TRUE(WriteGrowBuffer(b, nullptr, 0));  // nothing to write
    EXPECT_EQ(GetUsedLength(b), 7u);

    SeekGrowBuffer(b, -7, GROW_SEEK_END);
    BYTE *p = ReadGrowBuffer(b, 7);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(std::string(reinterpret_cast<char *>(p), 7), "abcdXYZ");
    SeekGrowBuffer(b, -2, GROW_SEEK_CURSOR);
    EXPECT_EQ(b->dwCursor, 5u);
    EXPECT_EQ(ReadGrowBuffer(b, 3), nullptr);  // one byte past the content
    EXPECT_EQ(b->dwCursor, 5u);
    SeekGrowBuffer(b, 0, 4);  // not a mode
    EXPECT_EQ(b->dwCursor, 5u);
    FreeGrowBuffer(b);
}

TEST(GrowBuffer, InsertMovesTheRestUp) {
    GrowBuffer *b = CreateGrowBuffer(4, 1);
    ASSERT_TRUE(WriteGrowBuffer(b, "abcdef", 6));
    SeekGrowBuffer(b, 2, GROW_SEEK_START);
    ASSERT_TRUE(InsertGrowBuffer(b, "1234567", 7));
    EXPECT_EQ(GetUsedLength(b), 13u);
    EXPECT_EQ(GetCapacity(b), 16u);
    EXPECT_EQ(b->dwCursor, 9u);
    EXPECT_EQ(std::string(reinterpret_cast<char *>(b->pData), 13), "ab1234567cdef");
    // Past the content there is nothing to move and no place to insert.
    SeekGrowBuffer(b, 1, GROW_SEEK_END);
    EXPECT_FALSE(InsertGrowBuffer(b, "x", 1));
    EXPECT_EQ(GetUsedLength(b), 13u);
    FreeGrowBuffer(b);
}

TEST(RecordArray, InsertPlacesTheRecordAtItsPosition) {
    struct Case {
        DWORD position;
        const char *order;
    } cases[] = {{1, "NAB"}, {2, "ANB"}, {3, "ABN"}, {7, "ABN"}};
    for (const Case &c : cases) {
        Array a(4, 2, 1);
        AppendIds(a.array, "AB");
        DWORD n = 'N';
        ASSERT_TRUE(InsertRecordAt(a.array, &n, c.position));
        EXPECT_EQ(a.Ids(), c.order) << "position " << c.position;
    }
}

TEST(RecordArray, PositionsBeyondTheCountGiveNothing) {
    Array a(4, 20, 1);
    DWORD keep = 0xDEADBEEF;
    EXPECT_FALSE(CopyRecord(a.array, 1, &keep));
    AppendIds(a.array, "AB");
    EXPECT_FALSE(CopyRecord(a.array, 3, &keep));
    EXPECT_EQ(keep, 0xDEADBEEFu);
    EXPECT_EQ(GetRecordPtr(a.array, 3), nullptr);
    EXPECT_EQ(GetRecordPtr(a.array, 0x40000001), nullptr);  // its byte offset would wrap to record 1
    EXPECT_TRUE(CopyRecord(a.array, 2, &keep));
    EXPECT_EQ(keep, static_cast<DWORD>('B'));
}

TEST(RecordArray, IterationSeesRecordsAppendedMeanwhile) {
    Array a(4, 2, 1);
    RecordIterator it;
    BeginRecords(a.array, &it);
    BYTE *p = nullptr;
    EXPECT_FALSE(NextRecordPtr(&it, &p));  // empty: done at once

    AppendIds(a.array, "AB");
    BeginRecords(a.array, &it);
    std::string seen;
    DWORD v;
    while (NextRecordCopy(&it, &v)) {
        seen += static_cast<char>(v);
        if (v == 'A') AppendIds(a.array, "C");  // grows the block as well
    }
    EXPECT_EQ(seen, "ABC");

    BeginRecords(a.array, &it);
    seen.clear();
    while (NextRecordPtr(&it, &p)) seen += static_cast<char>(*p);
    EXPECT_EQ(seen, "ABC");
}

TEST(RecordArray, FailedGrowthChangesNothing) {
    if (!HostHooksAvailable()) GTEST_SKIP() << "needs the host build's allocation hooks";
    for (DWORD firstSteps : {0u, 1u}) {
        SCOPED_TRACE(std::to_string(firstSteps) + " first steps");
        Array a(4, 2, firstSteps);
        if (firstSteps) AppendIds(a.array, "AB");  // full
        GetRecordPtr(a.array, 1);                  // the cursor now stands after a read
        GrowBuffer before = *a.array->pBuffer;
        DWORD capacity = a.Capacity();

        DWORD n = 'N';
        HostFailAllocation(1, 0);
        EXPECT_FALSE(AppendRecord(a.array, &n));
        HostFailAllocation(1, 0);
        EXPECT_FALSE(InsertRecordAt(a.array, &n, 1));
        HostFailAllocation(0, 0);

        EXPECT_EQ(a.array->pBuffer->pData, before.pData);
        EXPECT_EQ(a.array->pBuffer->cbUsed, before.cbUsed);
        EXPECT_EQ(a.array->pBuffer->dwCursor, before.dwCursor);
        EXPECT_EQ(a.Capacity(), capacity);
        EXPECT_EQ(a.Ids(), firstSteps ? "AB" : "");

        // The next growth works.
        ASSERT_TRUE(InsertRecordAt(a.array, &n, 1));
        EXPECT_EQ(a.Ids(), firstSteps ? "NAB" : "N");
    }
}

TEST(RecordArray, FailedCreationReleasesWhatItGot) {
    if (!HostHooksAvailable()) GTEST_SKIP() << "needs the host build's allocation hooks";
    long before = HostLiveBlocks();
    for (unsigned fail = 1; fail <= 3; ++fail) {
        HostFailAllocation(fail, 0);
        EXPECT_EQ(CreateRecordArray(264, 20, 1), nullptr) << "allocation " << fail;
        HostFailAllocation(0, 0);
        EXPECT_EQ(HostLiveBlocks(), before) << "allocation " << fail;
    }
    RecordArray *a = CreateRecordArray(264, 20, 1);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(HostLiveBlocks(), before + 3);  // array, buffer, data block
    FreeRecordArray(a);
    EXPECT_EQ(HostLiveBlocks(), before);
}

TEST(RecordArray, RefusesSizesItCannotCount) {
    EXPECT_EQ(CreateRecordArray(0, 20, 1), nullptr);
    EXPECT_EQ(CreateRecordArray(264, 0, 1), nullptr);
    EXPECT_EQ(CreateRecordArray(0x10000, 0x10000, 0), nullptr);
    EXPECT_EQ(CreateGrowBuffer(0, 0), nullptr);
}

}  // namespace
