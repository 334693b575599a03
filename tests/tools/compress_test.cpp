// The project's tools as a person runs them: quorix-compress's files
// expanded by Debian's msexpand, by libmspack and by our own expander, and
// quorix-demo's distribution.
#include <gtest/gtest.h>
#include <mspack.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>

#include "lz/szdd.h"
#include "support/temp_dir.h"
#include "tools/szdd_writer.h"

namespace {

std::string read_file(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void write_file(const std::string& path, const std::string& data)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << data;
}

int run(const std::string& command)
{
    int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

const std::string BIN = QUORIX_BIN_DIR;

std::string text_of(size_t size, unsigned seed)
{
    static const char* const WORDS[] = {"plot", "axis", "scale", "QUORIX", "curve", "of", "the", "and", "draws"};
    std::mt19937 rng(seed);
    std::string text;
    while (text.size() < size) text += std::string(WORDS[rng() % std::size(WORDS)]) + (rng() % 9 ? " " : "\n");
    text.resize(size);
    return text;
}

std::string random_of(size_t size, unsigned seed)
{
    std::mt19937 rng(seed);
    std::string out(size, '\0');
    for (char& c : out) c = (char)rng();
    return out;
}

class StringSource final : public platform::szdd::Source {
public:
    explicit StringSource(const std::string& data) : data_(data) {}
    long long read(unsigned char* buffer, size_t size) override
    {
        size_t n = std::min(size, data_.size() - at_);
        std::copy_n(data_.data() + at_, n, buffer);
        at_ += n;
        return (long long)n;
    }

private:
    const std::string& data_;
    size_t at_ = platform::szdd::HEADER_SIZE;
};

class StringSink final : public platform::szdd::Sink {
public:
    bool write(const unsigned char* data, size_t size) override
    {
        out.append(reinterpret_cast<const char*>(data), size);
        return true;
    }
    std::string out;
};

TEST(QuorixCompress, ItsFilesExpandByteForByteWithEveryExpander)
{
    ASSERT_EQ(run("command -v msexpand >/dev/null"), 0) << "Debian's msexpand is not installed: scripts/install-packages test";
    std::string repeated;
    while (repeated.size() < 100000) repeated += "      CALL QRXPLT (XRAY, YRAY, N)\n";
    struct Case {
        const char* name;
        std::string data;
        double at_most;   // the compressed size as a share of the input's, or 0 for no bound
    };
    const Case cases[] = {
        {"empty", "", 0},
        {"one byte", "Q", 0},
        {"15 bytes", "fifteen bytes..", 0},
        {"16 bytes", "sixteen bytes...", 0},
        {"17 bytes", "seventeen bytes..", 0},
        {"4095 bytes", text_of(4095, 1), 0},
        {"4096 bytes", text_of(4096, 2), 0},
        {"4097 bytes", text_of(4097, 3), 0},
        {"8192 bytes of noise", random_of(8192, 4), 1.13},
        {"one byte repeated", std::string(100000, 'x'), 0.12},
        {"repeated lines", repeated, 0.12},
        {"noise", random_of(100000, 5), 1.13},
        {"a MiB of text", text_of(1 << 20, 6), 0.75},
    };
    TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        write_file(dir / "input.txt", c.data);
        std::filesystem::remove(dir / "input.tx_");
        ASSERT_EQ(run("'" + BIN + "/quorix-compress' -r '" + (dir / "input.txt") + "' >/dev/null"), 0);
        std::string compressed = read_file(dir / "input.tx_");
        ASSERT_EQ(compressed.substr(0, 8), std::string("SZDD\x88\xF0\x27\x33", 8));
        EXPECT_EQ(compressed[9], 't') << "the replaced character is kept";
        if (c.at_most > 0) {
            EXPECT_LE((double)compressed.size(), c.at_most * (double)c.data.size());
        }

        ASSERT_EQ(run("msexpand < '" + (dir / "input.tx_") + "' > '" + (dir / "msexpand.out") + "' 2>/dev/null"), 0);
        EXPECT_TRUE(read_file(dir / "msexpand.out") == c.data) << "msexpand expands it otherwise";

        msszdd_decompressor* decompressor = mspack_create_szdd_decompressor(nullptr);
        EXPECT_EQ(decompressor->decompress(decompressor, (dir / "input.tx_").c_str(), (dir / "mspack.out").c_str()),
                  MSPACK_ERR_OK);
        mspack_destroy_szdd_decompressor(decompressor);
        EXPECT_TRUE(read_file(dir / "mspack.out") == c.data) << "libmspack expands it otherwise";

        StringSource source(compressed);
        StringSink sink;
        platform::szdd::Outcome outcome = platform::szdd::expand(source, sink, (uint32_t)c.data.size());
        EXPECT_EQ(outcome.status, platform::szdd::Status::ok);
        EXPECT_TRUE(sink.out == c.data) << "our expander expands it otherwise";
    }
}

TEST(QuorixCompress, ItsCommandLineNamesFilesAsWindowsLooksForThemAndRefusesNonsense)
{
    TempDir dir;
    write_file(dir / "readme", "read me");
    write_file(dir / "a.b", "ab");
    write_file(dir / "map1.dat", "map");
    EXPECT_EQ(run("cd '" + dir.path() + "' && '" + BIN + "/quorix-compress' -r readme a.b map1.dat >/dev/null"), 0);
    for (const char* name : {"readme._", "a.b_", "map1.da_"})
        EXPECT_EQ(read_file(dir / name).substr(0, 4), "SZDD") << name;
    EXPECT_EQ(read_file(dir / "readme._")[9], '\0');
    EXPECT_EQ(read_file(dir / "map1.da_")[9], 't');

    EXPECT_EQ(run("'" + BIN + "/quorix-compress' '" + (dir / "map1.dat") + "' '" + (dir / "packed") + "' >/dev/null"), 0);
    EXPECT_EQ(read_file(dir / "packed")[9], '\0');

    struct Case {
        const char* name;
        std::string arguments;
        int status;
    };
    const Case cases[] = {
        {"no arguments", "", 2},
        {"-r alone", "-r", 2},
        {"three names", "a b c", 2},
        {"a missing source", "'" + (dir / "missing") + "' '" + (dir / "out") + "'", 1},
        {"a folder as source", "'" + dir.path() + "' '" + (dir / "out") + "'", 1},
        {"the source as its own destination", "'" + (dir / "a.b") + "' '" + (dir / "a.b") + "'", 1},
        {"a destination in a missing folder", "'" + (dir / "a.b") + "' '" + (dir / "no/out") + "'", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(run("'" + BIN + "/quorix-compress' " + c.arguments + " >/dev/null 2>&1"), c.status);
    }
    EXPECT_EQ(read_file(dir / "a.b"), "ab");
    EXPECT_FALSE(std::filesystem::exists(dir / "out"));
}

TEST(QuorixDemo, WritesTheSameReadableDistributionEveryTime)
{
    TempDir dir;
    ASSERT_EQ(run("'" + BIN + "/quorix-demo' '" + (dir / "one") + "' >/dev/null"), 0);
    ASSERT_EQ(run("'" + BIN + "/quorix-demo' '" + (dir / "two") + "' >/dev/null"), 0);
    int files = 0, compressed = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir / "one")) {
        std::string name = entry.path().filename();
        SCOPED_TRACE(name);
        ++files;
        std::string bytes = read_file(entry.path());
        EXPECT_TRUE(bytes == read_file(dir / "two/" + name)) << "differs between two runs";
        std::string content = bytes;
        if (bytes.rfind("SZDD", 0) == 0) {
            ++compressed;
            msszdd_decompressor* decompressor = mspack_create_szdd_decompressor(nullptr);
            ASSERT_EQ(decompressor->decompress(decompressor, entry.path().c_str(), (dir / "expanded").c_str()),
                      MSPACK_ERR_OK);
            mspack_destroy_szdd_decompressor(decompressor);
            content = read_file(dir / "expanded");
        }
        std::string extension = name.substr(name.rfind('.') + 1);
        if (extension == "txt" || extension == "bat" || extension == "f90" || extension == "bdf" ||
            extension == "inf" || extension == "dvf") {
            for (char c : content) ASSERT_TRUE(c == '\n' || c == '\r' || (c >= ' ' && c <= '~')) << "not readable";
            EXPECT_EQ(content.back(), '\n');
        }
    }
    EXPECT_EQ(files, 91);
    EXPECT_GE(compressed, 3);

    write_file(dir / "a-file", "x");
    EXPECT_EQ(run("'" + BIN + "/quorix-demo' '" + (dir / "a-file") + "' >/dev/null 2>&1"), 1);
    EXPECT_EQ(run("'" + BIN + "/quorix-demo' >/dev/null 2>&1"), 2);
}

}  // namespace
