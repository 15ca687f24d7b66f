// lumastat: the monitor-side tool of LUMAstat.dll.
#include <LUMAstat.h>

#include "status/locale.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

const char kUsage[] =
    "usage: lumastat query [--flags BITS] [--emul CLASS] [--trays CODES]\n"
    "       lumastat message ID [--lang NAME]\n"
    "       lumastat catalogue [--lang NAME] [--json]\n"
    "       lumastat parse --reply FILE [--device-id TEXT | --device-id-file FILE]\n"
    "                      [--query-flags BITS] [--json]\n"
    "       lumastat --help\n"
    "\n"
    "query     Prints the query tree that LUMAstat.dll builds for the printer:\n"
    "          every node with its id, and the PJL text with its control bytes\n"
    "          made visible (<ESC>, \\r\\n).\n"
    "\n"
    "options of query:\n"
    "  --flags BITS   query flags for PatCreateQueryInfo, decimal or 0x hex\n"
    "                 (default 0x1E). Bits 0x2, 0x400, 0x80000 ask for the\n"
    "                 device ID; 0x4, 0x100, 0x20000 the configuration;\n"
    "                 0x8 the trays; 0x10 the output bins.\n"
    "  --emul CLASS   build the emulation query of PatCreateEmulUniqQueryInfo\n"
    "                 instead (only class 15, TESL, has one).\n"
    "  --trays CODES  comma-separated tray codes of the record's tray list\n"
    "                 (1 bypass tray, 3 to 7 trays 1 to 5); without it the list\n"
    "                 is empty and every tray is asked for.\n"
    "\n"
    "message   Prints message ID of the library's string tables, as the library\n"
    "          loads it in the language's ANSI code page, converted to UTF-8.\n"
    "catalogue Prints every message that has a text, one per line as ID, a tab\n"
    "          and the text with line feeds written as \\n; --json gives one\n"
    "          JSON object instead. Empty entries (such as 7000) are left out.\n"
    "\n"
    "parse     Runs the reply intake (PatSetCentroDataTo) into a fresh record:\n"
    "          the reply text of FILE, and the device ID when one is given, go\n"
    "          into a CentroData tree, and the record is printed with every\n"
    "          list and its items, every slot and every field by name.\n"
    "  --reply FILE          the printer's PJL reply, as received\n"
    "  --device-id TEXT      the IEEE 1284 device ID\n"
    "  --device-id-file FILE the same, read from a file\n"
    "  --query-flags BITS    also hang the query that PatCreateQueryInfo builds\n"
    "                        for these flags, so that the reply is checked\n"
    "                        against it; without it the reply is not checked\n"
    "  --json                JSON output\n"
    "\n"
    "options of message and catalogue:\n"
    "  --lang NAME    the language, by the names PatSetLocale takes (JP, EN, DE,\n"
    "                 FR, IT, ES, NL, SV, DA, NO, CS, HU, PT, PL, FI, ZH_CN, ZH_TW,\n"
    "                 in any case); without it, the user's default language, as\n"
    "                 the library starts.\n"
    "  --json         (catalogue) JSON output.\n"
    "\n"
    "  --help         shows this text.\n"
    "\n"
    "Exit status: 0 done, 1 the library refused (its last-error code is\n"
    "printed), 2 the command line is wrong.\n";

int UsageError(const char *what) {
    std::fprintf(stderr, "lumastat: %s\n\n%s", what, kUsage);
    return 2;
}

bool ParseNumber(const char *text, unsigned long &out) {
    if (text == nullptr || *text == '\0' || *text == '-') return false;
    errno = 0;
    char *end = nullptr;
    unsigned long v = std::strtoul(text, &end, 0);
    if (errno != 0 || *end != '\0' || v > 0xFFFFFFFFul) return false;
    out = v;
    return true;
}

const char *NodeName(LONG id, bool isRoot) {
    switch (id) {
        case INFO_QUERY_ROOT: return "query root";
        case INFO_PJL_TEXT: return "PJL text";
        case INFO_DEVICE_ID: return "device ID request";
        default: return isRoot ? "root" : "node";
    }
}

