// A growable array of fixed-size records in one global-heap block, for the
// short lists of the status side. Nothing of it crosses the library boundary.
#ifndef LUMA_MODEL_RECORD_ARRAY_H
#define LUMA_MODEL_RECORD_ARRAY_H

#include <LUMAstat.h>

// A byte buffer with a used length and a cursor. Its capacity is the size of
// the data block: the first allocation plus whole growth units.
struct GrowBuffer {
    DWORD dwGrowthUnit;  // bytes added per growth step
    DWORD cbUsed;        // bytes of valid content
    DWORD dwCursor;      // where the next read, write or insert happens
    BYTE *pData;         // NULL until a block is allocated
};

enum SeekMode : BYTE {
    GROW_SEEK_START = 1,
    GROW_SEEK_CURSOR = 2,
    GROW_SEEK_END = 3,
};

GrowBuffer *CreateGrowBuffer(DWORD growthUnit, DWORD firstUnits);
void FreeGrowBuffer(GrowBuffer *buffer);
void SeekGrowBuffer(GrowBuffer *buffer, LONG offset, BYTE mode);
DWORD GetUsedLength(const GrowBuffer *buffer);
DWORD GetCapacity(const GrowBuffer *buffer);
BOOL WriteGrowBuffer(GrowBuffer *buffer, const void *source, DWORD length);
BOOL InsertGrowBuffer(GrowBuffer *buffer, const void *source, DWORD length);
BYTE *ReadGrowBuffer(GrowBuffer *buffer, DWORD length);

// Records are counted from 1. Pointers into the array stay valid only until
// the next operation that may grow it.
struct RecordArray {
    DWORD cbRecord;
    GrowBuffer *pBuffer;  // growth unit = record size x records per step
};

struct RecordIterator {
    RecordArray *pArray;
    DWORD nPosition;  // records already visited
};

RecordArray *CreateRecordArray(DWORD recordSize, DWORD recordsPerStep, DWORD firstSteps);
void FreeRecordArray(RecordArray *array);
DWORD GetRecordCount(const RecordArray *array);
BOOL AppendRecord(RecordArray *array, const void *record);
BOOL InsertRecordAt(RecordArray *array, const void *record, DWORD position);
BYTE *GetRecordPtr(RecordArray *array, DWORD position);
BOOL CopyRecord(RecordArray *array, DWORD position, void *destination);
void BeginRecords(RecordArray *array, RecordIterator *iterator);
BOOL NextRecordPtr(RecordIterator *iterator, BYTE **record);
BOOL NextRecordCopy(RecordIterator *iterator, void *destination);

#endif
