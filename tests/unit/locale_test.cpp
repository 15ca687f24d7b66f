#include "status/locale.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct NameCase {
    const char *name;
    int langId;  // -1: refused
};

class LocaleNames : public ::testing::TestWithParam<NameCase> {};

TEST_P(LocaleNames, SelectTheLanguageOrLeaveIt) {
    const NameCase &c = GetParam();
    ASSERT_EQ(SetLocaleByName("FI"), 0u);
    DWORD code = SetLocaleByName(c.name);
    if (c.langId < 0) {
        EXPECT_EQ(code, static_cast<DWORD>(PAT_ERR_LOCALE)) << c.name;
        EXPECT_EQ(GetCurrentLangId(), 0x040B) << c.name << ": the language stays";
    } else {
        EXPECT_EQ(code, 0u) << c.name;
        EXPECT_EQ(GetCurrentLangId(), c.langId) << c.name;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, LocaleNames,
    ::testing::Values(NameCase{"JP", 0x0411}, NameCase{"EN", 0x0409}, NameCase{"de", 0x0407},
                      NameCase{"Fr", 0x040C}, NameCase{"it", 0x0410}, NameCase{"ES", 0x040A},
                      NameCase{"nl", 0x0413}, NameCase{"SV", 0x041D}, NameCase{"da", 0x0406},
                      NameCase{"No", 0x0414}, NameCase{"cs", 0x0405}, NameCase{"HU", 0x040E},
                      NameCase{"pt", 0x0416}, NameCase{"PL", 0x0415}, NameCase{"fi", 0x040B},
                      NameCase{"zh_cn", 0x0804}, NameCase{"ZH_TW", 0x0404},
                      NameCase{"", -1}, NameCase{"DEU", -1}, NameCase{"ZH", -1}, NameCase{"ZH-CN", -1},
                      NameCase{" EN", -1}, NameCase{"EN ", -1}, NameCase{"GERMAN", -1}, NameCase{"JA", -1},
                      NameCase{"ZH_CNXXXXXX", -1}, NameCase{"ENENENENENEN", -1}));

}  // namespace
