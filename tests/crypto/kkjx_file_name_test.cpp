#include "crypto/kkjx_file_name.h"

#include <gtest/gtest.h>

#include "support/test_text.h"

namespace yz::test {
namespace {

TEST(KkjxFileNameTest, NamesThatStayInTheProgramDirectory) {
    for (const Text name :
         {"稿", "第一章 上", "a.b", "CONSOLE", "COM0", "COM10", "LPT", "nul1", "運", "乗表", "~!@#$%^&()_+-=[]{};',"}) {
        EXPECT_TRUE(IsAcceptableKkjxName(name)) << Show(name);
    }
}

TEST(KkjxFileNameTest, NamesTheSystemWouldTakeElsewhereOrRefuse) {
    for (const Text name : {"",        "a\\b",     "..\\x", "a/b",  "c:x",      "a*",   "?",    "\"",   "<",
                            ">",       "|",        "a\tb",  "\x1f", "a\x7f",    "稿.",  "稿 ",  "CON",  "con",
                            "Con.txt", "CON .txt", "PRN",   "AUX",  "NUL.kkjx", "COM1", "com9", "LPT1", "lpt9.a.b"}) {
        EXPECT_FALSE(IsAcceptableKkjxName(name)) << Show(name);
    }
    // A lone lead byte at the end is a byte like any other.
    EXPECT_TRUE(IsAcceptableKkjxName("a\x81"));
}

}  // namespace
}  // namespace yz::test
