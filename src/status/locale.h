// The process-wide language and the loading of messages in it.
#ifndef LUMA_STATUS_LOCALE_H
#define LUMA_STATUS_LOCALE_H

#include <LUMAstat.h>

struct LocaleNameRow {
    const char *pszName;  // upper case
    BYTE bPrimary;
    BYTE bSublanguage;
};

// Names accepted by PatSetLocale, in lookup order, ended by a NULL name.
extern const LocaleNameRow LocaleNameTable[];

#define LANG_ID_USER_DEFAULT 0x0400

// Language of every message handed out; 0x0400 (the user's default) until a
// successful PatSetLocale.
WORD GetCurrentLangId();

// The row whose name equals `name` after the first nine characters are
// upper-cased, or NULL.
const LocaleNameRow *FindLocaleName(LPCSTR name);
WORD LocaleLangId(const LocaleNameRow *row);

// Sets the current language: 0, or PAT_ERR_LOCALE with the language unchanged.
DWORD SetLocaleByName(LPCSTR name);

// Loads message `id` of language `langId` from `module` into `buffer` in the
// language's ANSI code page, cut at a character boundary to `size` bytes.
// 0, PAT_ERR_LOCALE (no code page) or PAT_ERR_MESSAGE (no block, or a
// working allocation failed); on failure the buffer is untouched.
DWORD LoadMessageIn(HMODULE module, WORD langId, DWORD id, LPSTR buffer, int size);

// The same in the current language, from the library's own string tables.
DWORD LoadMessage(DWORD id, LPSTR buffer, int size);

// The ANSI code page of a language, or 0 when the platform knows none.
UINT LanguageCodePage(WORD langId);

#endif
