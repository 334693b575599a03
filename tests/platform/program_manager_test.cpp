// The machine's Program Manager: its command strings, its side of a DDE
// conversation, and the groups it keeps in the machine folder.
#include <sys/stat.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "kernel/atoms.h"
#include "kernel/global_memory.h"
#include "shell/dde_commands.h"
#include "shell/groups.h"
#include "shell/progman.h"
#include "support/machine_fixture.h"
#include "user/window.h"

namespace {

using platform::shell::DdeCommand;

TEST(DdeCommandsTest, CommandStringsAreSplitIntoCommandsAndArguments)
{
    struct Case {
        const char* name;
        const char* text;
        std::vector<std::vector<std::string>> commands;   // name, then arguments
    };
    const Case cases[] = {
        {"one command", "[ShowGroup(1)]", {{"ShowGroup", "1"}}},
        {"no parentheses", "[ExitProgman]", {{"ExitProgman"}}},
        {"empty parentheses", "[Reload()]", {{"Reload"}}},
        {"blanks and line breaks between and around", " [ A ( x , y ) ]\r\n\t[B(z)] ", {{"A", "x", "y"}, {"B", "z"}}},
        {"blanks inside an argument stay", "[AddItem(c:\\w\\readme.exe  c:\\q.inf,Overview)]",
         {{"AddItem", "c:\\w\\readme.exe  c:\\q.inf", "Overview"}}},
        {"quotes keep commas, brackets and parentheses", "[CreateGroup(\"a,b [c] (d)\", \" x \")]",
         {{"CreateGroup", "a,b [c] (d)", " x "}}},
        {"brackets in a bare argument", "[CreateGroup(Q,c:\\a[1]\\quorix)]", {{"CreateGroup", "Q", "c:\\a[1]\\quorix"}}},
        {"an empty argument", "[AddItem(x,,progman.exe)]", {{"AddItem", "x", "", "progman.exe"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<DdeCommand> got;
        std::string error;
        ASSERT_TRUE(platform::shell::parse_dde_commands(c.text, got, error)) << error;
        ASSERT_EQ(got.size(), c.commands.size());
        for (size_t n = 0; n < got.size(); ++n) {
            std::vector<std::string> flat{got[n].name};
            flat.insert(flat.end(), got[n].arguments.begin(), got[n].arguments.end());
            EXPECT_EQ(flat, c.commands[n]);
        }
    }
}

TEST(DdeCommandsTest, MalformedStringsAreRefusedWhole)
{
    const char* cases[] = {
        "",
        "   ",
        "ShowGroup(1)",
        "[ShowGroup(1)",
        "[ShowGroup(1]",
        "[ShowGroup 1]",
        "[(1)]",
        "[ShowGroup(1)]x",
        "[CreateGroup(\"unterminated)]",
        "[CreateGroup(\"a\"b)]",
        "[CreateGroup(Q,c:\\a(b)\\quorix)]",
        "[ShowGroup(1)][",
    };
    for (const char* text : cases) {
        SCOPED_TRACE(text);
        std::vector<DdeCommand> got;
        std::string error;
        EXPECT_FALSE(platform::shell::parse_dde_commands(text, got, error));
        EXPECT_TRUE(got.empty());
        EXPECT_FALSE(error.empty());
    }
}

// A DDE client of the test's own that records the acknowledgements it gets.
struct Received {
    UINT message;
    HWND from;
    LPARAM lparam;
};
std::vector<Received> received;

LRESULT CALLBACK client_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message == WM_DDE_ACK || message == WM_DDE_TERMINATE) {
        received.push_back({message, (HWND)wparam, lparam});
        return 0;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

class ProgramManagerTest : public MachineTest {
protected:
    void SetUp() override
    {
        MachineTest::SetUp();
        received.clear();
        register_test_class("ddeclient", client_procedure);
        client = CreateWindowExA(0, "ddeclient", "client", WS_OVERLAPPEDWINDOW, 0, 0, 10, 10, NULL, NULL, NULL, NULL);
        progman = platform::shell::program_manager_window();
        ASSERT_NE(progman, nullptr);
        make_folder("c:\\quorix");
    }

    static std::string host(const std::string& dos_below_c)
    {
        std::string path = platform::machine_options().root + "/drive_c/" + dos_below_c;
        std::replace(path.begin(), path.end(), '\\', '/');
        return path;
    }
    static void make_folder(const std::string& dos)
    {
        std::filesystem::create_directories(host(dos.substr(3)));
    }

    // Opens a conversation: true when the Program Manager acknowledged it.
    bool initiate(const char* application = "PROGMAN", const char* topic = "PROGMAN")
    {
        ATOM a = application ? GlobalAddAtomA(application) : 0;
        ATOM t = topic ? GlobalAddAtomA(topic) : 0;
        size_t before = received.size();
        SendMessageA(HWND_BROADCAST, WM_DDE_INITIATE, (WPARAM)client, MAKELPARAM(a, t));
        if (a) GlobalDeleteAtom(a);
        if (t) GlobalDeleteAtom(t);
        return received.size() == before + 1 && received.back().from == progman;
    }

    // Posts an execute with this lParam and runs the loop until the
    // acknowledgement comes; returns its status word and the handle it returned.
    WORD post_execute(LPARAM lparam, UINT_PTR& returned)
    {
        size_t before = received.size();
        PostMessageA(progman, WM_DDE_EXECUTE, (WPARAM)client, lparam);
        MSG message;
        while (received.size() == before && GetMessageA(&message, NULL, 0, 0) > 0) DispatchMessageA(&message);
        EXPECT_EQ(received.back().message, (UINT)WM_DDE_ACK);
        UINT_PTR status = 0;
        UnpackDDElParam(WM_DDE_ACK, received.back().lparam, &status, &returned);
        FreeDDElParam(WM_DDE_ACK, received.back().lparam);
        return (WORD)status;
    }

    // Sends the text in a shareable block of its own size (or of
    // `block_size` bytes, cut short) and returns the acknowledgement's status.
    WORD execute(const std::string& text, size_t block_size = 0)
    {
        size_t size = block_size ? block_size : text.size() + 1;
        HGLOBAL block = GlobalAlloc(GMEM_DDESHARE, size);
        std::memcpy(GlobalLock(block), text.c_str(), size);
        UINT_PTR returned = 0;
        WORD status = post_execute((LPARAM)block, returned);
        EXPECT_EQ(returned, (UINT_PTR)block) << "the block comes back with the answer";
        GlobalUnlock(block);
        GlobalFree(block);
        return status;
    }

    WORD converse(const std::string& text)
    {
        EXPECT_TRUE(initiate());
        return execute(text);
    }

    // The groups as quorix-machine shows them.
    static std::string groups()
    {
        std::string root = platform::machine_options().root, out, error;
        std::vector<platform::shell::GroupEntry> entries;
        if (!platform::shell::load_index(root, entries, error)) return "error: " + error;
        for (const auto& e : entries) {
            out += "[" + e.name + "] " + e.file + "\n";
            platform::shell::Group group;
            if (!platform::shell::load_group(root, e.file, group, error)) return out + "error: " + error;
            for (const auto& i : group.items)
                out += i.title + "|" + i.command + "|" + i.icon_file + "|" + std::to_string(i.icon_index) + "\n";
        }
        return out;
    }

    static std::string script(const std::string& d)
    {
        std::string create = "[CreateGroup(QRXDVF," + d + "\\quorix)]";
        return create + "[DeleteGroup(QRXDVF)]" + create + "[AddItem(" + d + "\\win\\qrxman.exe,QRXMAN,progman.exe,36)]" +
               "[AddItem(" + d + "\\win\\readme.exe  " + d + "\\quorix.inf,Overview,progman.exe,40)][ShowGroup(1)]";
    }

    static std::string items(const std::string& d)
    {
        return "QRXMAN|" + d + "\\win\\qrxman.exe|progman.exe|36\nOverview|" + d + "\\win\\readme.exe  " + d +
               "\\quorix.inf|progman.exe|40\n";
    }

    HWND client = nullptr;
    HWND progman = nullptr;
};

TEST_F(ProgramManagerTest, AnswersAnInitiateForItsServiceWithAtomsOfItsOwn)
{
    struct Case {
        const char* name;
        const char* application;
        const char* topic;
        bool answered;
    };
    const Case cases[] = {
        {"PROGMAN/PROGMAN", "PROGMAN", "PROGMAN", true},
        {"any case", "progman", "ProgMan", true},
        {"any application and topic", nullptr, nullptr, true},
        {"another application", "EXCEL", "PROGMAN", false},
        {"another topic", "PROGMAN", "System", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        received.clear();
        EXPECT_EQ(initiate(c.application, c.topic), c.answered);
        if (!c.answered) continue;
        char name[16];
        GlobalGetAtomNameA(LOWORD(received.back().lparam), name, sizeof name);
        EXPECT_STREQ(name, "PROGMAN");
        GlobalGetAtomNameA(HIWORD(received.back().lparam), name, sizeof name);
        EXPECT_STREQ(name, "PROGMAN");
    }
}

TEST_F(ProgramManagerTest, TheScriptMakesTheGroupAndRunningItAgainReplacesIt)
{
    EXPECT_EQ(converse(script("c:\\quorix")), DDE_FACK);
    const std::string expected = "[QRXDVF] c:\\quorix\\quorix\n" + items("c:\\quorix");
    EXPECT_EQ(groups(), expected);
    EXPECT_EQ(execute(script("c:\\quorix")), DDE_FACK);
    EXPECT_EQ(groups(), expected) << "the group is made afresh, not added to";
    auto outcomes = events("progman");
    ASSERT_FALSE(outcomes.empty());
    EXPECT_EQ(outcomes[0]["command"], "CreateGroup(QRXDVF,c:\\quorix\\quorix)");
    EXPECT_EQ(outcomes[0]["result"], "ok");
}

TEST_F(ProgramManagerTest, ASecondDirectoryMovesTheGroupAndItsFile)
{
    make_folder("c:\\other");
    converse(script("c:\\quorix"));
    EXPECT_EQ(execute(script("c:\\other\\")), DDE_FACK);
    EXPECT_EQ(groups(), "[QRXDVF] c:\\other\\\\quorix\n" + items("c:\\other\\"));
    EXPECT_FALSE(std::filesystem::exists(host("quorix/quorix"))) << "the old group's file goes with it";
    EXPECT_TRUE(std::filesystem::exists(host("other/quorix")));
}

TEST_F(ProgramManagerTest, ACommandThatFailsStopsTheStringWithANegativeAcknowledgement)
{
    make_folder("c:\\a");
    converse(script("c:\\quorix"));
    const std::string before = groups();
    std::ofstream(host("quorix/notes.txt")) << "the user's own file\n";
    struct Case {
        const char* name;
        std::string text;
    };
    const Case cases[] = {
        // A comma in the directory splits the group file's path: the
        // command is refused before the group is deleted.
        {"a comma in the directory", script("c:\\a,b")},
        {"a malformed string", "[CreateGroup(QRXDVF,c:\\quorix\\quorix)][DeleteGroup(QRXDVF)"},
        {"an unknown command", "[DeleteGroup(QRXDVF)][Shred(everything)]x"},
        {"an unknown command alone", "[Shred(everything)]"},
        {"a missing drive", "[CreateGroup(NEW,q:\\quorix)]"},
        {"a missing folder", "[CreateGroup(NEW,c:\\nowhere\\new)]"},
        {"a forbidden character", "[CreateGroup(NEW,c:\\quorix\\a|b)]"},
        {"a file that is not a group", "[CreateGroup(NEW,c:\\quorix\\notes.txt)]"},
        {"a folder as group file", "[CreateGroup(NEW,c:\\quorix)]"},
        {"a missing group", "[DeleteGroup(NOSUCH)]"},
        {"a show command out of range", "[ShowGroup(QRXDVF,9)]"},
        {"an icon index that is no number", "[CreateGroup(QRXDVF)][AddItem(x.exe,X,progman.exe,six)]"},
        {"a missing item", "[CreateGroup(QRXDVF)][DeleteItem(NOSUCH)]"},
        {"a control character", "[CreateGroup(QRXDVF)][AddItem(\"x\ny.exe\")]"},
        {"too many arguments", "[DeleteGroup(QRXDVF,0,1)]"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(execute(c.text), 0);
        EXPECT_EQ(groups(), before);
    }
    EXPECT_EQ(execute("[ShowGroup(1)]"), DDE_FACK) << "the conversation goes on";
    std::ifstream notes(host("quorix/notes.txt"));
    std::string line;
    std::getline(notes, line);
    EXPECT_EQ(line, "the user's own file");
}

TEST_F(ProgramManagerTest, AddItemNeedsAGroupAndWhatCameBeforeAFailureStays)
{
    EXPECT_TRUE(initiate());
    EXPECT_EQ(execute("[AddItem(c:\\x.exe)]"), 0) << "no group is active yet";
    EXPECT_EQ(execute("[CreateGroup(G,c:\\quorix\\g.grp)][AddItem(c:\\x.exe)][DeleteItem(y)][AddItem(c:\\z.exe)]"), 0);
    EXPECT_EQ(groups(), "[G] c:\\quorix\\g.grp\nx|c:\\x.exe||0\n");
}

TEST_F(ProgramManagerTest, TheRestOfTheCommandSetDoesWhatAUserExpects)
{
    struct Case {
        const char* name;
        std::string text;
        std::string groups;
    };
    const Case cases[] = {
        {"names without regard to case, quoted arguments, defaults",
         "[creategroup(\"My, Group\",c:\\quorix\\my.grp)][ADDITEM(\"c:\\tools\\edit.exe file.txt\")]",
         "[My, Group] c:\\quorix\\my.grp\nedit|c:\\tools\\edit.exe file.txt||0\n"},
        {"ReplaceItem keeps the item's place",
         "[CreateGroup(G,c:\\quorix\\g.grp)][AddItem(a.exe,A)][AddItem(b.exe,B)][AddItem(c.exe,C)]"
         "[ReplaceItem(b)][AddItem(new.exe,B2,progman.exe,3)]",
         "[G] c:\\quorix\\g.grp\nA|a.exe||0\nB2|new.exe|progman.exe|3\nC|c.exe||0\n"},
        {"DeleteItem", "[CreateGroup(G,c:\\quorix\\g.grp)][AddItem(a.exe,A)][AddItem(b.exe,B)][DeleteItem(A)]",
         "[G] c:\\quorix\\g.grp\nB|b.exe||0\n"},
        {"ShowGroup with a name makes that group active",
         "[CreateGroup(G,c:\\quorix\\g.grp)][CreateGroup(H,c:\\quorix\\h.grp)][ShowGroup(G,1)][AddItem(a.exe,A)]",
         "[G] c:\\quorix\\g.grp\nA|a.exe||0\n[H] c:\\quorix\\h.grp\n"},
        {"a group file without a folder goes to the Windows folder", "[CreateGroup(Main)][Reload(Main)][Reload()]",
         "[Main] c:\\windows\\Main.grp\n"},
        {"ExitProgman leaves the shell running", "[CreateGroup(G,c:\\quorix\\g.grp)][ExitProgman(1)]",
         "[G] c:\\quorix\\g.grp\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove_all(platform::machine_options().root);
        SetUp();
        EXPECT_EQ(converse(c.text), DDE_FACK);
        EXPECT_EQ(groups(), c.groups);
    }
}

TEST_F(ProgramManagerTest, ABlockIsNeverReadPastItsEnd)
{
    EXPECT_TRUE(initiate());
    EXPECT_EQ(execute("[CreateGroup(G,c:\\quorix\\g.grp)]", 10), 0) << "ten bytes and no terminating zero";
    EXPECT_EQ(groups(), "");
    // Not a global memory handle at all.
    UINT_PTR returned = 0;
    EXPECT_EQ(post_execute(0x7777, returned), 0);
    EXPECT_EQ(returned, 0x7777u);
}

TEST_F(ProgramManagerTest, ItServesOnlyWindowsInConversationAndAnswersTheirTerminate)
{
    EXPECT_EQ(execute("[CreateGroup(G,c:\\quorix\\g.grp)]"), 0) << "no conversation yet";
    EXPECT_EQ(groups(), "");
    EXPECT_TRUE(initiate());
    received.clear();
    PostMessageA(progman, WM_DDE_TERMINATE, (WPARAM)client, 0);
    PostMessageA(progman, WM_DDE_TERMINATE, (WPARAM)client, 0);
    platform::start_message_log();
    // Two rounds: the answers to what the first round handled come in the second.
    for (int round = 0; round < 2; ++round) {
        PostMessageA(client, WM_USER, 0, 0);
        MSG message;
        while (GetMessageA(&message, NULL, 0, 0) > 0 && message.message != WM_USER) DispatchMessageA(&message);
    }
    expect_sequence(platform::stop_message_log(), {
                                                       {progman, WM_DDE_TERMINATE, false, (WPARAM)client},
                                                       {progman, WM_DDE_TERMINATE, false, (WPARAM)client},
                                                       {client, WM_DDE_TERMINATE, false, (WPARAM)progman},
                                                   });
    // One answer: the second terminate ends no conversation.
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].message, (UINT)WM_DDE_TERMINATE);
    EXPECT_EQ(received[0].from, progman);
}

TEST_F(ProgramManagerTest, TheGroupsAreKeptInReadableFiles)
{
    converse("[CreateGroup(QRXDVF,c:\\quorix\\quorix)][AddItem(c:\\quorix\\win\\qrxman.exe,QRXMAN,progman.exe,36,10,20,"
             "c:\\quorix,0,1)]");
    auto read = [](const std::string& path) {
        std::ifstream in(path);
        std::ostringstream out;
        out << in.rdbuf();
        return out.str();
    };
    std::string index = read(platform::shell::index_file(platform::machine_options().root));
    EXPECT_NE(index.find("[Group]\nName=QRXDVF\nFile=c:\\quorix\\quorix\n"), std::string::npos) << index;
    EXPECT_NE(read(host("quorix/quorix"))
                  .find("[Program Group]\nName=QRXDVF\n\n[Item]\nTitle=QRXMAN\nCommand=c:\\quorix\\win\\qrxman.exe\n"
                        "IconFile=progman.exe\nIconIndex=36\nDirectory=c:\\quorix\nPosition=10,20\nMinimized=1\n"),
              std::string::npos)
        << read(host("quorix/quorix"));
}

}  // namespace
