#include "record_array.h"

#include <string.h>

namespace {

// Makes room for content up to byte offset `end`, in whole growth units. A
// growth that fails leaves the buffer exactly as it was.
BOOL GrowTo(GrowBuffer *buffer, DWORD end) {
    DWORD capacity = GetCapacity(buffer);
    if (end <= capacity) return TRUE;
    DWORD unit = buffer->dwGrowthUnit;
    DWORD steps = (end - capacity - 1) / unit + 1;
    unsigned long long grown = capacity + static_cast<unsigned long long>(unit) * steps;
    if (grown > 0xFFFFFFFFull) return FALSE;

    BYTE *data;
    if (buffer->pData == nullptr) {
        data = static_cast<BYTE *>(GlobalAlloc(GMEM_FIXED, static_cast<SIZE_T>(grown)));
    } else {
        HGLOBAL moved = GlobalReAlloc(buffer->pData, static_cast<SIZE_T>(grown), GMEM_MOVEABLE);
        if (moved == nullptr) return FALSE;
        // The block stays fixed, so it has no lock count to release: locking
        // only yields its address, which is the handle itself.
        data = static_cast<BYTE *>(GlobalLock(moved));
        if (data == nullptr) data = static_cast<BYTE *>(moved);
    }
    if (data == nullptr) return FALSE;
    buffer->pData = data;
    return TRUE;
}

// cursor + length, or FALSE when that leaves the 32-bit range.
BOOL EndOf(DWORD start, DWORD length, DWORD *end) {
    if (length > 0xFFFFFFFFu - start) return FALSE;
    *end = start + length;
    return TRUE;
}

}  // namespace

GrowBuffer *CreateGrowBuffer(DWORD growthUnit, DWORD firstUnits) {
    // Growth is counted in units, so a buffer needs a unit to grow by.
    if (growthUnit == 0) return nullptr;
    unsigned long long first = static_cast<unsigned long long>(growthUnit) * firstUnits;
    if (first > 0xFFFFFFFFull) return nullptr;
    auto *buffer = static_cast<GrowBuffer *>(GlobalAlloc(GMEM_FIXED, sizeof(GrowBuffer)));
    if (buffer == nullptr) return nullptr;
    buffer->dwGrowthUnit = growthUnit;
    buffer->cbUsed = 0;
    buffer->dwCursor = 0;
    buffer->pData = nullptr;
    if (first != 0) {
        buffer->pData = static_cast<BYTE *>(GlobalAlloc(GMEM_FIXED, static_cast<SIZE_T>(first)));
        if (buffer->pData == nullptr) {
            GlobalFree(buffer);
            return nullptr;
        }
    }
    return buffer;
}

void FreeGrowBuffer(GrowBuffer *buffer) {
    if (buffer == nullptr) return;
    if (buffer->pData != nullptr) GlobalFree(buffer->pData);
    GlobalFree(buffer);
}

void SeekGrowBuffer(GrowBuffer *buffer, LONG offset, BYTE mode) {
    DWORD delta = static_cast<DWORD>(offset);
    switch (mode) {
        case GROW_SEEK_START: buffer->dwCursor = delta; break;
        case GROW_SEEK_CURSOR: buffer->dwCursor += delta; break;
        case GROW_SEEK_END: buffer->dwCursor = buffer->cbUsed + delta; break;
        default: break;
    }
}

DWORD GetUsedLength(const GrowBuffer *buffer) { return buffer->cbUsed; }

DWORD GetCapacity(const GrowBuffer *buffer) {
    return buffer->pData != nullptr ? static_cast<DWORD>(GlobalSize(buffer->pData)) : 0;
}

BOOL WriteGrowBuffer(GrowBuffer *buffer, const void *source, DWORD length) {
    if (length == 0) return TRUE;
    DWORD end;
    if (source == nullptr || !EndOf(buffer->dwCursor, length, &end) || !GrowTo(buffer, end)) return FALSE;
    if (buffer->cbUsed < end) buffer->cbUsed = end;
    memcpy(buffer->pData + buffer->dwCursor, source, length);
    buffer->dwCursor = end;
    return TRUE;
}

