// The group script: the default directory's 13 commands, the 980-character
// admission rule with its messages, and directories used exactly as typed.
#include <cstring>

#include "register/group_script.h"
#include "support/machine_fixture.h"

namespace {

class GroupScriptTest : public MachineTest {
protected:
    // Builds the script for `directory` into a block that holds stale bytes,
    // answering `boxes` messages.
    std::string build(const std::string& directory, int boxes = 0)
    {
        start_with(std::vector<std::string>(boxes, "ok"));
        std::memset(block, 'x', sizeof block);
        build_group_script(directory.c_str(), block);
        EXPECT_NE(std::memchr(block, '\0', sizeof block), nullptr);
        return block;
    }

    int item_boxes() const
    {
        int n = 0;
        for (const auto& box : events("msgbox")) {
            EXPECT_EQ(box["caption"], "ZKV Setup");
            EXPECT_EQ(box["buttons"], "OK");
            if (box["text"] == "Not enough memory to add item") ++n;
        }
        return n;
    }

    char block[DDE_COMMANDS_SIZE];
};

TEST_F(GroupScriptTest, TheDefaultDirectoryGivesThirteenCommandsAndNoMessage)
{
    const std::string expected =
        "[CreateGroup(QRXDVF,c:\\quorix\\quorix)]"
        "[DeleteGroup(QRXDVF)]"
        "[CreateGroup(QRXDVF,c:\\quorix\\quorix)]"
        "[AddItem(c:\\quorix\\win\\qrxman.exe,QRXMAN,progman.exe,36)]"
        "[AddItem(c:\\quorix\\win\\qrxhlp.exe,QRXHLP,progman.exe,36)]"
        "[AddItem(c:\\quorix\\win\\qrxdrv_w.exe,QRXDRV,progman.exe,6)]"
        "[AddItem(c:\\quorix\\win\\qrxtif_w.exe,QRXTIF,progman.exe,6)]"
        "[AddItem(c:\\quorix\\win\\qrximg_w.exe,QRXIMG,progman.exe,6)]"
        "[AddItem(c:\\quorix\\win\\qrxmov_w.exe,QRXMOV,progman.exe,6)]"
        "[AddItem(c:\\quorix\\win\\qrxaps_w.exe,QRXAPS,progman.exe,6)]"
        "[AddItem(c:\\quorix\\win\\readme.exe  c:\\quorix\\quorix.inf,Overview,progman.exe,40)]"
        "[AddItem(c:\\quorix\\win\\readme.exe  c:\\quorix\\readme.dvf,Readme,progman.exe,40)]"
        "[ShowGroup(1)]";
    std::string script = build("c:\\quorix");
    EXPECT_EQ(script, expected);
    EXPECT_EQ(script.size(), 675u);
    EXPECT_EQ(item_boxes(), 0);
}

TEST_F(GroupScriptTest, ItemsAreAdmittedWhileTheScriptStaysBelow980Characters)
{
    static const char* const TITLES[] = {"QRXMAN", "QRXHLP", "QRXDRV", "QRXTIF", "QRXIMG",
                                         "QRXMOV", "QRXAPS", "Overview", "Readme"};
    struct Case {
        size_t length;   // of the directory
        int rows;        // admitted, from the first
    };
    constexpr Case cases[] = {
        {9, 9},   {33, 9},  {34, 8},  {45, 8},  {46, 7},  {62, 7},  {63, 6},   {76, 6},
        {77, 5},  {93, 5},  {94, 4},  {117, 4}, {118, 3}, {131, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("a directory of " + std::to_string(c.length) + " characters");
        std::string directory = "c:\\" + std::string(c.length - 3, 'q');
        std::string script = build(directory, 9 - c.rows);
        EXPECT_EQ(item_boxes(), 9 - c.rows) << "one message a row left out";
        for (int row = 0; row < 9; ++row) {
            bool present = script.find("," + std::string(TITLES[row]) + ",progman.exe") != std::string::npos;
            EXPECT_EQ(present, row < c.rows) << TITLES[row];
        }
        EXPECT_TRUE(script.ends_with("[ShowGroup(1)]"));
        EXPECT_LE(script.size() + 1, 994u);
        if (c.rows == 9) {
            EXPECT_EQ(script.size(), 558 + 13 * c.length);
        }
        if (c.length == 131) {
            EXPECT_EQ(script.size(), 893u);
        }
    }
}

TEST_F(GroupScriptTest, TheDirectoryGoesIntoEveryCommandExactlyAsTyped)
{
    struct Case {
        const char* name;
        const char* directory;
        const char* create;
        const char* item;
    };
    const Case cases[] = {
        {"a trailing backslash", "c:\\quorix\\", "[CreateGroup(QRXDVF,c:\\quorix\\\\quorix)]",
         "[AddItem(c:\\quorix\\\\win\\readme.exe  c:\\quorix\\\\readme.dvf,Readme,progman.exe,40)]"},
        {"a comma", "c:\\a,b", "[CreateGroup(QRXDVF,c:\\a,b\\quorix)]",
         "[AddItem(c:\\a,b\\win\\qrxman.exe,QRXMAN,progman.exe,36)]"},
        {"brackets and parentheses", "c:\\[x](y)", "[CreateGroup(QRXDVF,c:\\[x](y)\\quorix)]",
         "[AddItem(c:\\[x](y)\\win\\readme.exe  c:\\[x](y)\\quorix.inf,Overview,progman.exe,40)]"},
        {"blanks and mixed case", "D:\\My Libs ", "[CreateGroup(QRXDVF,D:\\My Libs \\quorix)]",
         "[AddItem(D:\\My Libs \\win\\qrxaps_w.exe,QRXAPS,progman.exe,6)]"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string script = build(c.directory);
        std::string create = c.create;
        EXPECT_EQ(script.find(create), 0u) << script;
        EXPECT_EQ(script.find(create, create.size() + 21), create.size() + 21) << "the create command comes twice";
        EXPECT_NE(script.find(c.item), std::string::npos) << script;
    }
}

}  // namespace