// The text as a reader needs it: control bytes named, one PJL line a row.
std::string Visible(const BYTE *data, DWORD size, const char *indent) {
    std::string out = indent;
    for (DWORD i = 0; i < size; ++i) {
        unsigned char c = data[i];
        if (c == '\0' && i + 1 == size) break;  // the terminating NUL
        switch (c) {
            case 0x1B: out += "<ESC>"; break;
            case '\r': out += "\\r"; break;
            case '\n':
                out += "\\n\n";
                if (i + 2 < size) out += indent;
                break;
            case '\t': out += "\\t"; break;
            case '\f': out += "\\f"; break;
            default:
                if (c < 0x20 || c == 0x7F) {
                    char hex[8];
                    std::snprintf(hex, sizeof hex, "<%02X>", c);
                    out += hex;
                } else {
                    out += static_cast<char>(c);
                }
        }
    }
    if (out.empty() || out.back() != '\n') out += '\n';
    return out;
}

void PrintTree(const InfoNode *node, int depth) {
    for (; node != nullptr; node = node->pNextSibling) {
        std::string pad(static_cast<size_t>(depth) * 2, ' ');
        std::printf("%snode %ld (%s), %lu data bytes\n", pad.c_str(), static_cast<long>(node->id),
                    NodeName(node->id, depth == 0), static_cast<unsigned long>(node->cbData));
        if (node->cbData != 0) std::fputs(Visible(INFO_NODE_DATA(node), node->cbData, (pad + "    ").c_str()).c_str(), stdout);
        PrintTree(node->pFirstChild, depth + 1);
    }
}

void FreeTree(InfoNode *node) {
    while (node != nullptr) {
        FreeTree(node->pFirstChild);
        InfoNode *next = node->pNextSibling;
        GlobalFree(node);
        node = next;
    }
}

int Query(int argc, char **argv) {
    unsigned long flags = 0x1E, emul = 0;
    bool haveEmul = false;
    std::vector<WORD> trays;
    for (int i = 0; i < argc; ++i) {
        std::string arg = argv[i];
        const char *value = i + 1 < argc ? argv[i + 1] : nullptr;
        if (arg == "--help") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (arg == "--flags") {
            if (!ParseNumber(value, flags)) return UsageError("--flags takes a number such as 0x1E");
            ++i;
        } else if (arg == "--emul") {
            if (!ParseNumber(value, emul)) return UsageError("--emul takes a number such as 15");
            haveEmul = true;
            ++i;
        } else if (arg == "--trays") {
            if (value == nullptr) return UsageError("--trays takes a list such as 3,1");
            std::string list = value;
            size_t start = 0;
            while (start <= list.size()) {
                size_t comma = list.find(',', start);
                std::string part = list.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
                unsigned long code = 0;
                if (!ParseNumber(part.c_str(), code) || code > 0xFFFF) return UsageError("--trays takes codes 0 to 65535");
                trays.push_back(static_cast<WORD>(code));
                if (comma == std::string::npos) break;
                start = comma + 1;
            }
            ++i;
        } else {
            return UsageError(("unknown option " + arg).c_str());
        }
    }

    PrnInfoEx record;
    std::memset(&record, 0, sizeof record);
    record.dwVersion = PRNINFOEX_MIN_VERSION;
    std::vector<TrayInfo> items(trays.size());
    for (size_t i = 0; i < trays.size(); ++i) {
        std::memset(&items[i], 0, sizeof items[i]);
        items[i].dwSize = sizeof(TrayInfo);
        items[i].wTrayCode = trays[i];
        items[i].pNext = i + 1 < trays.size() ? &items[i + 1] : nullptr;
    }
    record.pTrayInfo = items.empty() ? nullptr : &items[0];
    record.nTrayInfo = static_cast<DWORD>(items.size());

    InfoNode *root = haveEmul ? PatCreateEmulUniqQueryInfo(&record, 2, static_cast<DWORD>(emul), 0)
                              : PatCreateQueryInfo(&record, 2, static_cast<DWORD>(flags));
    if (root == nullptr) {
        unsigned long err = GetLastError();
        std::fprintf(stderr, "lumastat: the library refused the query: error %lu (0x%08lX)\n", err, err);
        return 1;
    }
    if (haveEmul)
        std::printf("emulation query for class %lu\n", emul);
    else
        std::printf("status query for flags 0x%lX\n", flags);
    PrintTree(root, 0);
    FreeTree(root);
    return 0;
}

