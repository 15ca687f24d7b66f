// The sixteen exports: argument checks, one worker each, and the last-error
// value on every path.
#include <LUMAstat.h>

#include "../model/info_node.h"
#include "../pjl/query_builder.h"
#include "../pjl/reply_intake.h"
#include "../status/locale.h"
#include "frame.h"
#include "small_queries.h"

namespace {

constexpr BYTE kQueryRevision = 2;
constexpr BYTE kStatusRevision = 3;
constexpr BYTE kTrayNameRevision = 0x97;
constexpr BYTE kCodeNameRevision = 0x96;

// Revision byte that each class requires of PatPMInfoToPrnInfoEx.
BYTE PMInfoRevision(DWORD classWord) {
    switch (classWord & PAT_DEVICE_CLASS_MASK) {
        case 0x0001: return 0x64;
        case 0x0002: return 0x65;
        case 0x0004: return 0x67;
        case 0x0008: return 0x66;
        case 0x8000: return 0x68;
        default: return 0;
    }
}

// Placeholder result of a worker that a later release brings.
BOOL NotYetImplemented() { return Fail(ERROR_CALL_NOT_IMPLEMENTED); }

InfoNode *CreateQueryRoot() { return CreateInfoNode(nullptr, INFO_QUERY_ROOT, nullptr, 0); }

// A tree that is not handed out is released whole.
void FreeTree(InfoNode *node) {
    while (node != nullptr) {
        FreeTree(node->pFirstChild);
        InfoNode *next = node->pNextSibling;
        GlobalFree(node);
        node = next;
    }
}

// The outer layer of both query exports around their builder.
template <typename Builder>
InfoNode *CreateQueryTree(const PrnInfoEx *info, DWORD revision, Builder build) {
    if (info == nullptr || !RevisionIs(revision, kQueryRevision)) {
        Fail(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    InfoNode *root = CreateQueryRoot();
    if (root == nullptr) {
        Fail(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    DWORD code = build(root);
    if (code != ERROR_SUCCESS) {
        FreeTree(root);
        Fail(code);
        return nullptr;
    }
    Succeed();
    return root;
}

}  // namespace

extern "C" {

LPVOID WINAPI PatCreateBitmapInfo(DWORD, DWORD, DWORD) { return nullptr; }

BOOL WINAPI PatDisposeBitmapInfo(BitmapInfo *pBitmapInfo) { return DisposeBitmapInfo(pBitmapInfo); }

HBITMAP WINAPI PatLoadBitmap(LPCSTR pszBitmapName) { return LoadLibraryBitmap(pszBitmapName); }

BOOL WINAPI PatGetStatusString(DWORD dwDeviceClass, const InfoNode *pStatusTree, DWORD bRevision, DWORD bTextForm,
                               LPSTR pszText, LPDWORD pcchText) {
    (void)bTextForm;
    (void)pszText;
    if (pStatusTree == nullptr || pcchText == nullptr || !RevisionIs(bRevision, kStatusRevision) ||
        !IsDeviceClass(dwDeviceClass))
        return Fail(ERROR_INVALID_PARAMETER);
    return NotYetImplemented();
}

BOOL WINAPI PatGetDeviceName(DWORD dwNameKind, LPCVOID pItem, DWORD bRevision, LPSTR pszDeviceName,
                             LPDWORD pcchDeviceName) {
    (void)pszDeviceName;
    if (pcchDeviceName == nullptr) return Fail(ERROR_INVALID_PARAMETER);
    switch (dwNameKind) {
        case 1:
        case 2:
            if (!RevisionIs(bRevision, kTrayNameRevision)) return Fail(ERROR_INVALID_PARAMETER);
            break;
        case 3:
            if (!RevisionIs(bRevision, kCodeNameRevision)) return Fail(ERROR_INVALID_PARAMETER);
            break;
        default: return Fail(ERROR_INVALID_PARAMETER);
    }
    if (pItem == nullptr) return Fail(ERROR_INVALID_PARAMETER);
    return NotYetImplemented();
}

BOOL WINAPI PatPMInfoToPrnInfoEx(DWORD dwDeviceClass, LPCVOID pPMInfo, DWORD bRevision, DWORD dwFlags,
                                 PrnInfoEx *pPrnInfoEx) {
    (void)dwFlags;
    if (pPMInfo == nullptr || pPrnInfoEx == nullptr) return Fail(ERROR_INVALID_PARAMETER);
    if (!IsDeviceClass(dwDeviceClass) || !VersionAccepted(pPrnInfoEx) ||
        !RevisionIs(bRevision, PMInfoRevision(dwDeviceClass)))
        return Fail(ERROR_INVALID_PARAMETER);
    return NotYetImplemented();
}

BOOL WINAPI PatPrnInfoExToPrnInfo(const PrnInfoEx *pPrnInfoEx, LPVOID pPrnInfo, DWORD dwFlags) {
    (void)dwFlags;
    if (pPrnInfoEx == nullptr || pPrnInfo == nullptr || !VersionAccepted(pPrnInfoEx))
        return Fail(ERROR_INVALID_PARAMETER);
    return NotYetImplemented();
}

InfoNode *WINAPI PatCreateQueryInfo(const PrnInfoEx *pPrnInfoEx, DWORD bRevision, DWORD dwQueryFlags) {
    return CreateQueryTree(pPrnInfoEx, bRevision,
                           [&](InfoNode *root) { return BuildStatusQuery(pPrnInfoEx, dwQueryFlags, root); });
}

InfoNode *WINAPI PatCreateEmulUniqQueryInfo(const PrnInfoEx *pPrnInfoEx, DWORD bRevision, DWORD wEmulClass,
                                            DWORD dwReserved) {
    (void)dwReserved;
    // The record is checked for presence only; nothing of it is read.
    return CreateQueryTree(pPrnInfoEx, bRevision,
                           [&](InfoNode *root) { return BuildEmulQuery(static_cast<WORD>(wEmulClass), root); });
}

BOOL WINAPI PatSetCentroDataTo(const InfoNode *pCentroData, DWORD dwReserved, PrnInfoEx *pPrnInfoEx,
                               DWORD bRevision) {
    (void)dwReserved;
    if (pCentroData == nullptr || pPrnInfoEx == nullptr || !RevisionIs(bRevision, kQueryRevision) ||
        (pCentroData->id != INFO_REPLY_ROOT && pCentroData->id != INFO_EMUL_REPLY_ROOT))
        return Fail(ERROR_INVALID_PARAMETER);
    return Report(TakeReply(pCentroData, pPrnInfoEx));
}

BOOL WINAPI PatGetDllVersion(DllVersionInfo *pVersion) { return GetDllVersion(pVersion); }

BOOL WINAPI PatGetPeripheralProfile(DWORD dwDeviceClass, PeripheralProfile *pProfile, LPDWORD pcbProfile) {
    return GetPeripheralProfile(dwDeviceClass, pProfile, pcbProfile);
}

BOOL WINAPI PatSetLocale(LPCSTR pszLocale) {
    if (pszLocale == nullptr) return Fail(ERROR_INVALID_PARAMETER);
    return Report(SetLocaleByName(pszLocale));
}

BOOL WINAPI PatGetStatusHelpFileName(DWORD dwDeviceClass, const PrnInfoEx *pPrnInfoEx, DWORD dwReserved,
                                     LPSTR pszFileName, LPDWORD pcchFileName) {
    (void)dwReserved;
    (void)pszFileName;
    if (pcchFileName == nullptr || pPrnInfoEx == nullptr || !IsDeviceClass(dwDeviceClass))
        return Fail(ERROR_INVALID_PARAMETER);
    return NotYetImplemented();
}

HGLOBAL WINAPI PatLoadDIBitmap(LPCSTR pszBitmapName) { return LoadLibraryDIBitmap(pszBitmapName); }

BOOL WINAPI PatGetPalette(LPVOID pPalette, LPDWORD pcbPalette) { return GetPalette(pPalette, pcbPalette); }

}  // extern "C"
