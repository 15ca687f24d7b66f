// lumastat: the monitor-side tool of LUMAstat.dll.
#include <LUMAstat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

const char kUsage[] =
    "usage: lumastat query [--flags BITS] [--emul CLASS] [--trays CODES]\n"
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

}  // namespace

int main(int argc, char **argv) {
    if (argc < 2) return UsageError("a command is needed");
    std::string cmd = argv[1];
    if (cmd == "--help" || cmd == "-h" || cmd == "help") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (cmd == "query") return Query(argc - 2, argv + 2);
    return UsageError(("unknown command " + cmd).c_str());
}
