// The small queries: version, peripheral profile, palette and bitmaps.
#ifndef LUMA_FRAME_SMALL_QUERIES_H
#define LUMA_FRAME_SMALL_QUERIES_H

#include <LUMAstat.h>

struct PaletteEntryRow {
    BYTE red, green, blue, flags;
};

#define PALETTE_END_FLAGS 0xFF

// Ended by the row whose flags byte is PALETTE_END_FLAGS; this model has no
// colours of its own.
extern const PaletteEntryRow PaletteTable[];

DWORD PackFileVersion(DWORD versionMS, DWORD versionLS);

BOOL GetDllVersion(DllVersionInfo *version);
BOOL GetPeripheralProfile(DWORD deviceClass, PeripheralProfile *profile, LPDWORD pcbProfile);
BOOL GetPalette(LPVOID palette, LPDWORD pcbPalette);
HBITMAP LoadLibraryBitmap(LPCSTR name);
HGLOBAL LoadLibraryDIBitmap(LPCSTR name);
BOOL DisposeBitmapInfo(BitmapInfo *info);

#endif
