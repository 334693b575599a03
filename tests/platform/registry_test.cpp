// The registry: keys and values kept in a .reg text file in the machine
// folder, read back exactly; changes that two processes make at once both
// kept; a writer killed halfway leaving the previous file whole; no right to
// write giving ERROR_ACCESS_DENIED.
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "faults.h"
#include "registry/registry.h"
#include "support/machine_fixture.h"

namespace {

class RegistryTest : public MachineTest {
protected:
    std::string hive() const { return platform::registry::hive_file(platform::machine_options().root, "HKEY_LOCAL_MACHINE"); }

    std::string hive_text() const
    {
        std::ifstream in(hive(), std::ios::binary);
        std::ostringstream out;
        out << in.rdbuf();
        return out.str();
    }

    HKEY create(const char* path, REGSAM access = KEY_ALL_ACCESS, DWORD* disposition = nullptr)
    {
        HKEY key = nullptr;
        EXPECT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, path, 0, NULL, REG_OPTION_NON_VOLATILE, access, NULL, &key,
                                  disposition),
                  ERROR_SUCCESS);
        return key;
    }

    static LSTATUS set_string(HKEY key, const char* name, const char* text)
    {
        return RegSetValueExA(key, name, 0, REG_SZ, (const BYTE*)text, (DWORD)std::strlen(text) + 1);
    }

    static std::string query(HKEY key, const char* name, DWORD* type = nullptr)
    {
        char data[512];
        DWORD size = sizeof data;
        if (RegQueryValueExA(key, name, NULL, type, (LPBYTE)data, &size) != ERROR_SUCCESS) return "<missing>";
        return std::string(data, size);
    }

    // Runs `work` in a child process and returns its wait status.
    static int in_child(const std::function<int()>& work)
    {
        pid_t child = fork();
        if (child == 0) _exit(work());
        int status = 0;
        waitpid(child, &status, 0);
        return status;
    }
};

TEST_F(RegistryTest, AKeyAndItsValuesAreWrittenInTheExportFormat)
{
    DWORD disposition = 0;
    HKEY key = create("SOFTWARE\\Quorix", KEY_ALL_ACCESS, &disposition);
    EXPECT_EQ(disposition, (DWORD)REG_CREATED_NEW_KEY);
    EXPECT_EQ(set_string(key, "Path", "c:\\quorix"), ERROR_SUCCESS);
    EXPECT_EQ(set_string(key, "Version", "8.2"), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(hive_text(), "Windows Registry Editor Version 5.00\n\n"
                           "[HKEY_LOCAL_MACHINE\\SOFTWARE]\n\n"
                           "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Quorix]\n"
                           "\"Path\"=\"c:\\\\quorix\"\n"
                           "\"Version\"=\"8.2\"\n\n");

    key = create("software\\QUORIX\\", KEY_ALL_ACCESS, &disposition);
    EXPECT_EQ(disposition, (DWORD)REG_OPENED_EXISTING_KEY) << "names are compared without regard to case";
    DWORD type = 0;
    EXPECT_EQ(query(key, "path", &type), std::string("c:\\quorix\0", 10));
    EXPECT_EQ(type, (DWORD)REG_SZ);
    RegCloseKey(key);

    auto events = this->events("regset");
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0]["key"], "HKEY_LOCAL_MACHINE\\SOFTWARE\\Quorix");
    EXPECT_EQ(events[0]["data"], "c:\\quorix");
    EXPECT_EQ(events[0]["result"], 0);
}

