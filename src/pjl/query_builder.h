// Builders of the PJL status queries that the monitor sends to the printer.
#ifndef LUMA_PJL_QUERY_BUILDER_H
#define LUMA_PJL_QUERY_BUILDER_H

#include <LUMAstat.h>

// Query flag groups: a group applies when any of its bits is set.
#define QUERY_FLAGS_DEVICE_ID 0x00080402UL
#define QUERY_FLAGS_CONFIG 0x00020104UL
#define QUERY_FLAGS_TRAYS 0x00000008UL
#define QUERY_FLAGS_OUTBINS 0x00000010UL

#define EMUL_CLASS_TESL 15

struct TrayQueryRow {
    WORD wTray;
    DWORD fOnRequestOnly;
    const char *pszInquiry;
};

// Rows in query order, ended by the row whose wTray is 0xFFFF.
extern const TrayQueryRow TrayQueryTable[];

DWORD BuildStatusQuery(const PrnInfoEx *info, DWORD queryFlags, InfoNode *root);
DWORD BuildEmulQuery(WORD emulClass, InfoNode *root);

#endif
