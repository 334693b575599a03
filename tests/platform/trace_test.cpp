// The trace's JSON.
#include <nlohmann/json.hpp>

#include "trace/trace.h"
#include <gtest/gtest.h>

namespace {

TEST(TraceTest, TextsAreValidJsonWhateverTheyHold)
{
    struct Case {
        const char* name;
        std::string text;
        std::string decoded;   // as UTF-8
    };
    const Case cases[] = {
        {"plain", "c:\\quorix", "c:\\quorix"},
        {"line breaks and quotes", "a\n \"b\"\r\t", "a\n \"b\"\r\t"},
        {"control characters", std::string("\x01\x1f", 2), std::string("\x01\x1f", 2)},
        {"high bytes are Latin-1", "caf\xE9", "caf\xC3\xA9"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        nlohmann::json parsed = nlohmann::json::parse(platform::trace::json_string(c.text));
        EXPECT_EQ(parsed.get<std::string>(), c.decoded);
    }
}

TEST(TraceTest, AnEventIsOneLineWithTheEventFirst)
{
    platform::trace::open_memory();
    platform::trace::Event("copy").text("source", "map1.dat").number("result", -3).boolean("posted", true);
    ASSERT_EQ(platform::trace::captured().size(), 1u);
    EXPECT_EQ(platform::trace::captured()[0], R"({"event":"copy","source":"map1.dat","result":-3,"posted":true})");
    platform::trace::close();
}

}  // namespace