TEST_F(RegistryTest, EveryKindOfValueComesBackAsItWasSet)
{
    struct Case {
        const char* name;
        DWORD type;
        std::string data;
        const char* line;   // how the file shows it
    };
    const Case cases[] = {
        {"quote \"and\" backslash\\", REG_SZ, std::string("say \"c:\\\"\0", 10),
         "\"quote \\\"and\\\" backslash\\\\\"=\"say \\\"c:\\\\\\\"\""},
        {"", REG_SZ, std::string("default\0", 8), "@=\"default\""},
        {"two lines", REG_SZ, std::string("a\nb\0", 4), "\"two lines\"=hex(1):61,0a,62,00"},
        {"no terminator", REG_SZ, "abc", "\"no terminator\"=hex(1):61,62,63"},
        {"number", REG_DWORD, std::string("\x2a\0\0\0", 4), "\"number\"=dword:0000002a"},
        {"bytes", REG_BINARY, std::string("\x00\xff", 2), "\"bytes\"=hex:00,ff"},
        {"empty", REG_BINARY, "", "\"empty\"=hex:"},
        {"latin-1", REG_SZ, std::string("Gr\xfc\xdf\0", 5), "\"latin-1\"=\"Gr\xfc\xdf\""},
    };
    HKEY key = create("SOFTWARE\\Kinds");
    for (const Case& c : cases)
        ASSERT_EQ(RegSetValueExA(key, c.name, 0, c.type, (const BYTE*)c.data.data(), (DWORD)c.data.size()),
                  ERROR_SUCCESS);
    std::string text = hive_text();
    // A fresh machine on the same folder reads the file back.
    start_with({}, platform::Options{});
    key = create("SOFTWARE\\Kinds", KEY_READ);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_NE(text.find(std::string(c.line) + "\n"), std::string::npos) << text;
        DWORD type = 0;
        EXPECT_EQ(query(key, c.name, &type), c.data);
        EXPECT_EQ(type, c.type);
    }
    char name[64];
    DWORD name_size = sizeof name;
    EXPECT_EQ(RegEnumValueA(key, 0, name, &name_size, NULL, NULL, NULL, NULL), ERROR_SUCCESS);
    EXPECT_STREQ(name, cases[0].name);
    name_size = sizeof name;
    EXPECT_EQ(RegEnumValueA(key, std::size(cases), name, &name_size, NULL, NULL, NULL, NULL), ERROR_NO_MORE_ITEMS);
    RegCloseKey(key);
}

TEST_F(RegistryTest, SettingAValueAgainReplacesItAndLeavesTheOthers)
{
    HKEY key = create("SOFTWARE\\Quorix");
    set_string(key, "Path", "c:\\quorix");
    set_string(key, "Licence", "site");
    set_string(key, "PATH", "d:\\other\\");
    EXPECT_EQ(query(key, "Path"), std::string("d:\\other\\\0", 10));
    EXPECT_EQ(query(key, "Licence"), std::string("site\0", 5));
    char name[16];
    DWORD name_size = sizeof name;
    ASSERT_EQ(RegEnumValueA(key, 0, name, &name_size, NULL, NULL, NULL, NULL), ERROR_SUCCESS);
    EXPECT_STREQ(name, "Path") << "a replaced value keeps its place and its name";
    RegCloseKey(key);
}

TEST_F(RegistryTest, CallsThatCannotSucceedSayWhy)
{
    HKEY key = nullptr;
    HKEY reader = create("SOFTWARE\\Quorix", KEY_READ);
    struct Case {
        const char* name;
        LSTATUS got;
        LSTATUS want;
    };
    char small[2];
    DWORD small_size = sizeof small;
    const Case cases[] = {
        {"opening a missing key", RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Nothing", 0, KEY_READ, &key),
         ERROR_FILE_NOT_FOUND},
        {"a path from the root", RegOpenKeyExA(HKEY_LOCAL_MACHINE, "\\SOFTWARE", 0, KEY_READ, &key),
         ERROR_BAD_PATHNAME},
        {"an empty component", RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\\\Quorix", 0, NULL, 0, KEY_ALL_ACCESS,
                                               NULL, &key, NULL),
         ERROR_BAD_PATHNAME},
        {"a volatile key", RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\V", 0, NULL, 1, KEY_ALL_ACCESS, NULL, &key,
                                           NULL),
         ERROR_INVALID_PARAMETER},
        {"an unknown handle", RegCloseKey((HKEY)(uintptr_t)0x4321), ERROR_INVALID_HANDLE},
        {"writing through a key opened to read", set_string(reader, "Path", "x"), ERROR_ACCESS_DENIED},
        {"a missing value", RegQueryValueExA(reader, "Path", NULL, NULL, NULL, NULL), ERROR_FILE_NOT_FOUND},
        {"a line break in a value name", set_string(create("SOFTWARE\\Quorix"), "a\nb", "x"), ERROR_INVALID_PARAMETER},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.got, c.want);
    }
    HKEY writer = create("SOFTWARE\\Quorix");
    set_string(writer, "Path", "c:\\quorix");
    EXPECT_EQ(RegQueryValueExA(writer, "Path", NULL, NULL, (LPBYTE)small, &small_size), ERROR_MORE_DATA);
    EXPECT_EQ(small_size, 10u) << "the size the value needs";
}

