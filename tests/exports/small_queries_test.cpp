// Version, profile, palette and bitmaps through the exports.
#include <LUMAstat.h>
#include <gtest/gtest.h>

#include <cstring>

#include "platform/test_hooks.h"

namespace {

constexpr DWORD kResourceTypeNotFound = 1813;

TEST(DllVersion, WritesOnlyTheFirst32Bytes) {
    BYTE rec[100];
    std::memset(rec, 0xAB, sizeof rec);
    DWORD cb = 100;
    std::memcpy(rec, &cb, 4);
    SetLastError(7);
    ASSERT_TRUE(PatGetDllVersion(reinterpret_cast<DllVersionInfo *>(rec)));
    EXPECT_EQ(GetLastError(), 0u);
    const DWORD *w = reinterpret_cast<const DWORD *>(rec);
    EXPECT_EQ(w[0], 100u);
    EXPECT_EQ(w[1], 0x01000500u);
    EXPECT_EQ(w[2], 0x02010000u);
    EXPECT_EQ(w[3], 0x03060000u);
    for (int i = 16; i < 32; ++i) EXPECT_EQ(rec[i], 0) << i;
    for (int i = 32; i < 100; ++i) EXPECT_EQ(rec[i], 0xAB) << i;
}

TEST(DllVersion, RefusesShortOrMissingRecords) {
    BYTE rec[32];
    std::memset(rec, 0xAB, sizeof rec);
    DWORD cb = 31;
    std::memcpy(rec, &cb, 4);
    EXPECT_FALSE(PatGetDllVersion(reinterpret_cast<DllVersionInfo *>(rec)));
    EXPECT_EQ(GetLastError(), 87u);
    for (int i = 4; i < 32; ++i) EXPECT_EQ(rec[i], 0xAB);
    EXPECT_FALSE(PatGetDllVersion(nullptr));
    EXPECT_EQ(GetLastError(), 87u);
}

TEST(DllVersion, AllocationFailurePassesTheHeapError) {
    if (!HostHooksAvailable()) GTEST_SKIP() << "needs the host build's allocation hooks";
    DllVersionInfo v{};
    v.cbSize = 32;
    HostFailAllocation(1, 0);
    EXPECT_FALSE(PatGetDllVersion(&v));
    EXPECT_EQ(GetLastError(), 8u);
    EXPECT_EQ(v.dwFileVersion, 0u);
    EXPECT_EQ(v.dwFixedValue1, 0u);
}

struct ProfileCase {
    DWORD classWord;
    DWORD words[5];
};

class Profiles : public ::testing::TestWithParam<ProfileCase> {};

TEST_P(Profiles, FiveWordsPerClass) {
    const ProfileCase &c = GetParam();
    PeripheralProfile p;
    std::memset(&p, 0xEE, sizeof p);
    DWORD cb = 64;
    ASSERT_TRUE(PatGetPeripheralProfile(c.classWord, &p, &cb));
    EXPECT_EQ(GetLastError(), 0u);
    EXPECT_EQ(cb, 20u);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(p.dwValue[i], c.words[i]) << i;
}

INSTANTIATE_TEST_SUITE_P(Classes, Profiles,
                         ::testing::Values(ProfileCase{1, {0x20000, 3, 3, 2, 0}},
                                           ProfileCase{0x00010001, {0x20000, 3, 3, 2, 0}},
                                           ProfileCase{0x80000002, {0x20000, 3, 3, 0, 0}},
                                           ProfileCase{4, {0x20000, 3, 3, 0, 0}},
                                           ProfileCase{8, {0x20000, 3, 3, 0, 0}},
                                           ProfileCase{0x8000, {0x20000, 3, 0x41, 0, 0}}));

TEST(Profiles, RefusalsLeaveTheSizeAt20) {
    PeripheralProfile p;
    std::memset(&p, 0xEE, sizeof p);
    DWORD cb = 64;
    EXPECT_FALSE(PatGetPeripheralProfile(16, &p, &cb));
    EXPECT_EQ(GetLastError(), 87u);
    EXPECT_EQ(cb, 20u);
    cb = 19;
    EXPECT_FALSE(PatGetPeripheralProfile(1, &p, &cb));
    EXPECT_EQ(GetLastError(), 122u);
    EXPECT_EQ(cb, 20u);
    EXPECT_EQ(p.dwValue[0], 0xEEEEEEEEu);
    EXPECT_FALSE(PatGetPeripheralProfile(1, &p, nullptr));
    EXPECT_EQ(GetLastError(), 87u);
    cb = 20;
    EXPECT_FALSE(PatGetPeripheralProfile(1, nullptr, &cb));  // never written through
    EXPECT_EQ(GetLastError(), 87u);
}

TEST(Palette, ThereIsNone) {
    DWORD cb = 0;
    EXPECT_FALSE(PatGetPalette(nullptr, &cb));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(PAT_ERR_PALETTE));
    EXPECT_EQ(cb, 0u);
    BYTE buf[64];
    cb = sizeof buf;
    EXPECT_FALSE(PatGetPalette(buf, &cb));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(PAT_ERR_PALETTE));
    cb = 8;
    EXPECT_FALSE(PatGetPalette(nullptr, &cb));
    EXPECT_EQ(GetLastError(), 87u);
    EXPECT_FALSE(PatGetPalette(buf, nullptr));
    EXPECT_EQ(GetLastError(), 87u);
}

