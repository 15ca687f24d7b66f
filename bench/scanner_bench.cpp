// Reply scanner throughput: the cost of scanning a reply to its end, as a
// multiple of one strlen over the same bytes in the same run, for a
// realistic reply, a reply of about 1 MB, and a size series that shows the
// cost growing linearly with the text.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

#include "pjl/reply_scanner.h"

namespace {

const std::string UEL = "\x1B%-12345X";

// What the status query brings back from a printer of the family.
std::string RealisticReply() {
    return UEL +
           "@PJL\r\n"
           "@PJL INFO CONFIG\r\n"
           "IN TRAYS [3 ENUMERATED]\r\n\tINTRAY1 MP\r\n\tINTRAY2 PC\r\n\tINTRAY3 LC\r\n"
           "ENVELOPE TRAY\r\n"
           "OUT TRAYS [1 ENUMERATED]\r\n\tNORMAL FACEDOWN\r\n"
           "PAPERS [4 ENUMERATED]\r\n\tLETTER\r\n\tLEGAL\r\n\tA4\r\n\tEXECUTIVE\r\n"
           "LANGUAGES [2 ENUMERATED]\r\n\tPCL\r\n\tPOSTSCRIPT\r\n"
           "USTATUS [4 ENUMERATED]\r\n\tDEVICE\r\n\tJOB\r\n\tPAGE\r\n\tTIMED\r\n"
           "MEMORY=8388608\r\nDISPLAY LINES=1\r\nDISPLAY CHARACTER SIZE=16\r\n\f"
           "@PJL INQUIRE FRONTCOVERPRINTTRAY\r\nOFF\r\n\f"
           "@PJL INQUIRE INTRAY1SIZE\r\nLETTER\r\n\f"
           "@PJL INQUIRE INTRAY1QUANT\r\n50\r\n\f"
           "@PJL INQUIRE INTRAY1MEDIA\r\nPLAIN\r\n\f"
           "@PJL INFO OUTBINSTATUS\r\nOUTBIN1=READY\r\nOUTBIN2=FULL\r\n\f"
           "@PJL INFO STATUS\r\nCODE=10001\r\nDISPLAY=\"READY\"\r\nONLINE=TRUE\r\n\f" +
           UEL;
}

// Whole replies repeated up to at least `size` bytes.
std::string ReplyOfSize(size_t size) {
    const std::string one = RealisticReply();
    std::string text;
    text.reserve(size + one.size());
    while (text.size() < size) text += one;
    return text;
}

volatile unsigned long g_sink;

unsigned long ScanToEnd(const char *text) {
    PjlReplyScanner scanner;
    ResetPjlReplyScanner(&scanner, text);
    char token[48];
    unsigned long tokens = 0;
    for (;;) {
        DWORD kind = 0;
        DWORD result = NextPjlToken(&scanner, token, sizeof token, &kind);
        ++tokens;
        if (kind == PJL_TOKEN_END && result == ERROR_SUCCESS) return tokens;
    }
}

// Best of several timed rounds, in nanoseconds per pass.
template <typename Pass>
double NanosecondsPerPass(Pass pass, unsigned passes) {
    double best = 1e300;
    for (int round = 0; round < 5; ++round) {
        auto start = std::chrono::steady_clock::now();
        for (unsigned i = 0; i < passes; ++i) g_sink = g_sink + pass();
        std::chrono::duration<double, std::nano> took = std::chrono::steady_clock::now() - start;
        if (took.count() / passes < best) best = took.count() / passes;
    }
    return best;
}

struct Figures {
    size_t bytes;
    unsigned long tokens;
    double scanNs, strlenNs;
};

Figures Measure(const std::string &text) {
    const char *volatile bytes = text.c_str();  // strlen is read afresh each pass
    unsigned passes = static_cast<unsigned>(4000000 / (text.size() + 1000)) + 1;
    Figures f;
    f.bytes = text.size();
    f.tokens = ScanToEnd(text.c_str());
    f.scanNs = NanosecondsPerPass([&] { return ScanToEnd(bytes); }, passes);
    f.strlenNs = NanosecondsPerPass([&] { return static_cast<unsigned long>(strlen(bytes)); }, passes * 8);
    return f;
}

void Print(const char *name, const Figures &f) {
    std::printf("%-22s %9zu bytes %7lu tokens  scan %8.2f ns/byte  strlen %6.3f ns/byte  ratio %6.1f\n", name,
                f.bytes, f.tokens, f.scanNs / f.bytes, f.strlenNs / f.bytes, f.scanNs / f.strlenNs);
}

}  // namespace

int main() {
    std::printf("PJL reply scanner: time to scan to the end, against one strlen over the same bytes\n\n");
    Print("realistic reply", Measure(RealisticReply()));
    Print("reply of about 1 MB", Measure(ReplyOfSize(1 << 20)));

    std::printf("\nsize series (ns/byte should stay flat):\n");
    for (size_t size = 16 << 10; size <= (4u << 20); size *= 4) {
        char name[32];
        std::snprintf(name, sizeof name, "%zu KB", size >> 10);
        Print(name, Measure(ReplyOfSize(size)));
    }
    return 0;
}