BOOL InsertGrowBuffer(GrowBuffer *buffer, const void *source, DWORD length) {
    if (length == 0) return TRUE;
    // With the cursor past the content there is nothing to move up, and the
    // record would land beyond the new end.
    if (source == nullptr || buffer->dwCursor > buffer->cbUsed) return FALSE;
    DWORD end;
    if (!EndOf(buffer->cbUsed, length, &end) || !GrowTo(buffer, end)) return FALSE;
    BYTE *at = buffer->pData + buffer->dwCursor;
    memmove(at + length, at, buffer->cbUsed - buffer->dwCursor);
    memcpy(at, source, length);
    buffer->cbUsed = end;
    buffer->dwCursor += length;
    return TRUE;
}

BYTE *ReadGrowBuffer(GrowBuffer *buffer, DWORD length) {
    DWORD end;
    if (buffer->pData == nullptr || !EndOf(buffer->dwCursor, length, &end) || end > buffer->cbUsed)
        return nullptr;
    BYTE *at = buffer->pData + buffer->dwCursor;
    buffer->dwCursor = end;
    return at;
}

RecordArray *CreateRecordArray(DWORD recordSize, DWORD recordsPerStep, DWORD firstSteps) {
    unsigned long long unit = static_cast<unsigned long long>(recordSize) * recordsPerStep;
    if (unit == 0 || unit > 0xFFFFFFFFull) return nullptr;
    auto *array = static_cast<RecordArray *>(GlobalAlloc(GMEM_FIXED, sizeof(RecordArray)));
    if (array == nullptr) return nullptr;
    array->cbRecord = recordSize;
    array->pBuffer = CreateGrowBuffer(static_cast<DWORD>(unit), firstSteps);
    if (array->pBuffer == nullptr) {
        GlobalFree(array);
        return nullptr;
    }
    return array;
}

void FreeRecordArray(RecordArray *array) {
    if (array == nullptr) return;
    FreeGrowBuffer(array->pBuffer);
    GlobalFree(array);
}

DWORD GetRecordCount(const RecordArray *array) { return GetUsedLength(array->pBuffer) / array->cbRecord; }

// A failed append or insert puts the cursor back where it stood, so that
// the array is exactly as it was.
BOOL AppendRecord(RecordArray *array, const void *record) {
    DWORD cursor = array->pBuffer->dwCursor;
    SeekGrowBuffer(array->pBuffer, 0, GROW_SEEK_END);
    if (WriteGrowBuffer(array->pBuffer, record, array->cbRecord)) return TRUE;
    array->pBuffer->dwCursor = cursor;
    return FALSE;
}

BOOL InsertRecordAt(RecordArray *array, const void *record, DWORD position) {
    if (GetRecordCount(array) < position) return AppendRecord(array, record);
    DWORD cursor = array->pBuffer->dwCursor;
    SeekGrowBuffer(array->pBuffer, static_cast<LONG>((position - 1) * array->cbRecord), GROW_SEEK_START);
    if (InsertGrowBuffer(array->pBuffer, record, array->cbRecord)) return TRUE;
    array->pBuffer->dwCursor = cursor;
    return FALSE;
}

BYTE *GetRecordPtr(RecordArray *array, DWORD position) {
    // Checked first: for a far position the byte offset would wrap around.
    if (position == 0 || position > GetRecordCount(array)) return nullptr;
    SeekGrowBuffer(array->pBuffer, static_cast<LONG>((position - 1) * array->cbRecord), GROW_SEEK_START);
    return ReadGrowBuffer(array->pBuffer, array->cbRecord);
}

BOOL CopyRecord(RecordArray *array, DWORD position, void *destination) {
    const BYTE *record = GetRecordPtr(array, position);
    if (record == nullptr || destination == nullptr) return FALSE;
    memcpy(destination, record, array->cbRecord);
    return TRUE;
}

void BeginRecords(RecordArray *array, RecordIterator *iterator) {
    iterator->pArray = array;
    iterator->nPosition = 0;
}

// The count is read at every step, so records appended meanwhile are visited.
BOOL NextRecordPtr(RecordIterator *iterator, BYTE **record) {
    if (record == nullptr || iterator->nPosition >= GetRecordCount(iterator->pArray)) return FALSE;
    iterator->nPosition += 1;
    *record = GetRecordPtr(iterator->pArray, iterator->nPosition);
    return *record != nullptr;
}

BOOL NextRecordCopy(RecordIterator *iterator, void *destination) {
    if (destination == nullptr || iterator->nPosition >= GetRecordCount(iterator->pArray)) return FALSE;
    iterator->nPosition += 1;
    return CopyRecord(iterator->pArray, iterator->nPosition, destination);
}
