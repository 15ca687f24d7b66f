// Locales and code pages of the host build: the default ANSI code page of
// each language the library knows, and real conversions through iconv.
#include <windows.h>

#include <errno.h>
#include <iconv.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <utility>

namespace {

// Default ANSI code page by primary language; 0x0400 and LANG_NEUTRAL stand
// for the user's default, which this build takes to be English.
UINT DefaultCodePage(LCID lcid) {
    const WORD lang = static_cast<WORD>(lcid);
    const WORD primary = lang & 0x3FF, sub = lang >> 10;
    switch (primary) {
        case 0x00: return (sub == 0 || sub == 1) ? 1252 : 0;
        case 0x11: return 932;
        case 0x04: return sub == 2 ? 936 : (sub == 1 ? 950 : 0);
        case 0x05: case 0x0E: case 0x15: return 1250;
        case 0x06: case 0x07: case 0x09: case 0x0A: case 0x0B: case 0x0C:
        case 0x10: case 0x13: case 0x14: case 0x16: case 0x1D: return 1252;
        default: return 0;
    }
}

const char *IconvName(UINT cp) {
    switch (cp) {
        case CP_ACP: return "CP1252";
        case 932: return "CP932";
        case 936: return "CP936";
        case 950: return "CP950";
        case 1250: return "CP1250";
        case 1252: return "CP1252";
        case CP_UTF8: return "UTF-8";
        default: return nullptr;
    }
}

// Converts `in` (bytes) from one charset to another; characters the target
// cannot hold become `fallback` (one unit of the target) and set `replaced`.
bool Convert(const char *from, const char *to, const std::string &in, size_t unit, const std::string &fallback,
             std::string &out, bool &replaced) {
    // Opening a converter is costly; each thread keeps the ones it used.
    thread_local std::map<std::pair<std::string, std::string>, iconv_t> converters;
    auto key = std::make_pair(std::string(from), std::string(to));
    auto found = converters.find(key);
    iconv_t cd;
    if (found == converters.end()) {
        cd = iconv_open(to, from);
        if (cd == reinterpret_cast<iconv_t>(-1)) return false;
        converters.emplace(key, cd);
    } else {
        cd = found->second;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);  // back to the initial state
    }
    out.clear();
    replaced = false;
    char *src = const_cast<char *>(in.data());
    size_t left = in.size();
    char buf[256];
    while (left > 0) {
        char *dst = buf;
        size_t room = sizeof buf;
        size_t r = iconv(cd, &src, &left, &dst, &room);
        out.append(buf, static_cast<size_t>(dst - buf));
        if (r == static_cast<size_t>(-1)) {
            if (errno == E2BIG) continue;
            // An unconvertible or broken character: one substitute for it.
            size_t skip = unit;
            if (unit == 2 && left >= 4) {
                unsigned hi = static_cast<unsigned char>(src[0]) | static_cast<unsigned char>(src[1]) << 8;
                if (hi >= 0xD800 && hi <= 0xDBFF) skip = 4;
            }
            if (skip > left) skip = left;
            src += skip;
            left -= skip;
            out += fallback;
            replaced = true;
        }
    }
    return true;
}

}  // namespace

extern "C" {

int WINAPI GetLocaleInfoA(LCID Locale, LCTYPE LCType, LPSTR lpLCData, int cchData) {
    if (LCType != LOCALE_IDEFAULTANSICODEPAGE) {
        SetLastError(ERROR_INVALID_FLAGS);
        return 0;
    }
    UINT cp = DefaultCodePage(Locale);
    if (cp == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    char text[16];
    int n = std::snprintf(text, sizeof text, "%u", cp) + 1;
    if (cchData == 0) return n;
    if (lpLCData == nullptr || cchData < n) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::memcpy(lpLCData, text, static_cast<size_t>(n));
    return n;
}

BOOL WINAPI IsDBCSLeadByteEx(UINT CodePage, BYTE TestChar) {
    switch (CodePage) {
        case 932: return (TestChar >= 0x81 && TestChar <= 0x9F) || (TestChar >= 0xE0 && TestChar <= 0xFC);
        case 936:
        case 950: return TestChar >= 0x81 && TestChar <= 0xFE;
        default: return FALSE;
    }
}

int WINAPI WideCharToMultiByte(UINT CodePage, DWORD dwFlags, LPCWSTR lpWideCharStr, int cchWideChar,
                               LPSTR lpMultiByteStr, int cbMultiByte, LPCSTR lpDefaultChar,
                               LPBOOL lpUsedDefaultChar) {
    (void)dwFlags;
    const char *name = IconvName(CodePage);
    if (name == nullptr || lpWideCharStr == nullptr || cbMultiByte < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    size_t units = 0;
    if (cchWideChar < 0) {
        while (lpWideCharStr[units] != 0) ++units;
        ++units;  // the terminating NUL is converted too
    } else {
        units = static_cast<size_t>(cchWideChar);
    }
    std::string in(reinterpret_cast<const char *>(lpWideCharStr), units * 2), out;
    bool replaced = false;
    std::string fallback = lpDefaultChar && CodePage != CP_UTF8 ? std::string(1, lpDefaultChar[0]) : std::string("?");
    if (!Convert("UTF-16LE", name, in, 2, fallback, out, replaced)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (lpUsedDefaultChar) *lpUsedDefaultChar = replaced ? TRUE : FALSE;
    if (cbMultiByte == 0) return static_cast<int>(out.size());
    if (static_cast<size_t>(cbMultiByte) < out.size()) {
        std::memcpy(lpMultiByteStr, out.data(), static_cast<size_t>(cbMultiByte));
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::memcpy(lpMultiByteStr, out.data(), out.size());
    return static_cast<int>(out.size());
}

int WINAPI MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCSTR lpMultiByteStr, int cbMultiByte,
                               LPWSTR lpWideCharStr, int cchWideChar) {
    (void)dwFlags;
    const char *name = IconvName(CodePage);
    if (name == nullptr || lpMultiByteStr == nullptr || cchWideChar < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    size_t bytes = cbMultiByte < 0 ? std::strlen(lpMultiByteStr) + 1 : static_cast<size_t>(cbMultiByte);
    std::string in(lpMultiByteStr, bytes), out;
    bool replaced = false;
    if (!Convert(name, "UTF-16LE", in, 1, std::string("\xFD\xFF", 2), out, replaced)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    int units = static_cast<int>(out.size() / 2);
    if (cchWideChar == 0) return units;
    if (cchWideChar < units) {
        std::memcpy(lpWideCharStr, out.data(), static_cast<size_t>(cchWideChar) * 2);
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::memcpy(lpWideCharStr, out.data(), out.size());
    return units;
}

}  // extern "C"
