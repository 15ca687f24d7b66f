// The global heap of the host build: fixed blocks with their size kept in a
// header, so that GlobalSize and GlobalReAlloc behave as the library needs.
#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <cstring>

#include "../test_hooks.h"

namespace {

constexpr uint32_t kLiveMagic = 0x4C554D41;  // "LUMA"
constexpr uint32_t kDeadMagic = 0x44454144;  // "DEAD"

struct BlockHeader {
    uint32_t magic;
    uint32_t size;
    uint32_t reserved[2];  // keeps the data 16-byte aligned
};

std::atomic<long> g_live{0};
std::atomic<unsigned long> g_attempts{0};
std::atomic<unsigned> g_failCountdown{0};
std::atomic<int> g_failSticky{0};

// True when this allocation attempt is the one chosen to fail.
bool InjectFailure() {
    g_attempts.fetch_add(1, std::memory_order_relaxed);
    unsigned n = g_failCountdown.load();
    if (n == 0) return false;
    if (n == 1) {
        if (!g_failSticky.load()) g_failCountdown.store(0);
        return true;
    }
    g_failCountdown.store(n - 1);
    return false;
}

BlockHeader *HeaderOf(HGLOBAL h) {
    if (h == nullptr) return nullptr;
    BlockHeader *b = static_cast<BlockHeader *>(h) - 1;
    return b->magic == kLiveMagic ? b : nullptr;
}

}  // namespace

extern "C" {

void HostFailAllocation(unsigned n, int sticky) {
    g_failSticky.store(sticky ? 1 : 0);
    g_failCountdown.store(n);
}

unsigned long HostAllocationCount(void) { return g_attempts.load(); }

long HostLiveBlocks(void) { return g_live.load(); }

HGLOBAL WINAPI GlobalAlloc(UINT uFlags, SIZE_T dwBytes) {
    if (InjectFailure() || dwBytes > 0x7FFF0000u) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    auto *b = static_cast<BlockHeader *>(std::malloc(sizeof(BlockHeader) + dwBytes));
    if (b == nullptr) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    b->magic = kLiveMagic;
    b->size = static_cast<uint32_t>(dwBytes);
    if (uFlags & GMEM_ZEROINIT) std::memset(b + 1, 0, dwBytes);
    g_live.fetch_add(1);
    return b + 1;
}

HGLOBAL WINAPI GlobalReAlloc(HGLOBAL hMem, SIZE_T dwBytes, UINT uFlags) {
    BlockHeader *b = HeaderOf(hMem);
    if (b == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    uint32_t old = b->size;
    if (dwBytes <= old) {  // shrinking never moves
        b->size = static_cast<uint32_t>(dwBytes);
        return hMem;
    }
    // A fixed block may only move when the caller allows it.
    if (!(uFlags & GMEM_MOVEABLE) || InjectFailure() || dwBytes > 0x7FFF0000u) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    auto *nb = static_cast<BlockHeader *>(std::malloc(sizeof(BlockHeader) + dwBytes));
    if (nb == nullptr) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    nb->magic = kLiveMagic;
    nb->size = static_cast<uint32_t>(dwBytes);
    std::memcpy(nb + 1, b + 1, old);
    if (uFlags & GMEM_ZEROINIT) std::memset(reinterpret_cast<char *>(nb + 1) + old, 0, dwBytes - old);
    b->magic = kDeadMagic;
    std::free(b);
    return nb + 1;
}

HGLOBAL WINAPI GlobalFree(HGLOBAL hMem) {
    if (hMem == nullptr) return nullptr;
    BlockHeader *b = HeaderOf(hMem);
    if (b == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return hMem;
    }
    b->magic = kDeadMagic;
    std::free(b);
    g_live.fetch_sub(1);
    return nullptr;
}

SIZE_T WINAPI GlobalSize(HGLOBAL hMem) {
    BlockHeader *b = HeaderOf(hMem);
    if (b == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    return b->size;
}

LPVOID WINAPI GlobalLock(HGLOBAL hMem) {
    if (HeaderOf(hMem) == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return hMem;  // every block is fixed: its handle is its address
}

BOOL WINAPI GlobalUnlock(HGLOBAL hMem) {
    (void)hMem;
    return FALSE;  // a fixed block has no lock count
}

}  // extern "C"