// The library file beside this program, opened for its string tables.
HMODULE OpenLibraryResources() {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return nullptr;
    std::string p(path, n);
    p = p.substr(0, p.find_last_of("/\\") + 1) + LUMA_LIBRARY_FILE;
    return LoadLibraryExA(p.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
}

// An ANSI text of the given code page as UTF-8.
std::string ToUtf8(const char *text, UINT codePage) {
    int units = MultiByteToWideChar(codePage, 0, text, -1, nullptr, 0);
    if (units <= 0) return text;
    std::vector<WCHAR> wide(static_cast<size_t>(units));
    MultiByteToWideChar(codePage, 0, text, -1, wide.data(), units);
    int bytes = WideCharToMultiByte(CP_UTF8, 0, wide.data(), -1, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) return text;
    std::string out(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), -1, &out[0], bytes, nullptr, nullptr);
    out.resize(static_cast<size_t>(bytes - 1));
    return out;
}

// A JSON string. UTF-8 text passes through; a printer's bytes of unknown
// code page (`bytesAsLatin1`) are written as the Latin-1 characters they are.
std::string JsonString(const std::string &s, bool bytesAsLatin1 = false) {
    std::string out = "\"";
    for (unsigned char c : s) {
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                if (c < 0x20 || (bytesAsLatin1 && c >= 0x7F)) {
                    char hex[8];
                    std::snprintf(hex, sizeof hex, "\\u%04x", c);
                    out += hex;
                } else {
                    out += static_cast<char>(c);
                }
        }
    }
    return out + "\"";
}

struct MessageOptions {
    WORD langId = LANG_ID_USER_DEFAULT;
    const char *langName = nullptr;
    bool json = false;
    std::vector<std::string> rest;
};

// Reads --lang and --json; anything else is left in `rest`. 0 or an exit code.
int ReadMessageOptions(int argc, char **argv, MessageOptions &o) {
    for (int i = 0; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--lang") {
            if (i + 1 >= argc) return UsageError("--lang takes a language name such as DE");
            const LocaleNameRow *row = FindLocaleName(argv[++i]);
            if (row == nullptr) {
                std::fprintf(stderr, "lumastat: the library knows no language '%s' (error 0x%08lX)\n", argv[i],
                             static_cast<unsigned long>(PAT_ERR_LOCALE));
                return 2;
            }
            o.langId = LocaleLangId(row);
            o.langName = row->pszName;
        } else if (arg == "--json") {
            o.json = true;
        } else if (arg == "--help") {
            std::fputs(kUsage, stdout);
            return -1;
        } else {
            o.rest.push_back(arg);
        }
    }
    return 0;
}

int Message(int argc, char **argv) {
    MessageOptions o;
    if (int r = ReadMessageOptions(argc, argv, o)) return r < 0 ? 0 : r;
    unsigned long id = 0;
    if (o.rest.size() != 1 || o.json || !ParseNumber(o.rest[0].c_str(), id))
        return UsageError("message takes one message id, such as 1067");
    HMODULE library = OpenLibraryResources();
    if (library == nullptr) {
        std::fprintf(stderr, "lumastat: cannot open %s beside this program\n", LUMA_LIBRARY_FILE);
        return 1;
    }
    char text[512];
    DWORD code = LoadMessageIn(library, o.langId, static_cast<DWORD>(id), text, sizeof text);
    if (code != 0) {
        std::fprintf(stderr, "lumastat: message %lu: error 0x%08lX\n", id, static_cast<unsigned long>(code));
        return 1;
    }
    std::printf("%s\n", ToUtf8(text, LanguageCodePage(o.langId)).c_str());
    return 0;
}

