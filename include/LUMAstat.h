/*
 * LUMAstat.h - the interface of LUMAstat.dll, the model data library of the
 * printer status monitor.
 *
 * A monitor program includes this header, links LUMAstat.lib (or
 * libLUMAstat.dll.a) and calls the sixteen exports below. Every record here
 * has a fixed 32-bit layout that the library and the monitor share; the
 * checks at the end of this file hold them to it.
 *
 * Everything the library hands out (query nodes, list items, slot strings)
 * is a block of the Win32 global heap that the caller releases with
 * GlobalFree.
 */
#ifndef LUMASTAT_H
#define LUMASTAT_H

#include <stddef.h>
#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(LUMASTAT_BUILD) && !defined(_WIN32)
#define LUMAPI __attribute__((visibility("default")))
#else
#define LUMAPI
#endif

/* ---- error codes (last-error values) ---------------------------------- */

#define PAT_ERR_LOCALE 0x20000001L  /* PatSetLocale: unknown locale name */
#define PAT_ERR_REPLY 0x20000002L   /* PatSetCentroDataTo: reply does not answer its query */
#define PAT_ERR_PALETTE 0x20000003L /* PatGetPalette: the library has no palette */
#define PAT_ERR_MESSAGE 0x2000FFFFL /* a message, table row or string resource is missing */

/* ---- device classes (low 16 bits of a class word) ---------------------- */

#define PAT_DEVICE_CLASS_MASK 0x0000FFFFUL
#define PAT_DEVICE_OPTION_BIT 0x80000000UL

/* ---- information nodes ------------------------------------------------- */

/* Node ids. */
#define INFO_QUERY_ROOT 1
#define INFO_REPLY_ROOT 2
#define INFO_EMUL_REPLY_ROOT 3
#define INFO_STATUS_ROOT 10
#define INFO_STATUS_BASE 2
#define INFO_PJL_TEXT 1000
#define INFO_DEVICE_ID 1002

/* The node header; cbData data bytes follow it in the same block. */
typedef struct InfoNode {
    LONG id;
    struct InfoNode *pParent;
    struct InfoNode *pFirstChild;
    struct InfoNode *pNextSibling;
    struct InfoNode *pLastChild;
    DWORD cbData;
} InfoNode;

#define INFO_NODE_DATA(node) ((BYTE *)((InfoNode *)(node) + 1))

/* ---- printer information record and its list items -------------------- */

/* The lowest dwVersion that the checking exports accept. */
#define PRNINFOEX_MIN_VERSION 1173UL

/* Header shared by every list item. */
typedef struct ListItem {
    struct ListItem *pNext;
    DWORD dwSize; /* size of the whole item, header included */
} ListItem;

typedef struct EngineStatus {
    struct EngineStatus *pNext;
    DWORD dwSize;
    WORD wCode; /* low 16 bits of dwCode */
    WORD wReserved;
    DWORD dwCode;
    CHAR szText[256];
} EngineStatus;

typedef struct LoadedEmul {
    struct LoadedEmul *pNext;
    DWORD dwSize;
    WORD wEmulCode;
    CHAR szVersion[18];
} LoadedEmul;

typedef struct LoadedFont {
    struct LoadedFont *pNext;
    DWORD dwSize;
    WORD wFontCode;
    WORD wReserved;
} LoadedFont;

typedef struct TrayInfo {
    struct TrayInfo *pNext;
    DWORD dwSize;
    WORD wTrayCode; /* 1 bypass tray, 3 to 7 trays 1 to 5, 0 unknown */
    WORD wPaperSize;
    WORD wPaperLevel; /* percent */
    WORD wMediaType;
    DWORD dwTrayFlags;
} TrayInfo;

typedef struct OutBinInfo {
    struct OutBinInfo *pNext;
    DWORD dwSize;
    WORD wBinCode;
    WORD wBinState; /* 0 ready or unknown, 1 paper present, 2 full */
} OutBinInfo;

typedef struct DeviceInfo {
    struct DeviceInfo *pNext;
    DWORD dwSize;
    WORD wDeviceCode;
    WORD wReserved;
} DeviceInfo;

