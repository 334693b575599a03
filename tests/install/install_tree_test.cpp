// The install tree against real folders of a temporary machine: which
// failures stop the setup, and what the one message says.
#include <cerrno>
#include <filesystem>

#include "faults.h"
#include "install/install_tree.h"
#include "setup/setup.h"
#include "setup/text.h"
#include "support/machine_fixture.h"

namespace {

class InstallTreeTest : public MachineTest {
protected:
    // Runs the tree for `directory`, answering every box with OK.
    int make_tree(const std::string& directory, int boxes = 0)
    {
        start_with(std::vector<std::string>(boxes, "ok"));
        copy_text(install_dir, sizeof install_dir, directory.c_str());
        return make_install_tree();
    }

    // The (path, errno) of each directory creation, in order.
    std::vector<std::pair<std::string, int>> creations() const
    {
        std::vector<std::pair<std::string, int>> out;
        for (const auto& e : events("mkdir")) out.emplace_back(e["path"], e["errno"]);
        return out;
    }

    std::vector<std::string> boxes() const
    {
        std::vector<std::string> out;
        for (const auto& e : events("msgbox")) {
            EXPECT_EQ(e["caption"], "Setup");
            EXPECT_EQ(e["buttons"], "OK");
            out.push_back(e["text"]);
        }
        return out;
    }

    bool exists(const std::string& below_c) const
    {
        return std::filesystem::is_directory(machine_folder.path() + "/machine/drive_c" + below_c);
    }
};

const char* const SUFFIXES[] = {"\\hlp", "\\man", "\\fonts", "\\win", "\\map", "\\real64", "\\examples"};

std::vector<std::pair<std::string, int>> all(const std::string& directory, int error)
{
    std::vector<std::pair<std::string, int>> out = {{directory, error}};
    for (const char* suffix : SUFFIXES) out.emplace_back(directory + suffix, error);
    return out;
}

TEST_F(InstallTreeTest, AFreshInstallMakesEightDirectoriesInOrderAndASecondFindsThemAll)
{
    EXPECT_EQ(make_tree("c:\\quorix"), 0);
    EXPECT_EQ(creations(), all("c:\\quorix", 0));
    EXPECT_TRUE(boxes().empty());
    for (const char* name : {"/quorix", "/quorix/hlp", "/quorix/examples", "/quorix/real64"}) EXPECT_TRUE(exists(name)) << name;

    EXPECT_EQ(make_tree("C:\\QUORIX"), 0);
    EXPECT_EQ(creations(), all("C:\\QUORIX", EEXIST));
    EXPECT_TRUE(boxes().empty());
}

TEST_F(InstallTreeTest, ATrailingBackslashDoublesInEveryPath)
{
    EXPECT_EQ(make_tree("c:\\quorix\\"), 0);
    auto made = creations();
    ASSERT_EQ(made.size(), 8u);
    EXPECT_EQ(made[0], std::make_pair(std::string("c:\\quorix\\"), 0));
    EXPECT_EQ(made[1], std::make_pair(std::string("c:\\quorix\\\\hlp"), 0));
    EXPECT_EQ(made[7], std::make_pair(std::string("c:\\quorix\\\\examples"), 0));
    EXPECT_TRUE(exists("/quorix/examples"));
}

TEST_F(InstallTreeTest, WhatStopsTheSetupAndWhatDoesNot)
{
    struct Case {
        const char* name;
        std::string directory;
        platform::Fault platform::Faults::*fault;   // armed after `successes` calls, or null
        int successes;
        int result;
        std::vector<std::pair<std::string, int>> creations;
        std::vector<std::string> boxes;
    };
    const Case cases[] = {
        {"a missing parent: nothing is made",
         "c:\\Fortran Libs\\Quorix", nullptr, 0, -1,
         {{"c:\\Fortran Libs\\Quorix", ENOENT}},
         {"Cannot create directory c:\\Fortran Libs\\Quorix"}},
        {"a missing drive", "e:\\quorix", nullptr, 0, -1, {{"e:\\quorix", ENOENT}}, {"Cannot create directory e:\\quorix"}},
        {"an empty directory", "", nullptr, 0, -1, {{"", ENOENT}}, {"Cannot create directory "}},
        {"refused access to the directory: its first sub-directory then has no parent",
         "c:\\quorix", &platform::Faults::access_denied, 0, -1,
         {{"c:\\quorix", EACCES}, {"c:\\quorix\\hlp", ENOENT}},
         {"Cannot create directory c:\\quorix\\hlp"}},
        {"a later sub-directory is not found: the earlier ones stay",
         "c:\\quorix", &platform::Faults::drive_lost, 6, -1,
         {{"c:\\quorix", 0}, {"c:\\quorix\\hlp", 0}, {"c:\\quorix\\man", 0}, {"c:\\quorix\\fonts", 0},
          {"c:\\quorix\\win", 0}, {"c:\\quorix\\map", 0}, {"c:\\quorix\\real64", ENOENT}},
         {"Cannot create directory c:\\quorix\\real64"}},
        {"a full disk stops nothing", "c:\\quorix", &platform::Faults::disk_full, 2, 0,
         {{"c:\\quorix", 0}, {"c:\\quorix\\hlp", 0}, {"c:\\quorix\\man", ENOSPC}, {"c:\\quorix\\fonts", 0},
          {"c:\\quorix\\win", 0}, {"c:\\quorix\\map", 0}, {"c:\\quorix\\real64", 0}, {"c:\\quorix\\examples", 0}},
         {}},
        {"a forbidden name fails at every level without a word", "c:\\quo*rix", nullptr, 0, 0,
         all("c:\\quo*rix", EINVAL), {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        start_with(std::vector<std::string>(c.boxes.size(), "ok"));
        copy_text(install_dir, sizeof install_dir, c.directory.c_str());
        if (c.fault) (platform::faults().*c.fault).arm(c.successes);
        EXPECT_EQ(make_install_tree(), c.result);
        EXPECT_EQ(creations(), c.creations);
        EXPECT_EQ(boxes(), c.boxes);
        std::filesystem::remove_all(machine_folder.path() + "/machine/drive_c/quorix");
    }
    EXPECT_FALSE(exists("/Fortran Libs"));
}

TEST_F(InstallTreeTest, TheLongestDirectoryIsNamedWholeInTheMessage)
{
    // 131 characters below a missing parent, and the longest suffix.
    std::string directory = "c:\\missing\\" + std::string(120, 'q');
    EXPECT_EQ(make_tree(directory, 1), -1);
    EXPECT_EQ(boxes(), std::vector<std::string>{"Cannot create directory " + directory});

    std::string parent = "c:\\" + std::string(128, 'p');
    std::filesystem::create_directories(machine_folder.path() + "/machine/drive_c/" + std::string(128, 'p'));
    start_with({"ok"});
    copy_text(install_dir, sizeof install_dir, parent.c_str());
    platform::faults().drive_lost.arm(7);
    EXPECT_EQ(make_install_tree(), -1);
    EXPECT_EQ(boxes(), std::vector<std::string>{"Cannot create directory " + parent + "\\examples"});
}

}  // namespace