int Catalogue(int argc, char **argv) {
    MessageOptions o;
    if (int r = ReadMessageOptions(argc, argv, o)) return r < 0 ? 0 : r;
    if (!o.rest.empty()) return UsageError(("unknown option " + o.rest[0]).c_str());
    HMODULE library = OpenLibraryResources();
    if (library == nullptr) {
        std::fprintf(stderr, "lumastat: cannot open %s beside this program\n", LUMA_LIBRARY_FILE);
        return 1;
    }
    const UINT codePage = LanguageCodePage(o.langId);
    if (o.json)
        std::printf("{\"language\": %s, \"langid\": %u, \"codepage\": %u, \"messages\": {",
                    o.langName ? JsonString(o.langName).c_str() : "null", o.langId, codePage);
    bool first = true;
    for (DWORD block = 1; block <= 4096; ++block) {
        if (FindResourceExA(library, RT_STRING, MAKEINTRESOURCEA(block), o.langId) == nullptr) continue;
        for (DWORD id = (block - 1) * 16; id < block * 16; ++id) {
            char text[512];
            if (LoadMessageIn(library, o.langId, id, text, sizeof text) != 0 || text[0] == '\0') continue;
            std::string utf8 = ToUtf8(text, codePage);
            if (o.json) {
                std::printf("%s\n  \"%lu\": %s", first ? "" : ",", static_cast<unsigned long>(id), JsonString(utf8).c_str());
            } else {
                std::string line;
                for (char c : utf8) line += c == '\n' ? std::string("\\n") : std::string(1, c);
                std::printf("%lu\t%s\n", static_cast<unsigned long>(id), line.c_str());
            }
            first = false;
        }
    }
    if (o.json) std::printf("\n}}\n");
    return 0;
}


// ---- parse: the reply intake into a fresh record ------------------------------

bool ReadFile(const char *path, std::string &out) {
    FILE *f = std::fopen(path, "rb");
    if (f == nullptr) return false;
    char buf[65536];
    size_t n;
    out.clear();
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) out.append(buf, n);
    bool ok = !std::ferror(f);
    std::fclose(f);
    return ok;
}

// A node with the text and its terminating NUL, hung under `parent`.
InfoNode *TextNode(InfoNode *parent, LONG id, const std::string &text) {
    DWORD size = static_cast<DWORD>(text.size() + 1);
    auto *node = static_cast<InfoNode *>(GlobalAlloc(GPTR, sizeof(InfoNode) + size));
    if (node == nullptr) return nullptr;
    node->id = id;
    node->cbData = size;
    std::memcpy(INFO_NODE_DATA(node), text.c_str(), size);
    node->pParent = parent;
    if (parent->pLastChild)
        parent->pLastChild->pNextSibling = node;
    else
        parent->pFirstChild = node;
    parent->pLastChild = node;
    return node;
}

// Prints a record as "name = value" lines or as one JSON object.
class RecordPrinter {
public:
    explicit RecordPrinter(bool json) : json_(json) {}

