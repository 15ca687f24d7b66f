// Fuzz target: the whole reply intake over a CentroData tree whose shape and
// texts come from the input. Node blocks end right after their data, with
// or without a NUL, so any read past a caller's block is caught.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "model/info_node.h"
#include "pjl/query_builder.h"
#include "pjl/reply_intake.h"
#include "platform/test_hooks.h"
#include "support/record_text.h"

// Leak checking needs ptrace, which the i386 user-mode emulator lacks; the
// live-block count of the host heap stands in for it.
extern "C" const char *__asan_default_options() { return "detect_leaks=0"; }

// Input: byte 0 picks the root and the query flags, then pieces separated by
// 0xFF: each piece's first byte picks the node id, the rest is its data.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 1) return 0;
    const long live = HostLiveBlocks();
    const uint8_t shape = data[0];
    DWORD emulClass = (shape & 0x80) ? 15 : 14;
    InfoNode *root = (shape & 0x40) ? CreateInfoNode(nullptr, INFO_EMUL_REPLY_ROOT, &emulClass, 4)
                                    : CreateInfoNode(nullptr, INFO_REPLY_ROOT, nullptr, 0);
    if (root == nullptr) return 0;
    if (shape & 0x20) {
        InfoNode *query = CreateInfoNode(root, INFO_QUERY_ROOT, nullptr, 0);
        PrnInfoEx rec{};
        rec.dwVersion = 1173;
        BuildStatusQuery(&rec, shape & 0x1E, query);
    }
    size_t at = 1;
    while (at < size) {
        size_t end = at;
        while (end < size && data[end] != 0xFF) ++end;
        if (end > at) {
            static const LONG ids[] = {INFO_PJL_TEXT, INFO_DEVICE_ID, INFO_PJL_TEXT, 7};
            const LONG id = ids[data[at] & 3];
            const DWORD length = static_cast<DWORD>(end - at - 1);
            auto *node = static_cast<InfoNode *>(GlobalAlloc(GMEM_FIXED, sizeof(InfoNode) + length));
            if (node == nullptr) break;
            std::memset(node, 0, sizeof(InfoNode));
            node->id = id;
            node->cbData = length;
            std::memcpy(INFO_NODE_DATA(node), data + at + 1, length);
            AppendInfoNode(root, node);
        }
        at = end + 1;
    }
    PrnInfoEx info{};
    info.dwVersion = 1173;
    TakeReply(root, &info);
    if (!CountsMatchLists(info)) __builtin_trap();
    ReleaseRecord(info);
    ReleaseTree(root);
    if (HostLiveBlocks() != live) __builtin_trap();
    return 0;
}