TEST(Bitmaps, NoneAreInTheLibrary) {
    EXPECT_EQ(PatLoadBitmap(nullptr), nullptr);
    EXPECT_EQ(GetLastError(), 87u);
    EXPECT_EQ(PatLoadDIBitmap(nullptr), nullptr);
    EXPECT_EQ(GetLastError(), 87u);
    SetLastError(0);
    EXPECT_EQ(PatLoadDIBitmap("LOGO"), nullptr);
    EXPECT_EQ(GetLastError(), kResourceTypeNotFound);
    SetLastError(0);
    EXPECT_EQ(PatLoadDIBitmap(MAKEINTRESOURCEA(100)), nullptr);
    EXPECT_EQ(GetLastError(), kResourceTypeNotFound);
    SetLastError(0);
    EXPECT_EQ(PatLoadBitmap("LOGO"), nullptr);
    EXPECT_EQ(GetLastError(), kResourceTypeNotFound);
}

TEST(Bitmaps, CreateBitmapInfoLeavesLastError) {
    SetLastError(122);
    EXPECT_EQ(PatCreateBitmapInfo(1, 2, 3), nullptr);
    EXPECT_EQ(GetLastError(), 122u);
}

BitmapInfo *NewInfo(BYTE tag, DWORD count, LPVOID data) {
    auto *b = static_cast<BitmapInfo *>(GlobalAlloc(GPTR, sizeof(BitmapInfo)));
    b->bTag = tag;
    b->nCount = count;
    b->pData = data;
    return b;
}

TEST(Bitmaps, DisposeReleasesEveryBlock) {
    long before = HostLiveBlocks();
    EXPECT_TRUE(PatDisposeBitmapInfo(NewInfo(BITMAP_INFO_SINGLE, 0, GlobalAlloc(GPTR, 10))));
    EXPECT_EQ(GetLastError(), 0u);
    EXPECT_TRUE(PatDisposeBitmapInfo(NewInfo(BITMAP_INFO_SINGLE, 0, nullptr)));
    EXPECT_TRUE(PatDisposeBitmapInfo(NewInfo(BITMAP_INFO_SET, 0, nullptr)));
    auto *array = static_cast<BitmapInfo *>(GlobalAlloc(GPTR, 2 * sizeof(BitmapInfo)));
    array[0].bTag = array[1].bTag = BITMAP_INFO_SINGLE;
    array[0].pData = GlobalAlloc(GPTR, 4);
    array[1].pData = GlobalAlloc(GPTR, 4);
    EXPECT_TRUE(PatDisposeBitmapInfo(NewInfo(BITMAP_INFO_SET, 2, array)));
    EXPECT_EQ(HostLiveBlocks(), before);
}

TEST(Bitmaps, DisposeStopsAtTheFirstWrongTag) {
    long before = HostLiveBlocks();
    auto *array = static_cast<BitmapInfo *>(GlobalAlloc(GPTR, 2 * sizeof(BitmapInfo)));
    array[0].bTag = BITMAP_INFO_SINGLE;
    array[0].pData = GlobalAlloc(GPTR, 4);
    array[1].bTag = BITMAP_INFO_SET;
    BitmapInfo *set = NewInfo(BITMAP_INFO_SET, 2, array);
    EXPECT_FALSE(PatDisposeBitmapInfo(set));
    EXPECT_EQ(GetLastError(), 87u);
    if (HostHooksAvailable()) {
        EXPECT_EQ(HostLiveBlocks(), before + 2);  // the set and its array stay
    }
    GlobalFree(array);
    GlobalFree(set);

    BitmapInfo bad{};
    bad.bTag = 0xC7;
    EXPECT_FALSE(PatDisposeBitmapInfo(&bad));
    EXPECT_EQ(GetLastError(), 87u);
    EXPECT_FALSE(PatDisposeBitmapInfo(nullptr));
    EXPECT_EQ(GetLastError(), 87u);
    BitmapInfo noArray{};
    noArray.bTag = BITMAP_INFO_SET;
    noArray.nCount = 3;
    EXPECT_FALSE(PatDisposeBitmapInfo(&noArray));  // count without an array
    EXPECT_EQ(GetLastError(), 87u);
}

}  // namespace
