// Texts between the program's code page and the UTF-8 of terminals and X11,
// and the lines a message box breaks its text into.
#include <gtest/gtest.h>

#include "frontends/text_util.h"

namespace {

TEST(TextUtilTest, Latin1AndUtf8)
{
    struct Case {
        const char* name;
        std::string utf8;
        std::string latin1;
    };
    const Case cases[] = {
        {"plain", "c:\\quorix", "c:\\quorix"},
        {"accented", "c:\\\xC3\xA9t\xC3\xA9", "c:\\\xE9t\xE9"},
        {"the last Latin-1 letter", "\xC3\xBF", "\xFF"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(platform::utf8_to_latin1(c.utf8), c.latin1);
        EXPECT_EQ(platform::latin1_to_utf8(c.latin1), c.utf8);
    }
}

TEST(TextUtilTest, WhatTheCodePageHasNoPlaceForBecomesAQuestionMark)
{
    struct Case {
        const char* name;
        std::string utf8;
        std::string latin1;
    };
    const Case cases[] = {
        {"euro sign", "5\xE2\x82\xAC", "5?"},
        {"emoji", "a\xF0\x9F\x98\x80" "b", "a?b"},
        {"stray continuation byte", "a\x80" "b", "a?b"},
        {"cut-off sequence", "a\xC3", "a?"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(platform::utf8_to_latin1(c.utf8), c.latin1);
    }
}

TEST(TextUtilTest, TextLines)
{
    struct Case {
        const char* name;
        const char* text;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"one line", "ready", {"ready"}},
        {"a final line break shows no empty line", "a\nb\n", {"a", "b"}},
        {"blank-looking lines are kept", "a\n \nb", {"a", " ", "b"}},
        {"empty lines are kept", "a\n\nb", {"a", "", "b"}},
        {"empty text", "", {""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(platform::text_lines(c.text), c.lines);
    }
}

TEST(TextUtilTest, WrappingBreaksAtBlanksAndLosesNothing)
{
    auto count = [](const std::string& s) { return (int)s.size(); };
    struct Case {
        const char* name;
        std::string line;
        int limit;
        std::vector<std::string> pieces;
    };
    const Case cases[] = {
        {"fits", "Add the directory", 40, {"Add the directory"}},
        {"at blanks", "Add the directory c:\\quorix\\win", 18, {"Add the directory", "c:\\quorix\\win"}},
        {"a word longer than the limit", "SET QUORIX=c:\\a\\very\\long\\path", 12,
         {"SET", "QUORIX=c:\\a\\", "very\\long\\pa", "th"}},
        {"a leading blank stays", " to the file AUTOEXEC.BAT", 12, {" to the file", "AUTOEXEC.BAT"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> pieces;
        platform::wrap_line(c.line, c.limit, count, pieces);
        EXPECT_EQ(pieces, c.pieces);
        for (const std::string& p : pieces) EXPECT_LE((int)p.size(), c.limit) << p;
    }
}

}  // namespace
