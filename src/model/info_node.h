// Information nodes: the trees that carry queries, replies and status
// snapshots across the library boundary.
#ifndef LUMA_MODEL_INFO_NODE_H
#define LUMA_MODEL_INFO_NODE_H

#include <LUMAstat.h>

enum DataSizeRule : DWORD {
    DATA_SIZE_EXACT = 0,
    DATA_SIZE_AT_LEAST = 1,
    DATA_SIZE_AT_MOST = 2,
};

InfoNode *CreateInfoNode(InfoNode *parent, LONG id, const void *data, DWORD length);
BOOL AppendInfoNode(InfoNode *parent, InfoNode *child);
BOOL GetInfoNodeInfo(const InfoNode *node, LONG *id, DWORD *length);
BOOL CopyInfoNodeData(const InfoNode *node, void *destination, DWORD size, DWORD rule);
BYTE *GetInfoNodeData(const InfoNode *node, DWORD size, DWORD rule);
InfoNode *GetFirstChildNode(const InfoNode *node);
InfoNode *GetNextSiblingNode(const InfoNode *node);
InfoNode *FindInfoNode(const InfoNode *node, LONG id);

#endif
