// How exports report: the code goes to the thread's last-error value and the
// result says success or failure.
#ifndef LUMA_FRAME_FRAME_H
#define LUMA_FRAME_FRAME_H

#include <LUMAstat.h>

inline BOOL Fail(DWORD code) {
    SetLastError(code);
    return FALSE;
}

inline BOOL Succeed() {
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}

// Stores a worker's code and turns it into the export's result.
inline BOOL Report(DWORD code) { return code == ERROR_SUCCESS ? Succeed() : Fail(code); }

// The device classes a class word can select (its low 16 bits).
inline bool IsDeviceClass(DWORD classWord) {
    switch (classWord & PAT_DEVICE_CLASS_MASK) {
        case 0x0001: case 0x0002: case 0x0004: case 0x0008: case 0x8000: return true;
        default: return false;
    }
}

inline bool RevisionIs(DWORD slot, BYTE wanted) { return static_cast<BYTE>(slot) == wanted; }

inline bool VersionAccepted(const PrnInfoEx *info) { return info->dwVersion >= PRNINFOEX_MIN_VERSION; }

#endif
