// Drives the PJL reply scanner over arbitrary bytes until the end of the
// text, resynchronising after every error as a caller may. The first byte
// chooses the token buffer size (1 to 256); the rest is the reply text.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "pjl/reply_scanner.h"

// Leak checking stops the world through ptrace, which the i386 user-mode
// emulator does not provide; the scanner allocates nothing anyway.
extern "C" const char *__asan_default_options() { return "detect_leaks=0"; }

namespace {

// Calls in a row that may leave the cursor where it is: a state can hand an
// empty word on to the next state a few times before something is consumed.
constexpr int kMaxStandingCalls = 8;

bool KnownKind(DWORD kind) { return (kind >= PJL_TOKEN_PJL && kind <= PJL_TOKEN_TAB) || kind == PJL_TOKEN_END; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size == 0) return 0;
    DWORD bufferSize = static_cast<DWORD>(data[0]) + 1;

    // Exactly the text and its NUL, so that any read past it is caught.
    size_t length = size - 1;
    char *text = static_cast<char *>(malloc(length + 1));
    memcpy(text, data + 1, length);
    text[length] = '\0';
    const char *end = text + strlen(text);
    char *buffer = static_cast<char *>(malloc(bufferSize));
    buffer[0] = '\0';

    PjlReplyScanner scanner;
    ResetPjlReplyScanner(&scanner, text);
    const char *last = scanner.pszCursor;
    int standing = 0;
    for (;;) {
        DWORD kind = 0;
        DWORD result = NextPjlToken(&scanner, buffer, bufferSize, &kind);
        if (result != ERROR_SUCCESS && result != ERROR_INVALID_DATA) __builtin_trap();
        if (!KnownKind(kind)) __builtin_trap();
        if (scanner.nState < PJL_STATE_SEARCH || scanner.nState > PJL_STATE_ENTRY_VALUE) __builtin_trap();
        if (scanner.pszCursor < text || scanner.pszCursor > end) __builtin_trap();
        if (memchr(buffer, '\0', bufferSize) == nullptr) __builtin_trap();
        if (result == ERROR_INVALID_DATA && scanner.nState != PJL_STATE_SEARCH) __builtin_trap();
        if (kind == PJL_TOKEN_END && result == ERROR_SUCCESS) break;
        if (scanner.pszCursor != last) {
            last = scanner.pszCursor;
            standing = 0;
        } else if (++standing > kMaxStandingCalls) {
            __builtin_trap();  // no progress: the scan would never end
        }
    }
    if (memcmp(text, data + 1, length) != 0) __builtin_trap();  // the text is only read

    free(buffer);
    free(text);
    return 0;
}
