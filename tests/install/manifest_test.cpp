// The manifest's rows as the copy window and the group script rely on them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <string>

#include "install/install_tree.h"
#include "install/manifest.h"

namespace {

TEST(Manifest, EveryRowIsWellFormed)
{
    std::set<std::string> subdirs;
    for (const char* suffix : install_subdirs) subdirs.insert(suffix + 1);
    std::map<std::string, int> rows_per_directory;
    for (int row = 0; row < MANIFEST_ROWS; ++row) {
        SCOPED_TRACE(row + 1);
        ManifestEntry e = manifest_entry(row);
        EXPECT_EQ(e.source, file_manifest[3 * row]);
        EXPECT_EQ(e.weight, file_manifest[3 * row + 2]);
        std::string source = e.source, destination = e.destination, weight = e.weight;
        EXPECT_LE(source.size(), 12u);
        EXPECT_EQ(source.find_first_of("\\/:"), std::string::npos);
        EXPECT_LE(destination.size(), 20u);
        EXPECT_NE(destination.front(), '\\');
        EXPECT_NE(destination.back(), '\\');
        size_t slash = destination.find('\\');
        EXPECT_EQ(destination.find('\\', slash == std::string::npos ? 0 : slash + 1), std::string::npos);
        std::string directory = slash == std::string::npos ? "" : destination.substr(0, slash);
        if (!directory.empty()) {
            EXPECT_TRUE(subdirs.count(directory)) << directory;
        }
        ++rows_per_directory[directory];
        // Digits only, and the number they spell, never 0.
        ASSERT_FALSE(weight.empty());
        EXPECT_EQ(weight.find_first_not_of("0123456789"), std::string::npos);
        EXPECT_EQ(std::to_string(std::atoi(e.weight)), weight);
        EXPECT_GT(std::atoi(e.weight), 0);
        EXPECT_EQ(is_last_manifest_row(row) != 0, row == 92);
    }
    // Every directory of the tree receives files.
    const std::map<std::string, int> expected = {{"map", 3},    {"hlp", 17},     {"man", 24}, {"fonts", 12},
                                                 {"win", 24},   {"", 9},         {"examples", 2}, {"real64", 2}};
    EXPECT_EQ(rows_per_directory, expected);
}

TEST(Manifest, SharedAndRenamedSourcesAreTheirOwnRows)
{
    struct Row {
        int number;   // as counted from 1
        const char* source;
        const char* destination;
    };
    const Row rows[] = {
        {1, "map1.dat", "map\\map1.dat"},        {82, "dvflink.bat", "win\\dvflink.bat"},
        {83, "dvflink.bat", "win\\f90link.bat"},  {87, "quorix_d.f90", "real64\\quorix.f90"},
        {89, "quorix_d.mod", "real64\\quorix.mod"}, {92, "readme.dvf", "readme.inf"},
        {93, "readme.dvf", "readme.dvf"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.number);
        ManifestEntry e = manifest_entry(r.number - 1);
        EXPECT_STREQ(e.source, r.source);
        EXPECT_STREQ(e.destination, r.destination);
    }
    // Each shared row holds texts of its own.
    EXPECT_NE(manifest_entry(81).destination, manifest_entry(82).destination);
    std::set<std::string> destinations;
    for (int row = 0; row < MANIFEST_ROWS; ++row) destinations.insert(manifest_entry(row).destination);
    EXPECT_EQ(destinations.size(), (size_t)MANIFEST_ROWS);
}

}  // namespace
