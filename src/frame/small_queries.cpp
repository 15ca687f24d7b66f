#include "small_queries.h"

#include <string.h>

#include "frame.h"
#include "module.h"

namespace {

constexpr DWORD kVersionRecordSize = 32;
constexpr DWORD kFixedValue1 = 0x02010000;
constexpr DWORD kFixedValue2 = 0x03060000;
constexpr DWORD kProfileSize = sizeof(PeripheralProfile);
constexpr WORD kPaletteVersion = 0x0300;

struct ProfileRow {
    WORD wClass;
    PeripheralProfile profile;
};

const ProfileRow ProfileTable[] = {
    {0x0001, {{0x00020000, 3, 3, 2, 0}}},
    {0x0002, {{0x00020000, 3, 3, 0, 0}}},
    {0x0004, {{0x00020000, 3, 3, 0, 0}}},
    {0x0008, {{0x00020000, 3, 3, 0, 0}}},
    {0x8000, {{0x00020000, 3, 0x41, 0, 0}}},
    {0, {{0, 0, 0, 0, 0}}},
};

// RT_BITMAP, spelled out so that no header's flavour of the macro matters.
LPCSTR BitmapType() { return reinterpret_cast<LPCSTR>(static_cast<ULONG_PTR>(2)); }

}  // namespace

const PaletteEntryRow PaletteTable[] = {
    {0, 0, 0, PALETTE_END_FLAGS},
};

DWORD PackFileVersion(DWORD versionMS, DWORD versionLS) {
    // Parts of 256 or more are not masked: they spill into the next byte.
    DWORD v = versionMS >> 16;
    v = (v << 8) | (versionMS & 0xFFFF);
    v = (v << 8) | (versionLS >> 16);
    v = (v << 8) | (versionLS & 0xFFFF);
    return v;
}

BOOL GetDllVersion(DllVersionInfo *version) {
    if (version == nullptr || version->cbSize < kVersionRecordSize) return Fail(ERROR_INVALID_PARAMETER);
    DWORD cbSize = version->cbSize;
    memset(version, 0, kVersionRecordSize);
    version->cbSize = cbSize;

    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(LibraryModule(), path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) {
        // A cut path would name another file; the platform says why.
        DWORD err = GetLastError();
        return Fail(n == 0 ? err : ERROR_INSUFFICIENT_BUFFER);
    }
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(path, &handle);
    if (size == 0) return Fail(GetLastError());
    HGLOBAL block = GlobalAlloc(GMEM_FIXED, size);
    if (block == nullptr) return Fail(GetLastError());

    BOOL ok = GetFileVersionInfoA(path, handle, size, block);
    if (ok) {
        VS_FIXEDFILEINFO *fixed = nullptr;
        UINT len = 0;
        ok = VerQueryValueA(block, "\\", reinterpret_cast<LPVOID *>(&fixed), &len);
        if (ok && fixed != nullptr && len >= sizeof(VS_FIXEDFILEINFO))
            version->dwFileVersion = PackFileVersion(fixed->dwFileVersionMS, fixed->dwFileVersionLS);
    }
    DWORD err = ok ? ERROR_SUCCESS : GetLastError();
    GlobalFree(block);
    if (!ok && err != ERROR_SUCCESS) return Fail(err);

    version->dwFixedValue1 = kFixedValue1;
    version->dwFixedValue2 = kFixedValue2;
    return Succeed();
}

BOOL GetPeripheralProfile(DWORD deviceClass, PeripheralProfile *profile, LPDWORD pcbProfile) {
    if (pcbProfile == nullptr) return Fail(ERROR_INVALID_PARAMETER);
    const WORD cls = static_cast<WORD>(deviceClass);
    const ProfileRow *row = ProfileTable;
    while (row->wClass != 0 && row->wClass != cls) ++row;
    if (row->wClass == 0) {
        *pcbProfile = kProfileSize;
        return Fail(ERROR_INVALID_PARAMETER);
    }
    if (*pcbProfile < kProfileSize) {
        *pcbProfile = kProfileSize;
        return Fail(ERROR_INSUFFICIENT_BUFFER);
    }
    if (profile == nullptr) return Fail(ERROR_INVALID_PARAMETER);
    *profile = row->profile;
    *pcbProfile = kProfileSize;
    return Succeed();
}

BOOL GetPalette(LPVOID palette, LPDWORD pcbPalette) {
    if (pcbPalette == nullptr) return Fail(ERROR_INVALID_PARAMETER);
    if (*pcbPalette != 0 && palette == nullptr) return Fail(ERROR_INVALID_PARAMETER);
    DWORD count = 0;
    while (PaletteTable[count].flags != PALETTE_END_FLAGS) ++count;
    if (count == 0) return Fail(PAT_ERR_PALETTE);
    DWORD needed = 4 + 4 * count;
    if (*pcbPalette < needed) {
        *pcbPalette = needed;
        return Fail(ERROR_INSUFFICIENT_BUFFER);
    }
    BYTE *out = static_cast<BYTE *>(palette);
    const WORD header[2] = {kPaletteVersion, static_cast<WORD>(count)};
    memcpy(out, header, sizeof header);
    memcpy(out + 4, PaletteTable, 4 * count);
    return Succeed();
}

HBITMAP LoadLibraryBitmap(LPCSTR name) {
    if (name == nullptr) {
        Fail(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    HBITMAP bitmap = LoadBitmapA(LibraryModule(), name);
    if (bitmap != nullptr) Succeed();
    return bitmap;  // on failure the loader's last-error value stands
}

HGLOBAL LoadLibraryDIBitmap(LPCSTR name) {
    if (name == nullptr) {
        Fail(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    HRSRC info = FindResourceA(LibraryModule(), name, BitmapType());
    HGLOBAL data = info ? LoadResource(LibraryModule(), info) : nullptr;
    if (data == nullptr) {
        Fail(GetLastError());
        return nullptr;
    }
    Succeed();
    return data;
}

BOOL DisposeBitmapInfo(BitmapInfo *info) {
    if (info == nullptr || (info->bTag != BITMAP_INFO_SINGLE && info->bTag != BITMAP_INFO_SET))
        return Fail(ERROR_INVALID_PARAMETER);
    if (info->bTag == BITMAP_INFO_SET) {
        BitmapInfo *elements = static_cast<BitmapInfo *>(info->pData);
        for (DWORD i = 0; i < info->nCount; ++i) {
            if (elements == nullptr || elements[i].bTag != BITMAP_INFO_SINGLE) return Fail(ERROR_INVALID_PARAMETER);
            if (elements[i].pData != nullptr) GlobalFree(elements[i].pData);
        }
    }
    if (info->pData != nullptr) GlobalFree(info->pData);
    GlobalFree(info);
    return Succeed();
}