typedef struct EmulUniqInfo {
    struct EmulUniqInfo *pNext;
    DWORD dwSize;
    WORD wEmulCode;
    WORD wReserved;
    DWORD dwMemoryUsage;   /* 1 page, 2 user, 0 unknown */
    CHAR szOther[36];
    DWORD dwImageRotation; /* 1 possible, 2 impossible, 0 unknown */
} EmulUniqInfo;

typedef struct CounterInfo {
    struct CounterInfo *pNext;
    DWORD dwSize;
    WORD wCounterCode;
    WORD wReserved;
    DWORD dwValue;
} CounterInfo;

typedef struct SupplyInfo {
    struct SupplyInfo *pNext;
    DWORD dwSize;
    WORD wSupplyCode;
    WORD wReserved;
    DWORD dwValue;
} SupplyInfo;

typedef struct FuncInfo {
    struct FuncInfo *pNext;
    DWORD dwSize;
    DWORD dwFuncCode;
} FuncInfo;

typedef struct FuncpkgInfo {
    struct FuncpkgInfo *pNext;
    DWORD dwSize;
    WORD wPackageCode;
    CHAR szName[33];
    CHAR szText[257];
    DWORD dwStatus; /* 1 active */
} FuncpkgInfo;

typedef struct SalespkgInfo {
    struct SalespkgInfo *pNext;
    DWORD dwSize;
    WORD wPackageCode;
    CHAR szName[33];
    CHAR szText[257];
    DWORD dwStatus;
} SalespkgInfo;

/* The printer information record: 224 bytes, zeroed by the caller before
 * first use, with dwVersion set to PRNINFOEX_MIN_VERSION or more. */
typedef struct PrnInfoEx {
    DWORD dwVersion;
    DWORD dwReserved4;
    DWORD nEngineStatus;
    EngineStatus *pEngineStatus;
    LPSTR pModelName;
    LPSTR pMakerName;
    LPSTR pDescription;
    LPSTR pSYSVersion;
    LPSTR pMainProgVersion;
    LPSTR pKPSVersion;
    DWORD dwMemorySize; /* KB */
    BYTE bOnline;
    BYTE bModelCode;
    BYTE bOffline;
    BYTE bError;
    BYTE bPrinting;
    BYTE bNoResponse;
    BYTE bReserved50[2];
    DWORD dwEmulValue;
    DWORD nLoadedEmul;
    LoadedEmul *pLoadedEmul;
    DWORD nLoadedFont;
    LoadedFont *pLoadedFont;
    DWORD dwTrayValue;
    DWORD nTrayInfo;
    TrayInfo *pTrayInfo;
    DWORD dwOutBinValue;
    DWORD nOutBinInfo;
    OutBinInfo *pOutBinInfo;
    DWORD nDeviceInfo;
    DeviceInfo *pDeviceInfo;
    DWORD nEmulUniqInfo;
    EmulUniqInfo *pEmulUniqInfo;
    BYTE bReserved112[24];
    DWORD nCounterInfo;
    CounterInfo *pCounterInfo;
    DWORD nSupplyInfo;
    SupplyInfo *pSupplyInfo;
    DWORD nColorCorrection;
    ListItem *pColorCorrection;
    DWORD nCustomMediaInfo;
    ListItem *pCustomMediaInfo;
    BYTE bHasFunc2008;
    BYTE bReserved169[11];
    BYTE bMarkingType;
    BYTE bReserved181[3];
    DWORD nFuncpkgInfo;
    FuncpkgInfo *pFuncpkgInfo;
    DWORD nFuncInfo;
    FuncInfo *pFuncInfo;
    DWORD dwReserved200;
    DWORD nSalespkgInfo;
    SalespkgInfo *pSalespkgInfo;
    DWORD dwExtraInfo1;
    DWORD dwExtraInfo2;
    DWORD dwExtraInfo3;
} PrnInfoEx;

/* ---- records of the small queries -------------------------------------- */

typedef struct DllVersionInfo {
    DWORD cbSize;        /* set by the caller, at least 32 */
    DWORD dwFileVersion; /* major, minor, third, fourth from the top byte down */
    DWORD dwFixedValue1;
    DWORD dwFixedValue2;
    DWORD dwReserved[4];
} DllVersionInfo;

typedef struct PeripheralProfile {
    DWORD dwValue[5];
} PeripheralProfile;