TEST_F(RegistryTest, AFileThatCannotBeReadIsNeitherUsedNorOverwritten)
{
    const std::string damaged = "Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE]\n\"Path\"=oops\n";
    std::ofstream(hive()) << damaged;
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quorix", 0, NULL, 0, KEY_ALL_ACCESS, NULL, &key, NULL),
              ERROR_REGISTRY_CORRUPT);
    EXPECT_EQ(hive_text(), damaged);
}

TEST_F(RegistryTest, TwoProcessesWritingAtOnceBothKeepTheirValues)
{
    create("SOFTWARE\\Shared");
    constexpr int VALUES = 25;
    pid_t writers[2];
    for (int w = 0; w < 2; ++w) {
        writers[w] = fork();
        if (writers[w] == 0) {
            HKEY key = create("SOFTWARE\\Shared");
            for (int n = 0; n < VALUES; ++n) {
                std::string name = "writer" + std::to_string(w) + "-" + std::to_string(n);
                if (set_string(key, name.c_str(), name.c_str()) != ERROR_SUCCESS) _exit(1);
            }
            _exit(0);
        }
    }
    for (pid_t writer : writers) {
        int status = 0;
        waitpid(writer, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    HKEY key = create("SOFTWARE\\Shared", KEY_READ);
    for (int w = 0; w < 2; ++w)
        for (int n = 0; n < VALUES; ++n) {
            std::string name = "writer" + std::to_string(w) + "-" + std::to_string(n);
            EXPECT_EQ(query(key, name.c_str()), name + '\0');
        }
}

TEST_F(RegistryTest, AWriterKilledHalfwayLeavesThePreviousFileWhole)
{
    HKEY key = create("SOFTWARE\\Quorix");
    set_string(key, "Path", "c:\\quorix");
    const std::string before = hive_text();
    int status = in_child([&] {
        platform::faults().killed_while_writing.arm();
        set_string(key, "Path", std::string(400, 'x').c_str());
        return 0;
    });
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "the writer was killed";
    EXPECT_EQ(hive_text(), before);
    EXPECT_EQ(query(key, "Path"), std::string("c:\\quorix\0", 10));

    // The next writer clears away what the killed one left.
    EXPECT_EQ(set_string(key, "Version", "8.2"), ERROR_SUCCESS);
    for (const auto& entry : std::filesystem::directory_iterator(platform::machine_options().root))
        EXPECT_EQ(entry.path().filename().string().find(".new-"), std::string::npos) << entry.path();
}

TEST_F(RegistryTest, WithoutTheRightToWriteTheOpenIsDenied)
{
    HKEY key = create("SOFTWARE\\Quorix");
    set_string(key, "Path", "c:\\quorix");
    const std::string before = hive_text();
    std::string root = platform::machine_options().root;
    // The machine folder may be read by everyone and written by its owner only.
    chmod(machine_folder.path().c_str(), 0755);
    chmod(root.c_str(), 0755);
    chmod(hive().c_str(), 0644);
    if (getuid() != 0) chmod(root.c_str(), 0555);
    int status = in_child([&] {
        if (getuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) return 10;
        HKEY denied = nullptr;
        LSTATUS open = RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quorix", 0, NULL, 0, KEY_ALL_ACCESS, NULL,
                                       &denied, NULL);
        HKEY reader = nullptr;
        LSTATUS read = RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quorix", 0, KEY_READ, &reader);
        return open == ERROR_ACCESS_DENIED && read == ERROR_SUCCESS ? 0 : 20;
    });
    chmod(root.c_str(), 0755);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "10: cannot drop privileges; 20: the open was not denied, or reading was";
    EXPECT_EQ(hive_text(), before);
}

}  // namespace