    void Number(const char *name, unsigned long v) { Field(name, std::to_string(v)); }
    void Text(const char *name, const char *s) {
        if (s == nullptr)
            Field(name, json_ ? "null" : "(none)");
        else
            Field(name, json_ ? JsonString(s, true) : std::string("\"") + s + "\"");
    }
    void BeginList(const char *name, unsigned long count) {
        Number((std::string("n") + (name + 1)).c_str(), count);
        Open(name, '[');
    }
    void EndList() { Close(']'); }
    void BeginObject(const char *name) { Open(name, '{'); }
    void EndObject() { Close('}'); }
    void BeginItem() { Open(nullptr, '{'); }
    void EndItem() { Close('}'); }
    void Begin() {
        if (json_) std::printf("{");
        first_ = true;
    }
    void End() { std::printf(json_ ? "\n}\n" : ""); }

private:
    void Indent() const {
        for (int i = 0; i < depth_; ++i) std::printf("  ");
    }
    void Field(const char *name, const std::string &value) {
        if (json_) {
            std::printf("%s\n", first_ ? "" : ",");
            Indent();
            std::printf("  \"%s\": %s", name, value.c_str());
        } else {
            Indent();
            std::printf("%s = %s\n", name, value.c_str());
        }
        first_ = false;
    }
    void Open(const char *name, char bracket) {
        if (json_) {
            std::printf("%s\n", first_ ? "" : ",");
            Indent();
            if (name)
                std::printf("  \"%s\": %c", name, bracket);
            else
                std::printf("  %c", bracket);
            first_ = true;
        } else {
            Indent();
            if (name)
                std::printf("%s:\n", name);
            else
                std::printf("- item %lu\n", static_cast<unsigned long>(++item_));
            if (name) item_ = 0;
        }
        ++depth_;
    }
    void Close(char bracket) {
        --depth_;
        if (json_) {
            std::printf("\n");
            Indent();
            std::printf("  %c", bracket);
        }
        first_ = false;
    }

    bool json_;
    bool first_ = true;
    int depth_ = 0;
    unsigned long item_ = 0;
};

template <typename Item, typename Fields>
void PrintList(RecordPrinter &p, const char *name, DWORD count, const Item *head, Fields fields) {
    p.BeginList(name, count);
    // The count may lie; never walk further than it says plus a bound.
    unsigned long shown = 0;
    for (const Item *i = head; i != nullptr && shown < 1000000; i = i->pNext, ++shown) {
        p.BeginItem();
        p.Number("dwSize", i->dwSize);
        fields(*i);
        p.EndItem();
    }
    p.EndList();
}

