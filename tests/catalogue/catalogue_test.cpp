// The message catalogue as the library file carries it: every id in every
// language, loaded by the library's own loader.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "status/locale.h"

namespace {

const std::vector<std::pair<DWORD, DWORD>> kRanges = {{1000, 1507}, {2000, 2507}, {3000, 3034}, {3500, 3500},
                                                      {5000, 5027}, {6000, 6033}, {7001, 7131}, {8001, 8131}};

// The library file beside this test program, opened for its resources.
HMODULE Library() {
    static HMODULE module = [] {
        char path[MAX_PATH];
        DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
        std::string p(path, n);
        size_t slash = p.find_last_of("/\\");
        p = p.substr(0, slash + 1) + LUMA_LIBRARY_FILE;
        return LoadLibraryExA(p.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    }();
    return module;
}

std::vector<WORD> Languages() {
    std::vector<WORD> ids;
    for (const LocaleNameRow *row = LocaleNameTable; row->pszName; ++row) ids.push_back(LocaleLangId(row));
    return ids;
}

std::string Load(WORD lang, DWORD id, DWORD *code = nullptr, int size = 512) {
    std::vector<char> buf(static_cast<size_t>(size) + 1, '#');
    DWORD c = LoadMessageIn(Library(), lang, id, buf.data(), size);
    if (code) *code = c;
    if (c != 0) return buf[0] == '#' ? "<untouched>" : "<written>";
    return std::string(buf.data());
}

size_t Count(const std::string &s, const std::string &what) {
    size_t n = 0;
    for (size_t at = s.find(what); at != std::string::npos; at = s.find(what, at + what.size())) ++n;
    return n;
}

std::string Hex(const std::string &s) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : s) {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

TEST(Catalogue, LibraryFileOpens) { ASSERT_NE(Library(), nullptr); }

TEST(Catalogue, EveryIdLoadsInEveryLanguageWithTheFormOfEnglish) {
    for (WORD lang : Languages()) {
        for (auto [first, last] : kRanges) {
            for (DWORD id = first; id <= last; ++id) {
                DWORD code = 1;
                std::string text = Load(lang, id, &code);
                std::string english = Load(0x0409, id);
                ASSERT_EQ(code, 0u) << "language " << lang << " id " << id;
                ASSERT_FALSE(text.empty()) << "language " << lang << " id " << id;
                EXPECT_EQ(Count(text, "\n"), Count(english, "\n")) << lang << " " << id << ": " << text;
                EXPECT_EQ(Count(text, "%s"), Count(english, "%s")) << lang << " " << id << ": " << text;
                EXPECT_EQ(Count(text, "%"), Count(text, "%s")) << lang << " " << id;
            }
        }
        EXPECT_EQ(Load(lang, 3500), ", ") << lang;
    }
}

TEST(Catalogue, EnglishTextsAreTheSystemsOwn) {
    EXPECT_EQ(Load(0x0409, 1000), "Operational");
    EXPECT_EQ(Load(0x0409, 1011), "%s");
    EXPECT_EQ(Load(0x0409, 3023), "Binding glue has been depleted.\nAfter printing has stopped, add the binding glue.");
    EXPECT_EQ(Load(0x0409, 6033), "Paper Output Location");
    for (DWORD id : {2309u, 8097u}) EXPECT_EQ(Load(0x0409, id).back(), '\n') << id;
}

TEST(Catalogue, EmptyEntriesAndMissingBlocksDiffer) {
    for (WORD lang : Languages()) {
        for (DWORD id : {7000u, 8000u, 999u, 1508u, 1519u, 2508u, 3035u, 3501u, 4999u, 5028u, 6034u, 6999u, 7132u, 8143u}) {
            DWORD code = 1;
            EXPECT_EQ(Load(lang, id, &code), "") << lang << " " << id;
            EXPECT_EQ(code, 0u) << lang << " " << id;
        }
        for (DWORD id : {0u, 991u, 2512u, 3040u, 3487u, 3504u, 4000u, 4991u, 6048u, 6991u, 8144u, 65535u, 0x10000u}) {
            DWORD code = 0;
            EXPECT_EQ(Load(lang, id, &code), "<untouched>") << lang << " " << id;
            EXPECT_EQ(code, static_cast<DWORD>(PAT_ERR_MESSAGE)) << lang << " " << id;
        }
    }
}

TEST(Catalogue, TheUserDefaultLanguageIsEnglishHere) {
    EXPECT_EQ(Load(LANG_ID_USER_DEFAULT, 1067), "Cover Open");
    EXPECT_EQ(LanguageCodePage(LANG_ID_USER_DEFAULT), 1252u);
}

// The raw UTF-16 text of an entry, read from the block.
std::vector<WCHAR> RawEntry(WORD lang, DWORD id) {
    HRSRC info = FindResourceExA(Library(), RT_STRING, MAKEINTRESOURCEA((id >> 4) + 1), lang);
    const WCHAR *p = info ? static_cast<const WCHAR *>(LockResource(LoadResource(Library(), info))) : nullptr;
    std::vector<WCHAR> text;
    if (p == nullptr) return text;
    for (DWORD skip = id & 15; skip > 0; --skip) p += 1 + *p;
    text.assign(p + 1, p + 1 + *p);
    text.push_back(0);
    return text;
}

TEST(Catalogue, EveryTextFitsItsCodePage) {
    for (WORD lang : Languages()) {
        UINT cp = LanguageCodePage(lang);
        ASSERT_NE(cp, 0u) << lang;
        for (auto [first, last] : kRanges) {
            for (DWORD id = first; id <= last; ++id) {
                std::vector<WCHAR> raw = RawEntry(lang, id);
                ASSERT_GT(raw.size(), 1u) << lang << " " << id;
                BOOL usedDefault = TRUE;
                char out[1024];
                int n = WideCharToMultiByte(cp, 0, raw.data(), -1, out, sizeof out, nullptr, &usedDefault);
                EXPECT_GT(n, 1) << lang << " " << id;
                EXPECT_FALSE(usedDefault) << "language " << lang << " id " << id << " needs a default character";
            }
        }
    }
}

TEST(Catalogue, CodePageBytes) {
    EXPECT_EQ(LanguageCodePage(0x0411), 932u);
    EXPECT_EQ(LanguageCodePage(0x0804), 936u);
    EXPECT_EQ(LanguageCodePage(0x0404), 950u);
    EXPECT_EQ(LanguageCodePage(0x0415), 1250u);
    EXPECT_EQ(Hex(Load(0x0411, 1067)), "834a836f815b8349815b83768393");  // Japanese, cover open
    EXPECT_EQ(Hex(Load(0x0411, 3000)), "8367838c834331");                // Japanese, tray 1
    EXPECT_EQ(Hex(Load(0x0804, 1067)), "b8c7b0e5b4f2bfaa");              // Simplified Chinese
    EXPECT_EQ(Hex(Load(0x0804, 3000)), "d6bdbad031");
    EXPECT_EQ(Hex(Load(0x0404, 1067)), "bb5caa4fb67db1d2");              // Traditional Chinese
    EXPECT_EQ(Hex(Load(0x0404, 3000)), "afc8a75831");
    EXPECT_EQ(Hex(Load(0x0415, 2309).substr(0, 6)), "5779b3b9637a");    // Polish, l and a with marks
}

TEST(Catalogue, ACutTextStaysWholeCharacters) {
    const std::string full = Load(0x0411, 2309);  // double-byte text with a line feed
    ASSERT_GT(full.size(), 20u);
    for (int size = 1; size <= static_cast<int>(full.size()) + 1; ++size) {
        DWORD code = 1;
        std::string cut = Load(0x0411, 2309, &code, size);
        ASSERT_EQ(code, 0u) << size;
        ASSERT_LE(cut.size(), static_cast<size_t>(size - 1)) << size;
        ASSERT_EQ(full.compare(0, cut.size(), cut), 0) << size;
        // The cut falls where a character starts in the full text.
        size_t at = 0;
        while (at < cut.size()) at += IsDBCSLeadByteEx(932, static_cast<BYTE>(full[at])) ? 2 : 1;
        EXPECT_EQ(at, cut.size()) << "size " << size << " splits a character";
        // At most one character, of two bytes, is left out short of the bound.
        const size_t room = std::min(static_cast<size_t>(size - 1), full.size());
        EXPECT_LE(room - cut.size(), 1u) << "size " << size << " cut more than one character short";
    }
    EXPECT_EQ(Load(0x0409, 1000, nullptr, 4), "Ope");
}

}  // namespace
