#include "locale.h"

#include <string.h>

#include "../frame/module.h"

namespace {

constexpr int kLocaleNameChars = 9;
constexpr UINT kStringEntries = 16;

// One aligned 16-bit word: readers on other threads see the old or the new
// language, never a mix.
volatile WORD g_currentLangId = LANG_ID_USER_DEFAULT;

// Copies whole characters of `text` into `out` so that a double-byte
// character is never split.
void CopyCut(UINT codePage, const char *text, LPSTR out, int size) {
    int n = 0;
    while (text[n] != '\0') {
        int step = (IsDBCSLeadByteEx(codePage, static_cast<BYTE>(text[n])) && text[n + 1] != '\0') ? 2 : 1;
        if (n + step > size - 1) break;
        n += step;
    }
    memcpy(out, text, n);
    out[n] = '\0';
}

// Asks the platform for the language's default ANSI code page.
DWORD ReadCodePage(WORD langId, UINT *codePage) {
    const LCID lcid = langId;
    int length = GetLocaleInfoA(lcid, LOCALE_IDEFAULTANSICODEPAGE, nullptr, 0);
    if (length <= 0) return PAT_ERR_LOCALE;
    char *answer = static_cast<char *>(GlobalAlloc(GPTR, length));
    if (answer == nullptr) return PAT_ERR_MESSAGE;
    GetLocaleInfoA(lcid, LOCALE_IDEFAULTANSICODEPAGE, answer, length);
    UINT value = 0;
    for (const char *p = answer; *p >= '0' && *p <= '9'; ++p) value = value * 10 + static_cast<UINT>(*p - '0');
    GlobalFree(answer);
    *codePage = value;
    return ERROR_SUCCESS;
}

}  // namespace

const LocaleNameRow LocaleNameTable[] = {
    {"JP", 0x11, 1}, {"EN", 0x09, 1}, {"DE", 0x07, 1}, {"FR", 0x0C, 1}, {"IT", 0x10, 1},
    {"ES", 0x0A, 1}, {"NL", 0x13, 1}, {"SV", 0x1D, 1}, {"DA", 0x06, 1}, {"NO", 0x14, 1},
    {"CS", 0x05, 1}, {"HU", 0x0E, 1}, {"PT", 0x16, 1}, {"PL", 0x15, 1}, {"FI", 0x0B, 1},
    {"ZH_CN", 0x04, 2}, {"ZH_TW", 0x04, 1}, {nullptr, 0, 0},
};

WORD GetCurrentLangId() { return g_currentLangId; }

WORD LocaleLangId(const LocaleNameRow *row) {
    return static_cast<WORD>(row->bSublanguage << 10 | row->bPrimary);
}

const LocaleNameRow *FindLocaleName(LPCSTR name) {
    char work[kLocaleNameChars + 1];
    lstrcpynA(work, name, sizeof work);
    CharUpperA(work);
    for (const LocaleNameRow *row = LocaleNameTable; row->pszName != nullptr; ++row)
        if (strcmp(row->pszName, work) == 0) return row;
    return nullptr;
}

DWORD SetLocaleByName(LPCSTR name) {
    const LocaleNameRow *row = FindLocaleName(name);
    if (row == nullptr) return PAT_ERR_LOCALE;
    g_currentLangId = LocaleLangId(row);
    return ERROR_SUCCESS;
}

UINT LanguageCodePage(WORD langId) {
    UINT codePage = 0;
    return ReadCodePage(langId, &codePage) == ERROR_SUCCESS ? codePage : 0;
}

DWORD LoadMessageIn(HMODULE module, WORD langId, DWORD id, LPSTR buffer, int size) {
    UINT codePage = 0;
    DWORD code = ReadCodePage(langId, &codePage);
    if (code != ERROR_SUCCESS) return code;

    const WORD block = static_cast<WORD>((id >> 4) + 1);
    HRSRC info = FindResourceExA(module, RT_STRING, MAKEINTRESOURCEA(block), langId);
    if (info == nullptr) return PAT_ERR_MESSAGE;
    HGLOBAL data = LoadResource(module, info);
    const WCHAR *units = data ? static_cast<const WCHAR *>(LockResource(data)) : nullptr;
    if (units == nullptr) return PAT_ERR_MESSAGE;

    // Walk the entries within the block's own size.
    const DWORD total = SizeofResource(module, info) / sizeof(WCHAR);
    DWORD at = 0;
    for (UINT skip = id & (kStringEntries - 1); skip > 0 && at < total; --skip) at += 1 + units[at];
    const DWORD entryLength = at < total ? units[at] : 0;
    const DWORD available = at < total ? total - at - 1 : 0;
    const DWORD copyLength = entryLength < available ? entryLength : available;

    WCHAR *text = static_cast<WCHAR *>(GlobalAlloc(GPTR, (entryLength + 1) * sizeof(WCHAR)));
    if (text == nullptr) return PAT_ERR_MESSAGE;
    for (DWORD i = 0; i < copyLength && units[at + 1 + i] != 0; ++i) text[i] = units[at + 1 + i];

    DWORD result = ERROR_SUCCESS;
    if (size > 0) {
        int needed = WideCharToMultiByte(codePage, 0, text, -1, nullptr, 0, nullptr, nullptr);
        if (needed <= 0) {
            buffer[0] = '\0';  // nothing convertible: an empty text, not stale bytes
        } else if (needed <= size) {
            WideCharToMultiByte(codePage, 0, text, -1, buffer, size, nullptr, nullptr);
        } else {
            // Too long for the caller: convert whole, then cut at a character.
            char *full = static_cast<char *>(GlobalAlloc(GPTR, needed));
            if (full == nullptr) {
                result = PAT_ERR_MESSAGE;
            } else {
                WideCharToMultiByte(codePage, 0, text, -1, full, needed, nullptr, nullptr);
                CopyCut(codePage, full, buffer, size);
                GlobalFree(full);
            }
        }
    }
    GlobalFree(text);
    return result;
}

DWORD LoadMessage(DWORD id, LPSTR buffer, int size) {
    return LoadMessageIn(LibraryModule(), GetCurrentLangId(), id, buffer, size);
}