void PrintRecord(RecordPrinter &p, const PrnInfoEx &r) {
    p.Number("dwVersion", r.dwVersion);
    PrintList(p, "pEngineStatus", r.nEngineStatus, r.pEngineStatus, [&](const EngineStatus &e) {
        p.Number("wCode", e.wCode);
        p.Number("dwCode", e.dwCode);
        p.Text("szText", e.szText);
    });
    p.Text("pModelName", r.pModelName);
    p.Text("pMakerName", r.pMakerName);
    p.Text("pDescription", r.pDescription);
    p.Text("pSYSVersion", r.pSYSVersion);
    p.Text("pMainProgVersion", r.pMainProgVersion);
    p.Text("pKPSVersion", r.pKPSVersion);
    p.Number("dwMemorySize", r.dwMemorySize);
    p.Number("bOnline", r.bOnline);
    p.Number("bModelCode", r.bModelCode);
    p.Number("bOffline", r.bOffline);
    p.Number("bError", r.bError);
    p.Number("bPrinting", r.bPrinting);
    p.Number("bNoResponse", r.bNoResponse);
    p.Number("dwEmulValue", r.dwEmulValue);
    PrintList(p, "pLoadedEmul", r.nLoadedEmul, r.pLoadedEmul, [&](const LoadedEmul &e) {
        p.Number("wEmulCode", e.wEmulCode);
        p.Text("szVersion", e.szVersion);
    });
    PrintList(p, "pLoadedFont", r.nLoadedFont, r.pLoadedFont, [&](const LoadedFont &f) { p.Number("wFontCode", f.wFontCode); });
    p.Number("dwTrayValue", r.dwTrayValue);
    PrintList(p, "pTrayInfo", r.nTrayInfo, r.pTrayInfo, [&](const TrayInfo &t) {
        p.Number("wTrayCode", t.wTrayCode);
        p.Number("wPaperSize", t.wPaperSize);
        p.Number("wPaperLevel", t.wPaperLevel);
        p.Number("wMediaType", t.wMediaType);
        p.Number("dwTrayFlags", t.dwTrayFlags);
    });
    p.Number("dwOutBinValue", r.dwOutBinValue);
    PrintList(p, "pOutBinInfo", r.nOutBinInfo, r.pOutBinInfo, [&](const OutBinInfo &b) {
        p.Number("wBinCode", b.wBinCode);
        p.Number("wBinState", b.wBinState);
    });
    PrintList(p, "pDeviceInfo", r.nDeviceInfo, r.pDeviceInfo, [&](const DeviceInfo &d) { p.Number("wDeviceCode", d.wDeviceCode); });
    PrintList(p, "pEmulUniqInfo", r.nEmulUniqInfo, r.pEmulUniqInfo, [&](const EmulUniqInfo &e) {
        p.Number("wEmulCode", e.wEmulCode);
        p.Number("dwMemoryUsage", e.dwMemoryUsage);
        p.Text("szOther", e.szOther);
        p.Number("dwImageRotation", e.dwImageRotation);
    });
    PrintList(p, "pCounterInfo", r.nCounterInfo, r.pCounterInfo, [&](const CounterInfo &c) {
        p.Number("wCounterCode", c.wCounterCode);
        p.Number("dwValue", c.dwValue);
    });
    PrintList(p, "pSupplyInfo", r.nSupplyInfo, r.pSupplyInfo, [&](const SupplyInfo &c) {
        p.Number("wSupplyCode", c.wSupplyCode);
        p.Number("dwValue", c.dwValue);
    });
    PrintList(p, "pColorCorrection", r.nColorCorrection, r.pColorCorrection, [](const ListItem &) {});
    PrintList(p, "pCustomMediaInfo", r.nCustomMediaInfo, r.pCustomMediaInfo, [](const ListItem &) {});
    p.Number("bHasFunc2008", r.bHasFunc2008);
    p.Number("bMarkingType", r.bMarkingType);
    auto package = [&](const FuncpkgInfo &f) {
        p.Number("wPackageCode", f.wPackageCode);
        char name[sizeof f.szName + 1];
        std::memcpy(name, f.szName, sizeof f.szName);
        name[sizeof f.szName] = '\0';
        p.Text("szName", name);
        p.Text("szText", f.szText);
        p.Number("dwStatus", f.dwStatus);
    };
    PrintList(p, "pFuncpkgInfo", r.nFuncpkgInfo, r.pFuncpkgInfo, package);
    PrintList(p, "pFuncInfo", r.nFuncInfo, r.pFuncInfo, [&](const FuncInfo &f) { p.Number("dwFuncCode", f.dwFuncCode); });
    PrintList(p, "pSalespkgInfo", r.nSalespkgInfo, r.pSalespkgInfo,
              [&](const SalespkgInfo &f) { package(reinterpret_cast<const FuncpkgInfo &>(f)); });
    p.Number("dwExtraInfo1", r.dwExtraInfo1);
    p.Number("dwExtraInfo2", r.dwExtraInfo2);
    p.Number("dwExtraInfo3", r.dwExtraInfo3);
}

template <typename Item>
void FreeItems(Item *head) {
    while (head) {
        Item *next = head->pNext;
        GlobalFree(head);
        head = next;
    }
}

void ReleaseRecord(PrnInfoEx &r) {
    FreeItems(r.pEngineStatus);
    FreeItems(r.pLoadedEmul);
    FreeItems(r.pLoadedFont);
    FreeItems(r.pTrayInfo);
    FreeItems(r.pOutBinInfo);
    FreeItems(r.pDeviceInfo);
    FreeItems(r.pEmulUniqInfo);
    FreeItems(r.pCounterInfo);
    FreeItems(r.pSupplyInfo);
    FreeItems(r.pColorCorrection);
    FreeItems(r.pCustomMediaInfo);
    FreeItems(r.pFuncpkgInfo);
    FreeItems(r.pFuncInfo);
    FreeItems(r.pSalespkgInfo);
    for (LPSTR s : {r.pModelName, r.pMakerName, r.pDescription, r.pSYSVersion, r.pMainProgVersion, r.pKPSVersion})
        if (s) GlobalFree(s);
    std::memset(&r, 0, sizeof r);
}

