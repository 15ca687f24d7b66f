#include "pjl/reply_scanner.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Tok {
    DWORD kind;
    std::string text;
    DWORD result = ERROR_SUCCESS;
};

std::string Visible(const std::string &s) {
    std::string out;
    for (char c : s) {
        switch (c) {
            case '\n': out += "<LF>"; break;
            case '\r': out += "<CR>"; break;
            case '\t': out += "<TAB>"; break;
            case '\f': out += "<FF>"; break;
            case '\x1B': out += "<ESC>"; break;
            default: out += c;
        }
    }
    return out;
}

std::string Show(DWORD result, DWORD kind, const std::string &text) {
    return "(" + std::to_string(result) + ", " + std::to_string(kind) + ", '" + Visible(text) + "')";
}

Tok Pjl() { return {PJL_TOKEN_PJL, "@PJL"}; }
Tok Command(const char *s) { return {PJL_TOKEN_COMMAND, s}; }
Tok Category(const char *s) { return {PJL_TOKEN_CATEGORY, s}; }
Tok Prefix(const char *s) { return {PJL_TOKEN_PREFIX, s}; }
Tok PrefixValue(const char *s) { return {PJL_TOKEN_PREFIX_VALUE, s}; }
Tok CommandValue(const char *s) { return {PJL_TOKEN_COMMAND_VALUE, s}; }
Tok Item(const char *s) { return {PJL_TOKEN_ITEM, s}; }
Tok ItemValue(const char *s) { return {PJL_TOKEN_ITEM_VALUE, s}; }
Tok Count(const char *s) { return {PJL_TOKEN_COUNT, s}; }
Tok CountType(const char *s) { return {PJL_TOKEN_COUNT_TYPE, s}; }
Tok Entry(const char *s) { return {PJL_TOKEN_ENTRY, s}; }
Tok EntryValue(const char *s) { return {PJL_TOKEN_ENTRY_VALUE, s}; }
Tok Word(const char *s) { return {PJL_TOKEN_EOL, s}; }  // a word where a line end was due
const Tok LF{PJL_TOKEN_EOL, "\n"};
const Tok TAB{PJL_TOKEN_TAB, "\t"};
const Tok FF{PJL_TOKEN_FORMFEED, "\f"};
const Tok END{PJL_TOKEN_END, ""};
Tok Fails(Tok t) {
    t.result = ERROR_INVALID_DATA;
    return t;
}

using Toks = std::vector<Tok>;