#define BITMAP_INFO_SINGLE 0xC8
#define BITMAP_INFO_SET 0xC9

typedef struct BitmapInfo {
    BYTE bTag;
    BYTE bReserved[3];
    DWORD nCount; /* sets: number of elements in pData */
    DWORD dwReserved;
    LPVOID pData; /* singles: the data block; sets: the array of elements */
} BitmapInfo;

/* ---- exports (ordinals 2 to 17, stdcall) ------------------------------- */

LUMAPI LPVOID WINAPI PatCreateBitmapInfo(DWORD dwUnused1, DWORD dwUnused2, DWORD dwUnused3);
LUMAPI BOOL WINAPI PatDisposeBitmapInfo(BitmapInfo *pBitmapInfo);
LUMAPI HBITMAP WINAPI PatLoadBitmap(LPCSTR pszBitmapName);
LUMAPI BOOL WINAPI PatGetStatusString(DWORD dwDeviceClass, const InfoNode *pStatusTree, DWORD bRevision,
                                      DWORD bTextForm, LPSTR pszText, LPDWORD pcchText);
LUMAPI BOOL WINAPI PatGetDeviceName(DWORD dwNameKind, LPCVOID pItem, DWORD bRevision, LPSTR pszDeviceName,
                                    LPDWORD pcchDeviceName);
LUMAPI BOOL WINAPI PatPMInfoToPrnInfoEx(DWORD dwDeviceClass, LPCVOID pPMInfo, DWORD bRevision, DWORD dwFlags,
                                        PrnInfoEx *pPrnInfoEx);
LUMAPI BOOL WINAPI PatPrnInfoExToPrnInfo(const PrnInfoEx *pPrnInfoEx, LPVOID pPrnInfo, DWORD dwFlags);
LUMAPI InfoNode *WINAPI PatCreateQueryInfo(const PrnInfoEx *pPrnInfoEx, DWORD bRevision, DWORD dwQueryFlags);
LUMAPI InfoNode *WINAPI PatCreateEmulUniqQueryInfo(const PrnInfoEx *pPrnInfoEx, DWORD bRevision,
                                                   DWORD wEmulClass, DWORD dwReserved);
LUMAPI BOOL WINAPI PatSetCentroDataTo(const InfoNode *pCentroData, DWORD dwReserved, PrnInfoEx *pPrnInfoEx,
                                      DWORD bRevision);
LUMAPI BOOL WINAPI PatGetDllVersion(DllVersionInfo *pVersion);
LUMAPI BOOL WINAPI PatGetPeripheralProfile(DWORD dwDeviceClass, PeripheralProfile *pProfile, LPDWORD pcbProfile);
LUMAPI BOOL WINAPI PatSetLocale(LPCSTR pszLocale);
LUMAPI BOOL WINAPI PatGetStatusHelpFileName(DWORD dwDeviceClass, const PrnInfoEx *pPrnInfoEx, DWORD dwReserved,
                                            LPSTR pszFileName, LPDWORD pcchFileName);
LUMAPI HGLOBAL WINAPI PatLoadDIBitmap(LPCSTR pszBitmapName);
LUMAPI BOOL WINAPI PatGetPalette(LPVOID pPalette, LPDWORD pcbPalette);

/* ---- layout checks ----------------------------------------------------- */

#ifdef __cplusplus
#define LUMA_LAYOUT(cond) static_assert(cond, #cond)
#else
#define LUMA_LAYOUT(cond) _Static_assert(cond, #cond)
#endif

LUMA_LAYOUT(sizeof(void *) == 4);
LUMA_LAYOUT(sizeof(InfoNode) == 24);
LUMA_LAYOUT(offsetof(InfoNode, pParent) == 4 && offsetof(InfoNode, pFirstChild) == 8);
LUMA_LAYOUT(offsetof(InfoNode, pNextSibling) == 12 && offsetof(InfoNode, pLastChild) == 16);
LUMA_LAYOUT(offsetof(InfoNode, cbData) == 20);

