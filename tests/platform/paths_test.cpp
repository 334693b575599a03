// Paths of the machine against real folders in a temporary machine folder.
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "files/paths.h"
#include "support/machine_fixture.h"

namespace {

using PathsTest = MachineTest;

TEST_F(PathsTest, DosPathsMapIntoTheMachineFolder)
{
    std::string c = machine_folder.path() + "/machine/drive_c";
    std::filesystem::create_directories(c + "/Quorix/Win");
    std::string long_component(256, 'a');
    std::string long_path = "c:\\" + std::string(257, 'b');   // 260 characters
    struct Case {
        const char* name;
        std::string path;
        std::string host;   // below the machine folder
        DWORD error;
    };
    const Case cases[] = {
        {"a new directory", "c:\\quorix2", "/drive_c/quorix2", 0},
        {"components match what exists whatever their case", "C:/QUORIX\\win\\map1.dat", "/drive_c/Quorix/Win/map1.dat", 0},
        {"a doubled backslash is one separator", "c:\\quorix\\\\win", "/drive_c/Quorix/Win", 0},
        {"trailing dots and blanks are dropped", "c:\\quorix. \\win", "/drive_c/Quorix/Win", 0},
        {"dot and dot-dot", "c:\\quorix\\.\\..\\quorix\\win", "/drive_c/Quorix/Win", 0},
        {"dot-dot stops at the root", "c:\\..\\..\\quorix", "/drive_c/Quorix", 0},
        {"a drive-relative path starts at the root", "c:quorix", "/drive_c/Quorix", 0},
        {"the drive itself", "c:\\", "/drive_c", 0},
        {"a backslash without a drive is on c:", "\\quorix\\win", "/drive_c/Quorix/Win", 0},
        {"so is a lone backslash", "\\", "/drive_c", 0},
        {"a drive that does not exist", "x:\\quorix", "", ERROR_PATH_NOT_FOUND},
        {"a wildcard", "c:\\quo*rix", "", ERROR_INVALID_NAME},
        {"a question mark", "c:\\quorix?", "", ERROR_INVALID_NAME},
        {"angle brackets", "c:\\a<b>", "", ERROR_INVALID_NAME},
        {"a pipe", "c:\\a|b", "", ERROR_INVALID_NAME},
        {"a double quote", "c:\\\"q\"", "", ERROR_INVALID_NAME},
        {"a colon inside", "c:\\quorix\\a:b", "", ERROR_INVALID_NAME},
        {"a control character", "c:\\a\tb", "", ERROR_INVALID_NAME},
        {"a device name", "c:\\quorix\\con", "", ERROR_INVALID_NAME},
        {"a device name with an extension", "c:\\nul.txt", "", ERROR_INVALID_NAME},
        {"a component over 255 characters", "c:\\" + long_component, "", ERROR_FILENAME_EXCED_RANGE},
        {"a path of 260 characters", long_path, "", ERROR_FILENAME_EXCED_RANGE},
        {"a network path", "\\\\server\\share\\quorix", "", ERROR_BAD_NETPATH},
        {"empty", "", "", ERROR_PATH_NOT_FOUND},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        platform::MappedPath mapped = platform::map_path(c.path);
        EXPECT_EQ(mapped.error, c.error);
        EXPECT_EQ(mapped.host, c.error ? "" : machine_folder.path() + "/machine" + c.host);
    }
}

TEST_F(PathsTest, ADriveExistsOnceItsFolderDoes)
{
    EXPECT_EQ(platform::map_path("d:\\lib").error, (DWORD)ERROR_PATH_NOT_FOUND);
    std::filesystem::create_directories(machine_folder.path() + "/machine/drive_d");
    EXPECT_EQ(platform::map_path("D:\\lib").host, machine_folder.path() + "/machine/drive_d/lib");
}

TEST_F(PathsTest, HostAndRelativePaths)
{
    std::string folder = machine_folder / "source";
    std::filesystem::create_directories(folder);
    std::ofstream(folder + "/map1.dat") << "x";
    char previous[4096];
    ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
    ASSERT_EQ(chdir(folder.c_str()), 0);
    struct Case {
        const char* path;
        std::string host;
    };
    const Case cases[] = {
        {"/tmp/a\\b", "/tmp/a/b"},
        {"map1.dat", "./map1.dat"},
        {"MAP1.DAT", "./map1.dat"},
        {"sub\\new.txt", "./sub/new.txt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(platform::map_path(c.path).host, c.host);
    }
    EXPECT_EQ(platform::map_path("map?.dat").error, (DWORD)ERROR_INVALID_NAME);
    ASSERT_EQ(chdir(previous), 0);
}

}  // namespace
