// The keys a terminal sends, decoded.
#include <gtest/gtest.h>

#include "frontends/terminal.h"

namespace {

using platform::terminal::Key;
using Kind = Key::Kind;

Key character(unsigned char c)
{
    Key k;
    k.character = c;
    return k;
}

Key named(UINT vk, bool shift = false, bool alt = false)
{
    Key k;
    k.kind = Kind::virtual_key;
    k.virtual_key = vk;
    k.shift = shift;
    k.alt = alt;
    return k;
}

Key alt_letter(char c)
{
    Key k;
    k.kind = Kind::alt_letter;
    k.character = (unsigned char)c;
    k.alt = true;
    return k;
}

Key click(int column, int row)
{
    Key k;
    k.kind = Kind::click;
    k.column = column;
    k.row = row;
    return k;
}

TEST(TerminalTest, Decode)
{
    struct Case {
        const char* name;
        std::string bytes;
        std::vector<Key> keys;
    };
    const Case cases[] = {
        {"text", "d:\\x", {character('d'), character(':'), character('\\'), character('x')}},
        {"Enter, Tab, Backspace", "\r\t\x7f", {named(VK_RETURN), named(VK_TAB), named(VK_BACK)}},
        {"UTF-8 to the code page", "\xC3\xA9\xE2\x82\xAC", {character(0xE9), character('?')}},
        {"arrows", "\x1b[D\x1b[C\x1bOA", {named(VK_LEFT), named(VK_RIGHT), named(VK_UP)}},
        {"Home and End in their several forms", "\x1b[H\x1b[F\x1b[1~\x1b[4~\x1bOH",
         {named(VK_HOME), named(VK_END), named(VK_HOME), named(VK_END), named(VK_HOME)}},
        {"Delete", "\x1b[3~", {named(VK_DELETE)}},
        {"Shift with an arrow and Home", "\x1b[1;2D\x1b[1;2H", {named(VK_LEFT, true), named(VK_HOME, true)}},
        {"Shift+Tab", "\x1b[Z", {named(VK_TAB, true)}},
        {"Alt with letters", "\x1bo\x1b" "E", {alt_letter('O'), alt_letter('E')}},
        {"Alt+F4 as a modifier and as a prefix", "\x1b[1;3S\x1b\x1bOS", {named(VK_F4, false, true), named(VK_F4, false, true)}},
        {"Escape twice", "\x1b\x1b", {named(VK_ESCAPE), named(VK_ESCAPE)}},
        {"Escape and Enter typed quickly", "\x1b\r", {named(VK_ESCAPE), named(VK_RETURN)}},
        {"a mouse release is a click; the press is not", "\x1b[<0;12;5M\x1b[<0;12;5m", {click(11, 4)}},
        {"a right button release is no click", "\x1b[<2;12;5m", {}},
        {"Ctrl+L redraws", "\x0c", {Key{Kind::redraw}}},
        {"other control characters mean nothing", "\x01\x02", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string pending = c.bytes;
        EXPECT_EQ(platform::terminal::decode(pending, true), c.keys);
        EXPECT_TRUE(pending.empty());
    }
}

TEST(TerminalTest, ASequenceCutOffWaitsForItsRest)
{
    struct Case {
        const char* name;
        std::string first, rest;
        Key key;
    };
    const Case cases[] = {
        {"an arrow", "\x1b[", "D", named(VK_LEFT)},
        {"Escape alone, then the letter of an Alt key", "\x1b", "c", alt_letter('C')},
        {"a UTF-8 character", "\xC3", "\xA9", character(0xE9)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string pending = c.first;
        EXPECT_TRUE(platform::terminal::decode(pending, false).empty());
        EXPECT_EQ(pending, c.first);
        pending += c.rest;
        EXPECT_EQ(platform::terminal::decode(pending, false), std::vector<Key>{c.key});
    }
    // When nothing more comes, a lone Escape is the Escape key.
    std::string pending = "\x1b";
    EXPECT_EQ(platform::terminal::decode(pending, true), std::vector<Key>{named(VK_ESCAPE)});
}

}  // namespace
