// Thread error value and the ANSI string calls of the host build.
#include <windows.h>

#include <cstring>

namespace {
thread_local DWORD t_lastError = 0;
}

extern "C" {

DWORD WINAPI GetLastError(void) { return t_lastError; }

void WINAPI SetLastError(DWORD dwErrCode) { t_lastError = dwErrCode; }

// The real calls tolerate NULL pointers; so do these.
int WINAPI lstrlenA(LPCSTR s) { return s ? static_cast<int>(std::strlen(s)) : 0; }

int WINAPI lstrcmpA(LPCSTR a, LPCSTR b) {
    if (a == nullptr || b == nullptr) return (a == b) ? 0 : (a == nullptr ? -1 : 1);
    // Byte order, not a locale collation: our callers only test for equality.
    int r = std::strcmp(a, b);
    return (r > 0) - (r < 0);
}

LPSTR WINAPI lstrcpyA(LPSTR d, LPCSTR s) {
    if (d == nullptr || s == nullptr) return nullptr;
    return std::strcpy(d, s);
}

LPSTR WINAPI lstrcpynA(LPSTR d, LPCSTR s, int n) {
    if (d == nullptr || s == nullptr || n <= 0) return d;
    int i = 0;
    for (; i < n - 1 && s[i] != '\0'; ++i) d[i] = s[i];
    d[i] = '\0';
    return d;
}

LPSTR WINAPI lstrcatA(LPSTR d, LPCSTR s) {
    if (d == nullptr || s == nullptr) return nullptr;
    return std::strcat(d, s);
}

// Upper-cases ASCII letters and the letters of code page 1252, as the
// platform does for the user's default (Western) code page.
LPSTR WINAPI CharUpperA(LPSTR s) {
    if (IS_INTRESOURCE(s)) {
        unsigned c = static_cast<unsigned>(reinterpret_cast<ULONG_PTR>(s)) & 0xFF;
        if ((c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7)) c -= 0x20;
        return reinterpret_cast<LPSTR>(static_cast<ULONG_PTR>(c));
    }
    for (unsigned char *p = reinterpret_cast<unsigned char *>(s); *p; ++p) {
        if ((*p >= 'a' && *p <= 'z') || (*p >= 0xE0 && *p <= 0xFE && *p != 0xF7)) *p -= 0x20;
    }
    return s;
}

}  // extern "C"
