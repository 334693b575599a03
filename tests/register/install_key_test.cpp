// The install key: a fresh key, a second install over it, the directory
// kept exactly as typed, and a registry that cannot be written.
#include <fstream>
#include <sstream>

#include "register/install_key.h"
#include "registry/registry.h"
#include "support/machine_fixture.h"

namespace {

class InstallKeyTest : public MachineTest {
protected:
    static std::string value(const char* name)
    {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quorix", 0, KEY_READ, &key) != ERROR_SUCCESS) return "<no key>";
        char data[256];
        DWORD size = sizeof data, type = 0;
        LSTATUS status = RegQueryValueExA(key, name, NULL, &type, (LPBYTE)data, &size);
        RegCloseKey(key);
        if (status != ERROR_SUCCESS) return "<missing>";
        EXPECT_EQ(type, (DWORD)REG_SZ);
        EXPECT_EQ(data[size - 1], '\0') << "the size counts the terminating zero";
        return std::string(data, size - 1);
    }

    static std::string hive_text()
    {
        std::ifstream in(platform::registry::hive_file(platform::machine_options().root, "HKEY_LOCAL_MACHINE"));
        std::ostringstream out;
        out << in.rdbuf();
        return out.str();
    }
};

TEST_F(InstallKeyTest, AFreshKeyReceivesPathAndVersion)
{
    EXPECT_EQ(write_install_key("c:\\quorix", "8.2"), 0);
    EXPECT_EQ(value("Path"), "c:\\quorix");
    EXPECT_EQ(value("Version"), "8.2");
    EXPECT_TRUE(events("msgbox").empty()) << "the key is written silently";
}

TEST_F(InstallKeyTest, ASecondInstallOverwritesBothValuesAndLeavesTheOthers)
{
    write_install_key("c:\\quorix", "8.1");
    HKEY key = nullptr;
    RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quorix", 0, KEY_ALL_ACCESS, &key);
    RegSetValueExA(key, "Licence", 0, REG_SZ, (const BYTE*)"site", 5);
    RegCloseKey(key);
    EXPECT_EQ(write_install_key("d:\\other", "8.2"), 0);
    EXPECT_EQ(value("Path"), "d:\\other");
    EXPECT_EQ(value("Version"), "8.2");
    EXPECT_EQ(value("Licence"), "site");
}

TEST_F(InstallKeyTest, TheDirectoryIsStoredExactlyAsTyped)
{
    const char* cases[] = {"c:\\quorix\\", "C:\\Program Files\\QUORIX", " d:\\libs ", "q:\\does\\not\\exist", ""};
    for (const char* directory : cases) {
        SCOPED_TRACE(directory);
        EXPECT_EQ(write_install_key(directory, "8.2"), 0);
        EXPECT_EQ(value("Path"), directory);
    }
}

TEST_F(InstallKeyTest, ARegistryThatCannotBeOpenedGivesOneAndChangesNothing)
{
    const std::string damaged = "not a registry file\n";
    std::ofstream(platform::registry::hive_file(platform::machine_options().root, "HKEY_LOCAL_MACHINE")) << damaged;
    EXPECT_EQ(write_install_key("c:\\quorix", "8.2"), 1);
    EXPECT_EQ(hive_text(), damaged);
    EXPECT_TRUE(events("regset").empty()) << "nothing is written without the key";
}

}  // namespace
