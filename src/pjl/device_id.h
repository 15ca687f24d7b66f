// The IEEE 1284 device ID: fields of a key, ":", a value and ";".
#ifndef LUMA_PJL_DEVICE_ID_H
#define LUMA_PJL_DEVICE_ID_H

#include <LUMAstat.h>

#include "../model/prn_info.h"

#define DEVICE_ID_FIELD_SIZE 256
#define DEVICE_ID_PIECE_SIZE 30
#define SUPPLY_CODE_END 0xFFFF

// Per-model tables; this model has no rows in any of them.
extern const NameCodeRow CommandSetTable[];
extern const NameCodeRow ModelTable[];
extern const WORD SupplyCodeList[];

const char *SplitField(const char *source, char *destination, DWORD capacity, const char *delimiters);

typedef DWORD (*DeviceIdFieldReader)(const char *value, PrnInfoEx *info, const char **position);
DWORD ReadCmdField(const char *value, PrnInfoEx *info, const char **position);
DWORD ReadMfgField(const char *value, PrnInfoEx *info, const char **position);
DWORD ReadMdlField(const char *value, PrnInfoEx *info, const char **position);
DWORD ReadDesField(const char *value, PrnInfoEx *info, const char **position);
DWORD ReadStsField(const char *value, PrnInfoEx *info, const char **position);
DWORD ReadRijField(const char *value, PrnInfoEx *info, const char **position);

BOOL IsErrorStatusCode(LONG code);

// Fills the record from one device ID text; 0, or 8 when the maker or
// description could not be stored.
DWORD ParseDeviceId(const char *text, PrnInfoEx *info);

#endif
