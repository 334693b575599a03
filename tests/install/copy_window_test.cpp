// The copy window in-process: its layout, the readout row by row, the files
// it copies, and each failure's message.
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "faults.h"
#include "install/copy_window.h"
#include "install/manifest.h"
#include "setup/setup.h"
#include "setup/text.h"
#include "support/machine_fixture.h"
#include "tools/szdd_writer.h"
#include "ui/layout.h"

namespace {

std::string read_text(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void write_text(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

// What the demo-like source of a name holds once expanded.
std::string content_of(const std::string& source)
{
    std::string text = "QUORIX 8.2: " + source + "\n";
    while (text.size() < 5000) text += "This line belongs to " + source + " and repeats.\n";
    return text;
}

class CopyWindowTest : public MachineTest {
protected:
    void SetUp() override
    {
        MachineTest::SetUp();
        char here[4096];
        ASSERT_NE(getcwd(here, sizeof here), nullptr);
        previous_directory = here;
        // Every source, the map files stored compressed as the distribution has them.
        for (int row = 0; row < MANIFEST_ROWS; ++row) {
            std::string name = manifest_entry(row).source, text = content_of(name);
            if (name.starts_with("map")) {
                auto packed = tools::szdd_compress(reinterpret_cast<const unsigned char*>(text.data()), text.size());
                write_text(source / name, std::string(packed.begin(), packed.end()));
            } else {
                write_text(source / name, text);
            }
        }
        ASSERT_EQ(chdir(source.path().c_str()), 0);
    }

    void TearDown() override
    {
        ASSERT_EQ(chdir(previous_directory.c_str()), 0);
        MachineTest::TearDown();
    }

    // Starts a machine with these answers for the boxes, sets what the
    // earlier phases leave behind and makes the tree below `directory`.
    void prepare(std::vector<std::string> answers, const std::string& directory = "c:\\quorix",
                 bool register_class = true)
    {
        start_with(answers);
        if (register_class) register_test_class("instcopy", instcopy_proc);
        app_instance = GetModuleHandleA(NULL);
        show_command = SW_SHOWNORMAL;
        screen_width = 640;
        screen_height = 480;
        char_width = 7;
        line_height = 16;
        next_control_id = 3;
        copy_text(install_dir, sizeof install_dir, directory.c_str());
        for (const char* d : {"hlp", "man", "fonts", "win", "map", "real64", "examples"})
            std::filesystem::create_directories(tree + "/" + d);
    }

    std::vector<std::string> boxes() const
    {
        std::vector<std::string> out;
        for (const auto& e : events("msgbox")) {
            EXPECT_EQ(e["caption"], "Setup");
            out.push_back(e["text"]);
        }
        return out;
    }

    // The texts given to a child of the copy window (by creation order, from 0).
    std::vector<std::string> texts_of(int child) const
    {
        auto windows = events("window");
        std::vector<nlohmann::json> children;
        for (const auto& w : windows)
            if (w["parent"] != 0 && w["parent"] == windows.front()["hwnd"]) children.push_back(w);
        std::vector<std::string> out;
        for (const auto& t : events("text"))
            if (t["hwnd"] == children.at(child)["hwnd"]) out.push_back(t["text"]);
        return out;
    }

    TempDir source;
    std::string tree = machine_folder.path() + "/machine/drive_c/quorix";
    std::string previous_directory;
};

TEST_F(CopyWindowTest, TheWindowAndItsControlsSitWhereTheUnitsPutThem)
{
    prepare({});
    EXPECT_EQ(run_instcopy(), 0);
    auto windows = events("window");
    ASSERT_EQ(windows.size(), 8u);
    struct Control {
        const char* class_name;
        const char* title;
        long long style;
        int x, y, width, height, id;
    };
    // The trace gives the style without WS_VISIBLE, which showing sets.
    const Control expected[] = {
        {"instcopy", "QUORIX Setup", WS_OVERLAPPEDWINDOW, 145, 120, 350, 240, 0},
        {"static", "", WS_CHILD | SS_LEFT, 14, 16, 42, 24, 3},
        {"static", "", WS_CHILD | SS_LEFT, 14, 48, 52, 24, 3},
        {"edit", "", WS_CHILD | WS_BORDER | ES_AUTOHSCROLL, 70, 48, 259, 24, 3},
        {"static", "", WS_CHILD | SS_LEFT, 14, 80, 31, 24, 4},
        {"edit", "", WS_CHILD | WS_BORDER | ES_AUTOHSCROLL, 70, 80, 259, 24, 4},
        {"scrollbar", "", WS_CHILD | WS_TABSTOP | SBS_HORZ, 70, 128, 259, 24, 0},
        {"static", "0", WS_CHILD | SS_CENTER, 70, 160, 259, 24, 0},
    };
    for (size_t i = 0; i < std::size(expected); ++i) {
        SCOPED_TRACE(windows[i].dump());
        EXPECT_EQ(windows[i]["class"], expected[i].class_name);
        EXPECT_EQ(windows[i]["title"], expected[i].title);
        EXPECT_EQ(windows[i]["style"], expected[i].style);
        EXPECT_EQ(windows[i]["x"], expected[i].x);
        EXPECT_EQ(windows[i]["y"], expected[i].y);
        EXPECT_EQ(windows[i]["width"], expected[i].width);
        EXPECT_EQ(windows[i]["height"], expected[i].height);
        EXPECT_EQ(windows[i]["id"], expected[i].id);
        EXPECT_EQ(windows[i]["parent"], i == 0 ? nlohmann::json(0) : windows[0]["hwnd"]);
    }
    EXPECT_EQ(texts_of(0), std::vector<std::string>{"Copy"});
    EXPECT_EQ(texts_of(1), std::vector<std::string>{"From:"});
    EXPECT_EQ(texts_of(3), std::vector<std::string>{"To:"});
    // Before the first row the fields hold a single blank and the number is "0".
    EXPECT_EQ(texts_of(2).front(), " ");
    EXPECT_EQ(texts_of(4).front(), " ");
    auto scrolls = events("scroll");
    ASSERT_GE(scrolls.size(), 2u);
    EXPECT_EQ(scrolls[0], (nlohmann::json{{"event", "scroll"}, {"hwnd", windows[6]["hwnd"]}, {"pos", 0}, {"min", 0}, {"max", 100}}));
    EXPECT_EQ(scrolls[1], (nlohmann::json{{"event", "scroll"}, {"hwnd", windows[6]["hwnd"]}, {"pos", 0}}));
    auto shows = events("show");
    ASSERT_EQ(shows.size(), 1u);
    EXPECT_EQ(shows[0]["cmd"], SW_SHOWNORMAL);
    // The phase ends with its window gone.
    EXPECT_FALSE(IsWindow(copy_window));
    EXPECT_EQ(events("destroy").front()["hwnd"], windows[0]["hwnd"]);
}

TEST_F(CopyWindowTest, EveryRowIsShownThenCopiedAndTheNumberRisesByTheWeights)
{
    prepare({});
    run_instcopy();
    std::vector<std::string> percents = texts_of(6), sources = texts_of(2), dests = texts_of(4);
    ASSERT_EQ(percents.size(), 93u);
    const std::pair<int, const char*> figures[] = {{1, "0"},   {2, "24"},  {3, "45"},  {76, "81"}, {77, "93"},
                                                   {89, "99"}, {90, "99"}, {91, "99"}, {92, "99"}, {93, "100"}};
    for (const auto& [row, figure] : figures) EXPECT_EQ(percents[row - 1], figure) << "row " << row;
    for (size_t i = 1; i < percents.size(); ++i) EXPECT_LE(std::stoi(percents[i - 1]), std::stoi(percents[i]));

    // The bar follows the number.
    std::vector<int> positions;
    for (const auto& s : events("scroll")) positions.push_back(s["pos"]);
    ASSERT_EQ(positions.size(), 2u + 93u);
    for (int row = 0; row < 93; ++row) EXPECT_EQ(std::to_string(positions[2 + row]), percents[row]);

    ASSERT_EQ(sources.size(), 94u);
    ASSERT_EQ(dests.size(), 94u);
    auto copies = events("copy");
    ASSERT_EQ(copies.size(), 93u);
    for (int row = 0; row < MANIFEST_ROWS; ++row) {
        ManifestEntry e = manifest_entry(row);
        SCOPED_TRACE(e.destination);
        std::string dest = std::string("c:\\quorix\\") + e.destination;
        EXPECT_EQ(sources[row + 1], e.source);
        EXPECT_EQ(dests[row + 1], dest);
        EXPECT_EQ(copies[row]["source"], e.source);
        EXPECT_EQ(copies[row]["dest"], dest);
        std::string host = e.destination;
        std::replace(host.begin(), host.end(), '\\', '/');
        EXPECT_EQ(read_text(tree + "/" + host), content_of(e.source));
        EXPECT_EQ(copies[row]["result"], content_of(e.source).size());
    }
    EXPECT_TRUE(boxes().empty());
    // Both names of the shared readme hold the same text.
    EXPECT_EQ(read_text(tree + "/readme.inf"), read_text(tree + "/readme.dvf"));
}

TEST(CopyPercent, TheShareIsTruncatedAndOnlyTheLastRowIsForced)
{
    struct Case {
        const char* name;
        int done, total, last;
        int percent;
    };
    const Case cases[] = {
        {"a third", 1, 3, 0, 33},
        {"two thirds", 2, 3, 0, 66},
        {"the whole", 3, 3, 0, 100},
        // (100.0 / 97) * 97 is a little below 100 in doubles.
        {"the whole of 97 comes out at 99", 97, 97, 0, 99},
        {"which the last row forces to 100", 97, 97, 1, 100},
        {"the last row at any share", 1, 1000, 1, 100},
        {"more than the whole", 5, 4, 0, 100},
        {"nothing to share", 0, 0, 0, 0},
        {"nothing to share on the last row", 0, 0, 1, 100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(copy_percent(c.done, c.total, c.last), c.percent);
    }
}

TEST_F(CopyWindowTest, EachFailureHasItsMessageAndTheRestIsCopied)
{
    struct Case {
        const char* name;
        std::vector<const char*> removed_sources;
        std::vector<const char*> removed_directories;
        std::vector<std::string> boxes;
        std::vector<const char*> missing;   // destinations not installed
    };
    const Case cases[] = {
        {"a missing source: its bare name", {"map2.dat"}, {}, {"Cannot open file map2.dat"}, {"map/map2.dat"}},
        {"a missing shared source: once per row",
         {"dvflink.bat"},
         {},
         {"Cannot open file dvflink.bat", "Cannot open file dvflink.bat"},
         {"win/dvflink.bat", "win/f90link.bat"}},
        {"a missing destination directory: once per row into it",
         {},
         {"real64"},
         {"Cannot create file c:\\quorix\\real64\\quorix.f90", "Cannot create file c:\\quorix\\real64\\quorix.mod"},
         {"real64/quorix.f90", "real64/quorix.mod"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove_all(tree);
        prepare(std::vector<std::string>(c.boxes.size(), "ok"));
        for (const char* name : c.removed_sources) std::filesystem::rename(source / name, source / "aside");
        for (const char* d : c.removed_directories) std::filesystem::remove_all(tree + "/" + d);
        EXPECT_EQ(run_instcopy(), 0);
        EXPECT_EQ(boxes(), c.boxes);
        for (const char* d : c.missing) EXPECT_FALSE(std::filesystem::exists(tree + "/" + d)) << d;
        // The readout advanced through every row all the same.
        EXPECT_EQ(texts_of(6).size(), 93u);
        EXPECT_EQ(texts_of(6)[1], "24");
        EXPECT_EQ(read_text(tree + "/readme.dvf"), content_of("readme.dvf"));
        for (const char* name : c.removed_sources) std::filesystem::rename(source / "aside", source / name);
    }
}

TEST_F(CopyWindowTest, AFailedCopyIsReportedAndLeavesNoDamagedFile)
{
    struct Case {
        const char* name;
        platform::Fault platform::Faults::*fault;   // armed after `successes` calls, or null
        int successes;
        const char* damaged_source;                  // a source whose compressed data is cut short, or null
        LONG error;
    };
    const Case cases[] = {
        {"damaged compressed data", nullptr, 0, "map3.dat", LZERROR_READ},
        {"a full disk", &platform::Faults::disk_full, 4, nullptr, LZERROR_WRITE},
        {"a failing write", &platform::Faults::file_write, 50, nullptr, LZERROR_WRITE},
        {"a failing read", &platform::Faults::file_read, 10, nullptr, LZERROR_READ},
        // A read that fails on the header leaves the source unopened: the
        // open reports LZERROR_READ, which is not the -1 the program tests
        // for, and the copy then finds no source to read.
        {"a failing read of a header", &platform::Faults::file_read, 9, nullptr, LZERROR_BADINHANDLE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove_all(tree);
        prepare({"ok"});
        std::string kept;
        if (c.damaged_source) {
            kept = read_text(source / c.damaged_source);
            write_text(source / c.damaged_source, kept.substr(0, kept.size() - 20));
        }
        if (c.fault) (platform::faults().*c.fault).arm(c.successes);
        EXPECT_EQ(run_instcopy(), 0);
        // One copy failed; its destination is named in the one box and is gone.
        std::vector<nlohmann::json> failed;
        for (const auto& copy : events("copy"))
            if (copy["result"] < 0) failed.push_back(copy);
        ASSERT_EQ(failed.size(), 1u);
        EXPECT_EQ(failed[0]["result"], c.error);
        std::string dest = failed[0]["dest"];
        EXPECT_EQ(boxes(), std::vector<std::string>{"Cannot copy file " + dest});
        std::string host = tree + dest.substr(std::string("c:\\quorix").size());
        std::replace(host.begin(), host.end(), '\\', '/');
        EXPECT_FALSE(std::filesystem::exists(host)) << host;
        if (c.damaged_source) {
            EXPECT_EQ(dest, std::string("c:\\quorix\\map\\") + c.damaged_source);
        }
        // The rows after it were copied.
        EXPECT_EQ(read_text(tree + "/readme.dvf"), content_of("readme.dvf"));
        if (c.damaged_source) write_text(source / c.damaged_source, kept);
    }
}

TEST_F(CopyWindowTest, AForbiddenDirectoryGivesOneMessagePerRowWhoseSourceOpens)
{
    std::filesystem::rename(source / "map1.dat", source / "aside");
    prepare(std::vector<std::string>(93, "ok"), "c:\\quo*rix");
    EXPECT_EQ(run_instcopy(), 0);
    std::vector<std::string> shown = boxes();
    ASSERT_EQ(shown.size(), 93u);
    EXPECT_EQ(shown[0], "Cannot open file map1.dat");
    EXPECT_EQ(shown[1], "Cannot create file c:\\quo*rix\\map\\map2.dat");
    EXPECT_EQ(shown[92], "Cannot create file c:\\quo*rix\\readme.dvf");
}

TEST_F(CopyWindowTest, ATrailingBackslashDoublesInTheDestination)
{
    prepare({}, "c:\\quorix\\");
    run_instcopy();
    EXPECT_EQ(texts_of(4)[1], "c:\\quorix\\\\map\\map1.dat");
    EXPECT_EQ(read_text(tree + "/map/map1.dat"), content_of("map1.dat"));
    EXPECT_TRUE(boxes().empty());
}

TEST_F(CopyWindowTest, WithoutAWindowTheFilesAreCopiedAndThePhaseEnds)
{
    // The class is not registered, so the window cannot be created; the
    // script front-end would end the run if the phase waited for a message.
    prepare({}, "c:\\quorix", false);
    EXPECT_EQ(run_instcopy(), 0);
    EXPECT_EQ(copy_window, nullptr);
    EXPECT_TRUE(events("window").empty());
    EXPECT_EQ(events("copy").size(), 93u);
    EXPECT_EQ(read_text(tree + "/readme.inf"), content_of("readme.dvf"));
}

}  // namespace
