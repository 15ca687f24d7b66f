#include "info_node.h"

#include <string.h>

namespace {

BOOL SizeAccepted(DWORD size, DWORD cbData, DWORD rule) {
    switch (rule) {
        case DATA_SIZE_EXACT: return size == cbData;
        case DATA_SIZE_AT_LEAST: return size >= cbData;
        case DATA_SIZE_AT_MOST: return size <= cbData;
        default: return FALSE;
    }
}

}  // namespace

InfoNode *CreateInfoNode(InfoNode *parent, LONG id, const void *data, DWORD length) {
    if (data == nullptr && length != 0) return nullptr;
    if (length > 0xFFFFFFFFu - sizeof(InfoNode)) return nullptr;
    auto *node = static_cast<InfoNode *>(GlobalAlloc(GMEM_FIXED, sizeof(InfoNode) + length));
    if (node == nullptr) return nullptr;
    node->id = id;
    node->pParent = nullptr;
    node->pFirstChild = nullptr;
    node->pNextSibling = nullptr;
    node->pLastChild = nullptr;
    node->cbData = length;
    if (data != nullptr && length != 0) memcpy(INFO_NODE_DATA(node), data, length);
    AppendInfoNode(parent, node);  // a NULL parent leaves a free root
    return node;
}

BOOL AppendInfoNode(InfoNode *parent, InfoNode *child) {
    if (parent == nullptr || child == nullptr) return FALSE;
    if (child->pParent != nullptr || child->pNextSibling != nullptr) return FALSE;
    // A node hung under itself or a descendant would make a cycle.
    for (const InfoNode *up = parent; up != nullptr; up = up->pParent)
        if (up == child) return FALSE;
    child->pParent = parent;
    if (parent->pLastChild != nullptr)
        parent->pLastChild->pNextSibling = child;
    else
        parent->pFirstChild = child;
    parent->pLastChild = child;
    return TRUE;
}

BOOL GetInfoNodeInfo(const InfoNode *node, LONG *id, DWORD *length) {
    if (node == nullptr) return FALSE;
    if (id != nullptr) *id = node->id;
    if (length != nullptr) *length = node->cbData;
    return TRUE;
}

BOOL CopyInfoNodeData(const InfoNode *node, void *destination, DWORD size, DWORD rule) {
    if (node == nullptr || destination == nullptr || !SizeAccepted(size, node->cbData, rule)) return FALSE;
    DWORD n = size < node->cbData ? size : node->cbData;
    if (n != 0) memcpy(destination, INFO_NODE_DATA(node), n);
    return TRUE;
}

BYTE *GetInfoNodeData(const InfoNode *node, DWORD size, DWORD rule) {
    if (node == nullptr || !SizeAccepted(size, node->cbData, rule)) return nullptr;
    return INFO_NODE_DATA(node);
}

InfoNode *GetFirstChildNode(const InfoNode *node) { return node ? node->pFirstChild : nullptr; }

InfoNode *GetNextSiblingNode(const InfoNode *node) { return node ? node->pNextSibling : nullptr; }

InfoNode *FindInfoNode(const InfoNode *node, LONG id) {
    for (; node != nullptr; node = node->pNextSibling)
        if (node->id == id) return const_cast<InfoNode *>(node);
    return nullptr;
}