int Parse(int argc, char **argv) {
    const char *replyPath = nullptr, *deviceIdPath = nullptr, *deviceIdText = nullptr;
    unsigned long queryFlags = 0;
    bool haveQuery = false, json = false;
    for (int i = 0; i < argc; ++i) {
        std::string arg = argv[i];
        const char *value = i + 1 < argc ? argv[i + 1] : nullptr;
        if (arg == "--help") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (arg == "--json") {
            json = true;
        } else if (arg == "--reply" || arg == "--device-id" || arg == "--device-id-file" || arg == "--query-flags") {
            if (value == nullptr) return UsageError((arg + " takes a value").c_str());
            if (arg == "--reply") replyPath = value;
            if (arg == "--device-id") deviceIdText = value;
            if (arg == "--device-id-file") deviceIdPath = value;
            if (arg == "--query-flags") {
                if (!ParseNumber(value, queryFlags)) return UsageError("--query-flags takes a number such as 0x1E");
                haveQuery = true;
            }
            ++i;
        } else {
            return UsageError(("unknown option " + arg).c_str());
        }
    }
    if (replyPath == nullptr) return UsageError("parse needs --reply FILE");
    if (deviceIdText && deviceIdPath) return UsageError("give --device-id or --device-id-file, not both");
    std::string reply, deviceId;
    if (!ReadFile(replyPath, reply)) {
        std::fprintf(stderr, "lumastat: cannot read %s\n", replyPath);
        return 1;
    }
    if (deviceIdPath && !ReadFile(deviceIdPath, deviceId)) {
        std::fprintf(stderr, "lumastat: cannot read %s\n", deviceIdPath);
        return 1;
    }
    if (deviceIdText) deviceId = deviceIdText;

    PrnInfoEx record;
    std::memset(&record, 0, sizeof record);
    record.dwVersion = PRNINFOEX_MIN_VERSION;

    // The CentroData tree, as a monitor program builds it.
    auto *root = static_cast<InfoNode *>(GlobalAlloc(GPTR, sizeof(InfoNode)));
    if (root == nullptr) return 1;
    root->id = INFO_REPLY_ROOT;
    if (haveQuery) {
        InfoNode *query = PatCreateQueryInfo(&record, 2, static_cast<DWORD>(queryFlags));
        if (query == nullptr) {
            std::fprintf(stderr, "lumastat: the library refused the query: error %lu\n", static_cast<unsigned long>(GetLastError()));
            GlobalFree(root);
            return 1;
        }
        query->pParent = root;
        root->pFirstChild = root->pLastChild = query;
    }
    TextNode(root, INFO_PJL_TEXT, reply);
    if (deviceIdText || deviceIdPath) TextNode(root, INFO_DEVICE_ID, deviceId);

    BOOL ok = PatSetCentroDataTo(root, 0, &record, 2);
    unsigned long err = GetLastError();
    RecordPrinter p(json);
    p.Begin();
    p.Number("result", ok ? 1 : 0);
    p.Number("lastError", err);
    p.BeginObject("record");
    PrintRecord(p, record);
    p.EndObject();
    p.End();
    if (!ok) std::fprintf(stderr, "lumastat: PatSetCentroDataTo failed: error %lu (0x%08lX)\n", err, err);
    ReleaseRecord(record);
    FreeTree(root);
    return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char **argv) {
    if (argc < 2) return UsageError("a command is needed");
    std::string cmd = argv[1];
    if (cmd == "--help" || cmd == "-h" || cmd == "help") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (cmd == "query") return Query(argc - 2, argv + 2);
    if (cmd == "message") return Message(argc - 2, argv + 2);
    if (cmd == "catalogue") return Catalogue(argc - 2, argv + 2);
    if (cmd == "parse") return Parse(argc - 2, argv + 2);
    return UsageError(("unknown command " + cmd).c_str());
}
