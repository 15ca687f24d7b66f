// Fuzz target: the reply walker with the library's tables, into one record.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "pjl/keyword_dispatch.h"
#include "platform/test_hooks.h"
#include "support/record_text.h"

// Leak checking needs ptrace, which the i386 user-mode emulator lacks; the
// live-block count of the host heap stands in for it.
extern "C" const char *__asan_default_options() { return "detect_leaks=0"; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    // Exactly the text and its NUL, so that any read past it is caught.
    char *text = static_cast<char *>(std::malloc(size + 1));
    std::memcpy(text, data, size);
    text[size] = '\0';
    const long live = HostLiveBlocks();
    PrnInfoEx info{};
    info.dwVersion = 1173;
    WalkPjlReply(&info, ModelKeywordTable, text);
    if (!CountsMatchLists(info)) __builtin_trap();
    ReleaseRecord(info);
    if (HostLiveBlocks() != live) __builtin_trap();
    std::free(text);
    return 0;
}
