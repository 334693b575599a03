// Directory creation and file removal against real folders of a temporary
// machine, with the errno of the Windows C runtime for every failure.
#include <grp.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>

#include "faults.h"
#include "files/errors.h"
#include "support/machine_fixture.h"

namespace {

class MkdirTest : public MachineTest {
protected:
    void SetUp() override
    {
        MachineTest::SetUp();
        std::filesystem::create_directories(drive_c + "/old");
        std::ofstream(drive_c + "/file.txt") << "x";
    }

    bool is_directory(const std::string& below_c) const { return std::filesystem::is_directory(drive_c + below_c); }

    std::string drive_c = machine_folder.path() + "/machine/drive_c";
};

TEST_F(MkdirTest, EachOutcomeHasTheErrnoOfTheWindowsRuntime)
{
    struct Case {
        const char* name;
        std::string path;
        int error;                 // 0 for success
        const char* made;          // the folder that exists afterwards, below drive_c
    };
    const Case cases[] = {
        {"a new folder", "c:\\quorix", 0, "/quorix"},
        {"a trailing backslash", "c:\\quorix2\\", 0, "/quorix2"},
        {"a doubled backslash", "c:\\quorix\\\\hlp", 0, "/quorix/hlp"},
        {"another case of an existing parent", "C:\\QUORIX\\man", 0, "/quorix/man"},
        {"an existing folder", "c:\\old", EEXIST, "/old"},
        {"an existing folder in another case", "c:\\OLD", EEXIST, "/old"},
        {"an existing file", "c:\\file.txt", EEXIST, nullptr},
        {"a missing parent", "c:\\missing\\quorix", ENOENT, nullptr},
        {"a file as parent", "c:\\file.txt\\quorix", ENOENT, nullptr},
        {"a missing drive", "x:\\quorix", ENOENT, nullptr},
        {"a path of 260 characters", "c:\\" + std::string(257, 'q'), ENOENT, nullptr},
        {"a network path", "\\\\server\\share\\quorix", ENOENT, nullptr},
        {"an empty path", "", ENOENT, nullptr},
        {"a wildcard", "c:\\quo*rix", EINVAL, nullptr},
        {"a device name", "c:\\aux", EINVAL, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        errno = 0;
        int result = _mkdir(c.path.c_str());
        EXPECT_EQ(result, c.error ? -1 : 0);
        if (c.error) {
            EXPECT_EQ(errno, c.error);
        }
        if (c.made) {
            EXPECT_TRUE(is_directory(c.made));
        }
        auto traced = events("mkdir");
        ASSERT_FALSE(traced.empty());
        EXPECT_EQ(traced.back()["path"], c.path);
        EXPECT_EQ(traced.back()["errno"], c.error);
    }
    EXPECT_FALSE(std::filesystem::exists(drive_c + "/missing"));
}

TEST_F(MkdirTest, ANullPathIsAnInvalidArgument)
{
    errno = 0;
    EXPECT_EQ(_mkdir(nullptr), -1);
    EXPECT_EQ(errno, EINVAL);
}

TEST_F(MkdirTest, RefusedAccessAFullDiskOrALostDriveLeaveNoFolder)
{
    struct Case {
        const char* name;
        platform::Fault platform::Faults::*fault;
        int error;
    };
    const Case cases[] = {
        {"access denied", &platform::Faults::access_denied, EACCES},
        {"disk full", &platform::Faults::disk_full, ENOSPC},
        {"drive lost", &platform::Faults::drive_lost, ENOENT},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        (platform::faults().*c.fault).arm();
        errno = 0;
        EXPECT_EQ(_mkdir("c:\\refused"), -1);
        EXPECT_EQ(errno, c.error);
        EXPECT_FALSE(is_directory("/refused"));
        EXPECT_EQ(events("mkdir").back()["errno"], c.error);
        // The switch fails one call only.
        EXPECT_EQ(_mkdir("c:\\refused"), 0);
        std::filesystem::remove(drive_c + "/refused");
    }
}

TEST_F(MkdirTest, AFolderWithoutTheRightToWriteRefusesANewOne)
{
    std::filesystem::create_directories(drive_c + "/locked");
    std::filesystem::permissions(drive_c + "/locked", std::filesystem::perms::owner_read |
                                                          std::filesystem::perms::owner_exec);
    // No folder refuses the superuser, so a run as root makes the directory
    // as the unprivileged user "nobody", in a child process of its own, with
    // the way down to the locked folder open to everyone.
    bool as_root = geteuid() == 0;
    if (as_root) {
        for (std::string folder = drive_c; folder.size() >= machine_folder.path().size();
             folder = std::filesystem::path(folder).parent_path().string())
            std::filesystem::permissions(folder, std::filesystem::perms::others_read | std::filesystem::perms::others_exec,
                                         std::filesystem::perm_options::add);
    }
    EXPECT_EXIT(
        {
            if (as_root && (setgroups(0, nullptr) != 0 || setresgid(65534, 65534, 65534) != 0 ||
                            setresuid(65534, 65534, 65534) != 0))
                _exit(2);
            errno = 0;
            int result = _mkdir("c:\\locked\\quorix");
            _exit(result == -1 && errno == EACCES ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_FALSE(is_directory("/locked/quorix"));
}

TEST(FileErrors, HostErrorsBecomeTheWin32ErrorsOfTheSameCase)
{
    struct Case {
        int host;
        DWORD win32;
    };
    const Case cases[] = {
        {EEXIST, ERROR_ALREADY_EXISTS},     {ENOENT, ERROR_PATH_NOT_FOUND},
        {ENOTDIR, ERROR_PATH_NOT_FOUND},    {ENAMETOOLONG, ERROR_FILENAME_EXCED_RANGE},
        {EACCES, ERROR_ACCESS_DENIED},      {EPERM, ERROR_ACCESS_DENIED},
        {EROFS, ERROR_WRITE_PROTECT},       {ENOSPC, ERROR_DISK_FULL},
        {EDQUOT, ERROR_DISK_FULL},          {EIO, ERROR_GEN_FAILURE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.host);
        EXPECT_EQ(platform::win32_error_from_host(c.host), c.win32);
    }
}

TEST(FileErrors, Win32ErrorsBecomeTheRuntimesErrno)
{
    struct Case {
        DWORD win32;
        int crt;
    };
    const Case cases[] = {
        // The errors that stop the install tree.
        {ERROR_FILE_NOT_FOUND, ENOENT}, {ERROR_PATH_NOT_FOUND, ENOENT}, {ERROR_INVALID_DRIVE, ENOENT},
        {ERROR_NO_MORE_FILES, ENOENT},  {ERROR_BAD_NETPATH, ENOENT},    {ERROR_BAD_NET_NAME, ENOENT},
        {ERROR_BAD_PATHNAME, ENOENT},   {ERROR_FILENAME_EXCED_RANGE, ENOENT},
        // The ones that do not.
        {ERROR_ALREADY_EXISTS, EEXIST}, {ERROR_ACCESS_DENIED, EACCES},  {ERROR_WRITE_PROTECT, EACCES},
        {ERROR_NOT_READY, EACCES},      {36, EACCES},                   {ERROR_DISK_FULL, ENOSPC},
        {ERROR_INVALID_NAME, EINVAL},   {ERROR_HANDLE_DISK_FULL, EINVAL}, {188, ENOEXEC},
        {202, ENOEXEC},                 {203, EINVAL},                  {37, EINVAL},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.win32);
        EXPECT_EQ(platform::crt_errno_from_win32(c.win32), c.crt);
    }
}

TEST_F(MkdirTest, DeleteFileRemovesAFileAndNothingElse)
{
    struct Case {
        const char* name;
        const char* path;
        bool removed;
        DWORD error;
    };
    const Case cases[] = {
        {"a file, in another case", "C:\\FILE.TXT", true, 0},
        {"a file that is gone", "c:\\file.txt", false, ERROR_FILE_NOT_FOUND},
        {"a file in a missing folder", "c:\\missing\\file.txt", false, ERROR_PATH_NOT_FOUND},
        {"a folder", "c:\\old", false, ERROR_ACCESS_DENIED},
        {"a forbidden name", "c:\\a?b", false, ERROR_INVALID_NAME},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetLastError(0);
        EXPECT_EQ(DeleteFileA(c.path), c.removed ? TRUE : FALSE);
        if (!c.removed) {
            EXPECT_EQ(GetLastError(), c.error);
        }
    }
    EXPECT_FALSE(std::filesystem::exists(drive_c + "/file.txt"));
    EXPECT_TRUE(is_directory("/old"));

    std::ofstream(drive_c + "/kept.txt") << "x";
    platform::faults().access_denied.arm();
    EXPECT_FALSE(DeleteFileA("c:\\kept.txt"));
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_ACCESS_DENIED);
    EXPECT_TRUE(std::filesystem::exists(drive_c + "/kept.txt"));
}

}  // namespace