Toks Join(std::initializer_list<Toks> parts) {
    Toks all;
    for (const Toks &p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
}

// An enumeration: "NAME [n ENUMERATED]" and one entry line per entry.
Toks Enumerated(const char *name, const char *count, std::initializer_list<Toks> entries) {
    Toks t{Item(name), Count(count), CountType("ENUMERATED"), LF};
    for (const Toks &e : entries) {
        t.push_back(TAB);
        t.insert(t.end(), e.begin(), e.end());
        t.push_back(LF);
    }
    return t;
}

const std::string UEL = "\x1B%-12345X";

// INFO CONFIG as a printer of the family answers it, wrapped in UELs.
const std::string kConfigReply = UEL +
                                 "@PJL INFO CONFIG\r\n"
                                 "IN TRAYS [3 ENUMERATED]\r\n"
                                 "\tINTRAY1 MP\r\n"
                                 "\tINTRAY2 PC\r\n"
                                 "\tINTRAY3 LC\r\n"
                                 "ENVELOPE TRAY\r\n"
                                 "OUT TRAYS [1 ENUMERATED]\r\n"
                                 "\tNORMAL FACEDOWN\r\n"
                                 "PAPERS [4 ENUMERATED]\r\n"
                                 "\tLETTER\r\n"
                                 "\tLEGAL\r\n"
                                 "\tA4\r\n"
                                 "\tEXECUTIVE\r\n"
                                 "LANGUAGES [2 ENUMERATED]\r\n"
                                 "\tPCL\r\n"
                                 "\tPOSTSCRIPT\r\n"
                                 "USTATUS [4 ENUMERATED]\r\n"
                                 "\tDEVICE\r\n"
                                 "\tJOB\r\n"
                                 "\tPAGE\r\n"
                                 "\tTIMED\r\n"
                                 "MEMORY=8388608\r\n"
                                 "DISPLAY LINES=1\r\n"
                                 "DISPLAY CHARACTER SIZE=16\r\n"
                                 "\f" +
                                 UEL;

const Toks kConfigTokens = Join({
    {Pjl(), Command("INFO"), Category("CONFIG"), LF},
    Enumerated("IN TRAYS", "3",
               {{Entry("INTRAY1"), EntryValue("MP")},
                {Entry("INTRAY2"), EntryValue("PC")},
                {Entry("INTRAY3"), EntryValue("LC")}}),
    {Item("ENVELOPE TRAY"), LF},
    Enumerated("OUT TRAYS", "1", {{Entry("NORMAL"), EntryValue("FACEDOWN")}}),
    Enumerated("PAPERS", "4", {{Entry("LETTER")}, {Entry("LEGAL")}, {Entry("A4")}, {Entry("EXECUTIVE")}}),
    Enumerated("LANGUAGES", "2", {{Entry("PCL")}, {Entry("POSTSCRIPT")}}),
    Enumerated("USTATUS", "4", {{Entry("DEVICE")}, {Entry("JOB")}, {Entry("PAGE")}, {Entry("TIMED")}}),
    {Item("MEMORY"), ItemValue("8388608"), LF},
    {Item("DISPLAY LINES"), ItemValue("1"), LF},
    {Item("DISPLAY CHARACTER SIZE"), ItemValue("16"), LF},
    {FF, END},
});

// Several answers in one reply, as the status query gets them.
const std::string kStatusReply = UEL +
                                 "@PJL\r\n"
                                 "@PJL INQUIRE INTRAY1SIZE\r\n"
                                 "LETTER\r\n"
                                 "\f"
                                 "@PJL INQUIRE LPARM:PCL FONTSOURCE\r\n"
                                 "I\r\n"
                                 "\f"
                                 "@PJL INFO STATUS\r\n"
                                 "CODE=10001\r\n"
                                 "DISPLAY=\"READY\"\r\n"
                                 "ONLINE=TRUE\r\n"
                                 "\f" +
                                 UEL;

const Toks kStatusTokens = {
    Pjl(), LF,
    Pjl(), Command("INQUIRE"), Category("INTRAY1SIZE"), LF, Item("LETTER"), LF, FF,
    Pjl(), Command("INQUIRE"), Prefix("LPARM"), PrefixValue("PCL"), Category("FONTSOURCE"), LF, Item("I"), LF, FF,
    Pjl(), Command("INFO"), Category("STATUS"), LF,
    Item("CODE"), ItemValue("10001"), LF,
    Item("DISPLAY"), ItemValue("READY"), LF,
    Item("ONLINE"), ItemValue("TRUE"), LF,
    FF, END,
};

std::string BareLineFeeds(std::string s) {
    for (size_t at; (at = s.find("\r\n")) != std::string::npos;) s.erase(at, 1);
    return s;
}

const std::string kLongWord(60, 'W');

struct ScanCase {
    const char *name;
    std::string text;
    Toks tokens;
    DWORD size = 48;
};

std::ostream &operator<<(std::ostream &os, const ScanCase &c) { return os << c.name; }

std::vector<ScanCase> ScanCases() {
    return {
        {"WorkedExample",
         "@PJL INFO CONFIG\r\nIN TRAYS [1 ENUMERATED]\r\n\tINTRAY1 550\r\nMEMORY=8388608\r\n\f",
         {Pjl(), Command("INFO"), Category("CONFIG"), LF, Item("IN TRAYS"), Count("1"), CountType("ENUMERATED"), LF,
          TAB, Entry("INTRAY1"), EntryValue("550"), LF, Item("MEMORY"), ItemValue("8388608"), LF, FF, END}},
        {"InfoConfig", kConfigReply, kConfigTokens},
        {"InfoConfigBareLineFeeds", BareLineFeeds(kConfigReply), kConfigTokens},
        {"SeveralAnswers", kStatusReply, kStatusTokens},
        {"SeveralAnswersBareLineFeeds", BareLineFeeds(kStatusReply), kStatusTokens},
        {"CommandValueThenUel", "@PJL SET COPIES=2\r\n" + UEL,
         {Pjl(), Command("SET"), Category("COPIES"), CommandValue("2"), LF, END}},

        {"EmptyText", "", {END, END}},
        {"NoPjl", "garbage\r\n\f" + UEL, {END, END}},
        {"EndsInCommandLine", "@PJL INFO CONFIG", {Pjl(), Command("INFO"), Category("CONFIG"), Fails(END), END}},
        {"EchoThenFormFeed", "@PJL INFO STATUS\r\n\f", {Pjl(), Command("INFO"), Category("STATUS"), LF, Fails(FF)}},
        {"CutOffBeforeFormFeed", "@PJL INFO STATUS\r\nCODE=10001\r\n",
         {Pjl(), Command("INFO"), Category("STATUS"), LF, Item("CODE"), ItemValue("10001"), LF, Fails(END), END}},
        {"CommandLineAtEnd", "@PJL SET COPIES=2\r\n",
         {Pjl(), Command("SET"), Category("COPIES"), CommandValue("2"), LF, Fails(END)}},
        {"ColonInDataLineThenResync", "@PJL INFO X\r\nA:B\r\n\f@PJL INFO Y\r\nOK\r\n\f",
         {Pjl(), Command("INFO"), Category("X"), LF, Fails(Item("A")),
          Pjl(), Command("INFO"), Category("Y"), LF, Item("OK"), LF, FF, END}},
        {"EntryOfThreeWords", "@PJL INFO X\r\nL [1 ENUMERATED]\r\n\tB C D\r\n\f",
         {Pjl(), Command("INFO"), Category("X"), LF, Item("L"), Count("1"), CountType("ENUMERATED"), LF, TAB,
          Entry("B"), Fails(EntryValue("C")), END}},
        {"QuotedValues", "@PJL INFO STATUS\r\nDISPLAY=\"READY\"\r\nLINE2=\"   \"\r\n\f",
         {Pjl(), Command("INFO"), Category("STATUS"), LF, Item("DISPLAY"), ItemValue("READY"), LF, Item("LINE2"),
          ItemValue(""), LF, FF, END}},
        {"UnclosedQuote", "@PJL INFO STATUS\r\nDISPLAY=\"READY",
         {Pjl(), Command("INFO"), Category("STATUS"), LF, Item("DISPLAY"), ItemValue("READY"), Fails(END)}},
        {"SpacesBeforeBracket", "@PJL INFO CONFIG\r\nIN TRAYS   [1 ENUMERATED]\r\n\f",
         {Pjl(), Command("INFO"), Category("CONFIG"), LF, Item("IN TRAYS"), Count("1"), CountType("ENUMERATED"), LF,
          FF, END}},
        {"SpaceAfterEquals", "@PJL INFO CONFIG\r\nMEMORY= 5\r\n\f",
         {Pjl(), Command("INFO"), Category("CONFIG"), LF, Item("MEMORY"), ItemValue(""), Word("5"), Fails(LF)}},
        {"InfoVariables",
         "@PJL INFO VARIABLES\r\nCOPIES=1 [2 RANGE]\r\n\t1\r\n\t999\r\n"
         "ORIENTATION=PORTRAIT [2 ENUMERATED]\r\n\tPORTRAIT\r\n\tLANDSCAPE\r\n\f",
         Join({{Pjl(), Command("INFO"), Category("VARIABLES"), LF, Item("COPIES"), ItemValue("1"), Count("2"),
                CountType("RANGE"), LF, TAB, Entry("1"), LF, TAB, Entry("999"), LF},
               {Item("ORIENTATION"), ItemValue("PORTRAIT"), Count("2"), CountType("ENUMERATED"), LF, TAB,
                Entry("PORTRAIT"), LF, TAB, Entry("LANDSCAPE"), LF, FF, END}})},
        {"EntryWithEquals", "@PJL INFO X\r\nL [1 ENUMERATED]\r\n\tCOPIES= 1\r\n\f",
         {Pjl(), Command("INFO"), Category("X"), LF, Item("L"), Count("1"), CountType("ENUMERATED"), LF, TAB,
          Entry("COPIES"), EntryValue("1"), LF, FF, END}},
        // A word that cannot start at ":" would otherwise be read as empty
        // for ever.
        {"ColonInBrackets", "@PJL INFO X\r\nL [1 A:B]\r\n\f",
         {Pjl(), Command("INFO"), Category("X"), LF, Item("L"), Count("1"), Fails(CountType("A")), END}},
        {"LongWordIsCut", "@PJL INQUIRE " + kLongWord + "\r\nOK\r\n\f",
         {Pjl(), Command("INQUIRE"), Category(kLongWord.substr(0, 47).c_str()), LF, Item("OK"), LF, FF, END}},
        {"TinyBuffer", "@PJL INFO X\r\nA=1\r\n\f",
         {{PJL_TOKEN_PJL, "@P"}, Command("IN"), Category("X"), LF, Item("A"), ItemValue("1"), LF, FF, END},
         3},
        {"OneCharBuffer", "@PJL INFO X\r\n\f",
         {{PJL_TOKEN_PJL, ""}, Command(""), Category(""), {PJL_TOKEN_EOL, ""}, Fails({PJL_TOKEN_FORMFEED, ""})},
         1},
    };
}

class ScanTable : public ::testing::TestWithParam<ScanCase> {};

TEST_P(ScanTable, YieldsTokens) {
    const ScanCase &c = GetParam();
    PjlReplyScanner scanner;
    ASSERT_EQ(ResetPjlReplyScanner(&scanner, c.text.c_str()), 0u);
    const char *end = c.text.c_str() + c.text.size();
    constexpr char kGuard = '\x5A';
    for (size_t i = 0; i < c.tokens.size(); ++i) {
        const Tok &want = c.tokens[i];
        std::vector<char> buffer(c.size + 4, kGuard);
        buffer[0] = '\0';
        DWORD kind = 0;
        DWORD result = NextPjlToken(&scanner, buffer.data(), c.size, &kind);
        std::string got(buffer.data());
        EXPECT_EQ(Show(result, kind, got), Show(want.result, want.kind, want.text)) << "token " << i;
        for (size_t g = c.size; g < buffer.size(); ++g) ASSERT_EQ(buffer[g], kGuard) << "wrote past the buffer";
        ASSERT_GE(scanner.pszCursor, c.text.c_str());
        ASSERT_LE(scanner.pszCursor, end);
    }
}

INSTANTIATE_TEST_SUITE_P(Replies, ScanTable, ::testing::ValuesIn(ScanCases()),
                         [](const ::testing::TestParamInfo<ScanCase> &info) { return std::string(info.param.name); });

TEST(ReplyScanner, EndOfTextLeavesBufferAndCursor) {
    const char text[] = "no reply here";
    PjlReplyScanner scanner;
    ResetPjlReplyScanner(&scanner, text);
    char buffer[8] = "keep";
    DWORD kind = 0;
    EXPECT_EQ(NextPjlToken(&scanner, buffer, sizeof buffer, &kind), 0u);
    EXPECT_EQ(kind, PJL_TOKEN_END);
    EXPECT_STREQ(buffer, "keep");
    EXPECT_EQ(scanner.pszCursor, text + sizeof text - 1);
    EXPECT_EQ(scanner.nState, PJL_STATE_SEARCH);
}

TEST(ReplyScanner, ErrorLeavesCursorAtTheFailingRead) {
    const char text[] = "@PJL INFO X\r\nA:B\r\n\f";
    PjlReplyScanner scanner;
    ResetPjlReplyScanner(&scanner, text);
    char buffer[48];
    DWORD kind = 0, result = 0;
    for (int i = 0; i < 5 && result == 0; ++i) result = NextPjlToken(&scanner, buffer, sizeof buffer, &kind);
    EXPECT_EQ(result, static_cast<DWORD>(ERROR_INVALID_DATA));
    EXPECT_EQ(kind, PJL_TOKEN_ITEM);
    EXPECT_EQ(scanner.nState, PJL_STATE_SEARCH);
    EXPECT_STREQ(scanner.pszCursor, ":B\r\n\f");
}

TEST(ReplyScanner, ReadFieldStopsAtControlCharacters) {
    struct Row {
        const char *text;
        DWORD kind;
        const char *token;
        const char *rest;
    } rows[] = {
        {"", PJL_TOKEN_END, "", ""},
        {"\n  \rX", PJL_TOKEN_EOL, "\n", "X"},
        {"\tX", PJL_TOKEN_TAB, "\t", "X"},
        {"\fX", PJL_TOKEN_FORMFEED, "\f", "X"},
        {"A\tB\f\"C D", PJL_TOKEN_ENTRY_VALUE, "A\tB\f\"C", "D"},  // inside a word they belong to it
        {"\"a \"b", PJL_TOKEN_ENTRY_VALUE, "a", "b"},
    };
    for (const Row &r : rows) {
        PjlReplyScanner scanner;
        ResetPjlReplyScanner(&scanner, r.text);
        char buffer[48];
        EXPECT_EQ(ReadPjlField(&scanner, PJL_TOKEN_ENTRY_VALUE, buffer, sizeof buffer), r.kind) << Visible(r.text);
        EXPECT_EQ(Visible(buffer), Visible(r.token));
        EXPECT_STREQ(scanner.pszCursor, r.rest);
    }
}

TEST(ReplyScanner, RefusesUnusableArguments) {
    PjlReplyScanner scanner;
    ResetPjlReplyScanner(&scanner, "@PJL INFO X\r\n");
    char buffer[4];
    DWORD kind = 7;
    EXPECT_EQ(NextPjlToken(&scanner, buffer, 0, &kind), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(NextPjlToken(&scanner, nullptr, 4, &kind), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(kind, 7u);
    // Nothing was consumed: the scan starts from the beginning.
    EXPECT_EQ(NextPjlToken(&scanner, buffer, sizeof buffer, &kind), 0u);
    EXPECT_EQ(kind, PJL_TOKEN_PJL);

    ResetPjlReplyScanner(&scanner, nullptr);  // read as an empty text
    EXPECT_EQ(NextPjlToken(&scanner, buffer, sizeof buffer, &kind), 0u);
    EXPECT_EQ(kind, PJL_TOKEN_END);
}

}  // namespace