LUMA_LAYOUT(sizeof(ListItem) == 8 && offsetof(ListItem, dwSize) == 4);
LUMA_LAYOUT(sizeof(EngineStatus) == 272 && offsetof(EngineStatus, wCode) == 8);
LUMA_LAYOUT(offsetof(EngineStatus, dwCode) == 12 && offsetof(EngineStatus, szText) == 16);
LUMA_LAYOUT(offsetof(EngineStatus, dwSize) == 4 && offsetof(EngineStatus, wReserved) == 10);
LUMA_LAYOUT(sizeof(LoadedEmul) == 28 && offsetof(LoadedEmul, szVersion) == 10);
LUMA_LAYOUT(offsetof(LoadedEmul, wEmulCode) == 8 && offsetof(LoadedFont, wReserved) == 10);
LUMA_LAYOUT(sizeof(LoadedFont) == 12 && offsetof(LoadedFont, wFontCode) == 8);
LUMA_LAYOUT(sizeof(TrayInfo) == 20 && offsetof(TrayInfo, wTrayCode) == 8);
LUMA_LAYOUT(offsetof(TrayInfo, wPaperSize) == 10 && offsetof(TrayInfo, wPaperLevel) == 12);
LUMA_LAYOUT(offsetof(TrayInfo, wMediaType) == 14 && offsetof(TrayInfo, dwTrayFlags) == 16);
LUMA_LAYOUT(sizeof(OutBinInfo) == 12 && offsetof(OutBinInfo, wBinState) == 10);
LUMA_LAYOUT(offsetof(OutBinInfo, wBinCode) == 8 && offsetof(DeviceInfo, wReserved) == 10);
LUMA_LAYOUT(sizeof(DeviceInfo) == 12 && offsetof(DeviceInfo, wDeviceCode) == 8);
LUMA_LAYOUT(sizeof(EmulUniqInfo) == 56 && offsetof(EmulUniqInfo, dwMemoryUsage) == 12);
LUMA_LAYOUT(offsetof(EmulUniqInfo, szOther) == 16 && offsetof(EmulUniqInfo, dwImageRotation) == 52);
LUMA_LAYOUT(offsetof(EmulUniqInfo, wEmulCode) == 8 && offsetof(EmulUniqInfo, wReserved) == 10);
LUMA_LAYOUT(sizeof(CounterInfo) == 16 && offsetof(CounterInfo, dwValue) == 12);
LUMA_LAYOUT(sizeof(SupplyInfo) == 16 && offsetof(SupplyInfo, dwValue) == 12);
LUMA_LAYOUT(offsetof(CounterInfo, wCounterCode) == 8 && offsetof(SupplyInfo, wSupplyCode) == 8);
LUMA_LAYOUT(sizeof(FuncInfo) == 12 && offsetof(FuncInfo, dwFuncCode) == 8);
LUMA_LAYOUT(sizeof(FuncpkgInfo) == 304 && offsetof(FuncpkgInfo, szName) == 10);
LUMA_LAYOUT(offsetof(FuncpkgInfo, szText) == 43 && offsetof(FuncpkgInfo, dwStatus) == 300);
LUMA_LAYOUT(offsetof(FuncpkgInfo, wPackageCode) == 8 && offsetof(SalespkgInfo, wPackageCode) == 8);
LUMA_LAYOUT(sizeof(SalespkgInfo) == 304 && offsetof(SalespkgInfo, dwStatus) == 300);
LUMA_LAYOUT(offsetof(SalespkgInfo, szName) == 10 && offsetof(SalespkgInfo, szText) == 43);

