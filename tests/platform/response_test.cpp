// Reading the response file's lines.
#include <fstream>

#include "frontends/response.h"
#include "support/temp_dir.h"
#include <gtest/gtest.h>

namespace {

using platform::Action;
using platform::Verb;

TEST(ResponseTest, Lines)
{
    struct Case {
        const char* line;
        bool valid;
        bool is_action;
        Verb verb;
        const char* argument;
        UINT key;
    };
    const Case cases[] = {
        {"ok", true, true, Verb::ok, "", 0},
        {"  OK  ", true, true, Verb::ok, "", 0},
        {"cancel\r", true, true, Verb::cancel, "", 0},
        {"close", true, true, Verb::close, "", 0},
        {"click OK", true, true, Verb::click, "OK", 0},
        {"click  Cancel ", true, true, Verb::click, "Cancel", 0},
        {"click edit", true, true, Verb::click, "edit", 0},
        {"type c:\\quorix", true, true, Verb::type, "c:\\quorix", 0},
        {"type  two  blanks ", true, true, Verb::type, " two  blanks ", 0},
        {"type # not a comment", true, true, Verb::type, "# not a comment", 0},
        {"type", true, true, Verb::type, "", 0},
        {"key enter", true, true, Verb::key, "", VK_RETURN},
        {"key TAB", true, true, Verb::key, "", VK_TAB},
        {"key escape", true, true, Verb::key, "", VK_ESCAPE},
        {"", true, false, Verb::ok, "", 0},
        {"   ", true, false, Verb::ok, "", 0},
        {"# a comment", true, false, Verb::ok, "", 0},
        {"  # indented comment", true, false, Verb::ok, "", 0},
        {"press OK", false, false, Verb::ok, "", 0},
        {"click", false, false, Verb::ok, "", 0},
        {"key space", false, false, Verb::ok, "", 0},
        {"ok please", false, false, Verb::ok, "", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        Action action;
        bool is_action = true;
        std::string error;
        EXPECT_EQ(platform::parse_action(c.line, action, is_action, error), c.valid);
        if (!c.valid) {
            EXPECT_FALSE(error.empty());
            continue;
        }
        EXPECT_EQ(is_action, c.is_action);
        if (!c.is_action) continue;
        EXPECT_EQ(action.verb, c.verb);
        EXPECT_EQ(action.argument, c.argument);
        EXPECT_EQ(action.key, c.key);
        // What recording writes reads back as the same action.
        Action again;
        ASSERT_TRUE(platform::parse_action(platform::format_action(action), again, is_action, error));
        EXPECT_EQ(again.verb, action.verb);
        EXPECT_EQ(again.argument, action.argument);
        EXPECT_EQ(again.key, action.key);
    }
}

TEST(ResponseTest, AFileWithABadLineIsRefusedNamingTheLine)
{
    TempDir dir;
    std::ofstream(dir / "answers") << "ok\n# fine\n\nclick OK\njump\n";
    std::vector<Action> actions;
    std::string error;
    EXPECT_FALSE(platform::read_response_file(dir / "answers", actions, error));
    EXPECT_NE(error.find("line 5"), std::string::npos) << error;
    EXPECT_NE(error.find("jump"), std::string::npos) << error;
    EXPECT_FALSE(platform::read_response_file(dir / "missing", actions, error));
    EXPECT_NE(error.find("cannot read"), std::string::npos) << error;
}

}  // namespace