LUMA_LAYOUT(sizeof(PrnInfoEx) == 224);
LUMA_LAYOUT(offsetof(PrnInfoEx, nEngineStatus) == 8 && offsetof(PrnInfoEx, pEngineStatus) == 12);
LUMA_LAYOUT(offsetof(PrnInfoEx, dwReserved4) == 4);
LUMA_LAYOUT(offsetof(PrnInfoEx, pModelName) == 16 && offsetof(PrnInfoEx, pKPSVersion) == 36);
LUMA_LAYOUT(offsetof(PrnInfoEx, pMakerName) == 20 && offsetof(PrnInfoEx, pDescription) == 24);
LUMA_LAYOUT(offsetof(PrnInfoEx, pSYSVersion) == 28 && offsetof(PrnInfoEx, pMainProgVersion) == 32);
LUMA_LAYOUT(offsetof(PrnInfoEx, dwMemorySize) == 40 && offsetof(PrnInfoEx, bOnline) == 44);
LUMA_LAYOUT(offsetof(PrnInfoEx, bModelCode) == 45 && offsetof(PrnInfoEx, bNoResponse) == 49);
LUMA_LAYOUT(offsetof(PrnInfoEx, bOffline) == 46 && offsetof(PrnInfoEx, bError) == 47);
LUMA_LAYOUT(offsetof(PrnInfoEx, bPrinting) == 48 && offsetof(PrnInfoEx, bReserved50) == 50);
LUMA_LAYOUT(offsetof(PrnInfoEx, pLoadedEmul) == 60 && offsetof(PrnInfoEx, nLoadedFont) == 64);
LUMA_LAYOUT(offsetof(PrnInfoEx, dwEmulValue) == 52 && offsetof(PrnInfoEx, nLoadedEmul) == 56);
LUMA_LAYOUT(offsetof(PrnInfoEx, pLoadedFont) == 68 && offsetof(PrnInfoEx, dwTrayValue) == 72);
LUMA_LAYOUT(offsetof(PrnInfoEx, nTrayInfo) == 76 && offsetof(PrnInfoEx, pTrayInfo) == 80);
LUMA_LAYOUT(offsetof(PrnInfoEx, dwOutBinValue) == 84 && offsetof(PrnInfoEx, pOutBinInfo) == 92);
LUMA_LAYOUT(offsetof(PrnInfoEx, nOutBinInfo) == 88 && offsetof(PrnInfoEx, pDeviceInfo) == 100);
LUMA_LAYOUT(offsetof(PrnInfoEx, nEmulUniqInfo) == 104 && offsetof(PrnInfoEx, bReserved112) == 112);
LUMA_LAYOUT(offsetof(PrnInfoEx, nDeviceInfo) == 96 && offsetof(PrnInfoEx, pEmulUniqInfo) == 108);
LUMA_LAYOUT(offsetof(PrnInfoEx, nCounterInfo) == 136 && offsetof(PrnInfoEx, pSupplyInfo) == 148);
LUMA_LAYOUT(offsetof(PrnInfoEx, pCounterInfo) == 140 && offsetof(PrnInfoEx, nSupplyInfo) == 144);
LUMA_LAYOUT(offsetof(PrnInfoEx, pColorCorrection) == 156 && offsetof(PrnInfoEx, nCustomMediaInfo) == 160);
LUMA_LAYOUT(offsetof(PrnInfoEx, nColorCorrection) == 152 && offsetof(PrnInfoEx, pCustomMediaInfo) == 164);
LUMA_LAYOUT(offsetof(PrnInfoEx, bHasFunc2008) == 168 && offsetof(PrnInfoEx, bMarkingType) == 180);
LUMA_LAYOUT(offsetof(PrnInfoEx, bReserved169) == 169 && offsetof(PrnInfoEx, bReserved181) == 181);
LUMA_LAYOUT(offsetof(PrnInfoEx, pFuncpkgInfo) == 188 && offsetof(PrnInfoEx, nFuncInfo) == 192);
LUMA_LAYOUT(offsetof(PrnInfoEx, dwReserved200) == 200);
LUMA_LAYOUT(offsetof(PrnInfoEx, nFuncpkgInfo) == 184 && offsetof(PrnInfoEx, pFuncInfo) == 196);
LUMA_LAYOUT(offsetof(PrnInfoEx, nSalespkgInfo) == 204 && offsetof(PrnInfoEx, pSalespkgInfo) == 208);
LUMA_LAYOUT(offsetof(PrnInfoEx, dwExtraInfo1) == 212 && offsetof(PrnInfoEx, dwExtraInfo3) == 220);
LUMA_LAYOUT(offsetof(PrnInfoEx, dwExtraInfo2) == 216);

LUMA_LAYOUT(sizeof(DllVersionInfo) == 32 && sizeof(PeripheralProfile) == 20);
LUMA_LAYOUT(sizeof(BitmapInfo) == 16 && offsetof(BitmapInfo, pData) == 12);

#undef LUMA_LAYOUT

#ifdef __cplusplus
}
#endif

#endif /* LUMASTAT_H */
