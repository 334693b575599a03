// The LZ calls and the SZDD expander: hand-made vectors, files compressed by
// tools none of us wrote, libmspack's expansion of the same data, damaged
// and truncated inputs, and the file layer's faults at every point.
#include <mspack.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "faults.h"
#include "lz/lz.h"
#include "lz/szdd.h"
#include "support/machine_fixture.h"
#include "support/szdd_builder.h"

namespace {

using Bytes = std::vector<unsigned char>;

Bytes bytes_of(const std::string& text)
{
    return Bytes(text.begin(), text.end());
}

template <size_t N>
Bytes vector_of(const unsigned char (&data)[N])
{
    Bytes out;
    for (unsigned char b : data) out.push_back(b);
    return out;
}

Bytes read_bytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void write_bytes(const std::string& path, const Bytes& data)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data.data()), (std::streamsize)data.size());
}

// Readable text of about `size` bytes, the same for the same seed.
Bytes text_of(size_t size, unsigned seed)
{
    static const char* const WORDS[] = {"the",   "plot",  "axis",   "scale",  "QUORIX", "window", "colour",
                                        "line",  "curve", "Fortran", "label", "tick",   "legend", "of",
                                        "and",   "a",     "with",   "draws",  "sets",   "for"};
    std::mt19937 rng(seed);
    std::string text;
    while (text.size() < size) {
        text += WORDS[rng() % std::size(WORDS)];
        text += rng() % 12 == 0 ? ".\n" : " ";
    }
    text.resize(size);
    return bytes_of(text);
}

Bytes random_bytes(size_t size, unsigned seed)
{
    std::mt19937 rng(seed);
    Bytes out(size);
    for (unsigned char& b : out) b = (unsigned char)rng();
    return out;
}

// Hands its data out in pieces of random size, so that every item of the
// stream comes to lie across a refill of the expander's input some time.
class PiecesSource final : public platform::szdd::Source {
public:
    PiecesSource(const Bytes& data, size_t offset, unsigned seed, size_t largest)
        : data_(data), position_(offset), rng_(seed), largest_(largest)
    {
    }
    long long read(unsigned char* buffer, size_t size) override
    {
        size_t n = std::min({size, data_.size() - position_, 1 + (size_t)(rng_() % largest_)});
        std::copy_n(data_.begin() + (long)position_, n, buffer);
        position_ += n;
        return (long long)n;
    }

private:
    const Bytes& data_;
    size_t position_;
    std::mt19937 rng_;
    size_t largest_;
};

class BytesSink final : public platform::szdd::Sink {
public:
    bool write(const unsigned char* data, size_t size) override
    {
        bytes.insert(bytes.end(), data, data + size);
        return true;
    }
    Bytes bytes;
};

// Expands a whole SZDD file in memory.
platform::szdd::Outcome expand_in_memory(const Bytes& file, Bytes& out, unsigned seed = 1, size_t largest = 1 << 20)
{
    platform::szdd::Header header;
    EXPECT_EQ(platform::szdd::read_header(file.data(), std::min(file.size(), platform::szdd::HEADER_SIZE), header),
              platform::szdd::HeaderKind::compressed);
    PiecesSource source(file, platform::szdd::HEADER_SIZE, seed, largest);
    BytesSink sink;
    platform::szdd::Outcome outcome = platform::szdd::expand(source, sink, header.length);
    out = std::move(sink.bytes);
    return outcome;
}

// libmspack's expansion of a file, or nothing when it reports an error.
std::optional<Bytes> mspack_expand(const std::string& input, const std::string& output)
{
    msszdd_decompressor* decompressor = mspack_create_szdd_decompressor(nullptr);
    int error = decompressor->decompress(decompressor, input.c_str(), output.c_str());
    mspack_destroy_szdd_decompressor(decompressor);
    if (error != MSPACK_ERR_OK) return std::nullopt;
    return read_bytes(output);
}

class LzTest : public MachineTest {
protected:
    std::string put(const std::string& name, const Bytes& data)
    {
        std::string path = files / name;
        write_bytes(path, data);
        return path;
    }

    // LZOpenFileA, LZCopy and LZClose as the copy window calls them.
    LONG copy_file(std::string source, std::string dest)
    {
        OFSTRUCT source_info, dest_info;
        INT in = LZOpenFileA(source.data(), &source_info, OF_READ);
        if (in < 0) return in;
        INT out = LZOpenFileA(dest.data(), &dest_info, OF_CREATE);
        EXPECT_GE(out, 0) << dest;
        LONG result = LZCopy(in, out);
        LZClose(in);
        LZClose(out);
        return result;
    }

    TempDir files;
};

TEST_F(LzTest, HandMadeVectorsExpandToWhatTheyStandFor)
{
    // SZDD, mode A, no name character, then the length.
#define HEADER(n) 'S', 'Z', 'D', 'D', 0x88, 0xF0, 0x27, 0x33, 'A', 0, n, 0, 0, 0
    // An empty file: nothing follows the header.
    static constexpr unsigned char EMPTY[] = {HEADER(0)};
    // "abc": a control byte with three literal bits.
    static constexpr unsigned char LITERALS[] = {HEADER(3), 0x07, 'a', 'b', 'c'};
    // Three blanks: a match at ring position 0, before the first byte written.
    static constexpr unsigned char BLANKS[] = {HEADER(3), 0x00, 0x00, 0x00};
    // "a" and a match of 18 at its own position 0xFF0: 19 times 'a'.
    static constexpr unsigned char RUN[] = {HEADER(19), 0x01, 'a', 0xF0, 0xFF};
    // The same data with a length of 5: "aaaaa", ending inside the match.
    static constexpr unsigned char RUN_CUT[] = {HEADER(5), 0x01, 'a', 0xF0, 0xFF};
    // A length of 2 with four literals: "ab"; the rest is not part of the file.
    static constexpr unsigned char TAIL[] = {HEADER(2), 0x0F, 'a', 'b', 'c', 'd'};
    // "abab" then a match of 4 at 0xFF2 (the second "ab"), overlapping: "abababab".
    static constexpr unsigned char OVERLAP[] = {HEADER(8), 0x0F, 'a', 'b', 'a', 'b', 0xF2, 0xF1};
#undef HEADER
    struct Case {
        const char* name;
        Bytes file;
        std::string expanded;
    };
    const Case cases[] = {
        {"empty", vector_of(EMPTY), ""},
        {"literals", vector_of(LITERALS), "abc"},
        {"blanks before the start", vector_of(BLANKS), "   "},
        {"a run", vector_of(RUN), std::string(19, 'a')},
        {"a length inside a match", vector_of(RUN_CUT), "aaaaa"},
        {"bytes after the length", vector_of(TAIL), "ab"},
        {"an overlapping match", vector_of(OVERLAP), "abababab"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string source = put("in.xx_", c.file), dest = files / "out";
        EXPECT_EQ(copy_file(source, dest), (LONG)c.expanded.size());
        EXPECT_EQ(read_bytes(dest), bytes_of(c.expanded));
    }
}

TEST_F(LzTest, PeerSamplesExpandToTheirExpectedFiles)
{
    const std::string fixtures = QUORIX_TEST_FIXTURES "/szdd/";
    struct Case {
        const char* compressed;
        const char* expected;
    };
    const Case cases[] = {
        {"afl-compressible.bm_", "afl-compressible.expected"},
        {"afl-random.bi_", "afl-random.expected"},
        {"mscompress-test.txt_", "mscompress-test.expected"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.compressed);
        Bytes expected = read_bytes(fixtures + c.expected);
        ASSERT_FALSE(expected.empty());
        EXPECT_EQ(copy_file(fixtures + c.compressed, files / "out"), (LONG)expected.size());
        EXPECT_EQ(read_bytes(files / "out"), expected);
    }
}

TEST_F(LzTest, APeerSampleWhoseLengthExceedsItsDataIsDamaged)
{
    // Its header claims 5237 bytes; its data holds the 20 of "This is a test
    // file.". The 20 are written, and the copy reports the damage.
    const std::string fixtures = QUORIX_TEST_FIXTURES "/szdd/";
    EXPECT_EQ(copy_file(fixtures + "wine-lz32-testfile.xx_", files / "out"), LZERROR_READ);
    EXPECT_EQ(read_bytes(files / "out"), read_bytes(fixtures + "wine-lz32-testfile.expected"));
}

TEST_F(LzTest, DamagedAndOddFilesGiveAnErrorOrTheirPlainBytes)
{
    SzddBuilder abc;
    abc.literal('a').literal('b').literal('c');
    SzddBuilder with_match;
    with_match.literal('a').literal('b').match(0xFF0, 4);
    Bytes match_cut = with_match.file();
    match_cut.pop_back();
    Bytes control_only = abc.file(20);
    control_only.push_back(0x00);   // a control byte whose items never come
    Bytes header = abc.file();
    struct Case {
        const char* name;
        Bytes file;
        LONG result;
        std::string written;   // what the destination holds afterwards
    };
    const Case cases[] = {
        {"the data ends before the length", abc.file(10), LZERROR_READ, "abc"},
        {"the data ends inside a match", match_cut, LZERROR_READ, "ab"},
        {"the data ends after a control byte", control_only, LZERROR_READ, "abc"},
        {"the header ends early", Bytes(header.begin(), header.begin() + 11), LZERROR_READ, ""},
        {"an unknown mode", abc.file(std::nullopt, 'B'), LZERROR_UNKNOWNALG, ""},
        {"a file shorter than the magic", bytes_of("SZDD"), 4, "SZDD"},
        {"a file that only starts like one", bytes_of("SZDD is a format"), 16, "SZDD is a format"},
        {"an empty plain file", Bytes{}, 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string dest = files / "out";
        std::filesystem::remove(dest);
        EXPECT_EQ(copy_file(put("in", c.file), dest), c.result);
        EXPECT_EQ(read_bytes(dest), bytes_of(c.written));
    }
}

// Streams of random items, over the whole ring (blanks before the start,
// matches reaching back the full 4096 bytes, self-overlapping runs), expanded
// by us and by libmspack. Pieces of random size move every item across the
// expander's refills; the long ones cross its output blocks.
TEST_F(LzTest, RandomStreamsExpandAsLibmspackExpandsThem)
{
    std::mt19937 rng(20240611);
    for (int round = 0; round < 60; ++round) {
        SCOPED_TRACE(round);
        size_t target = round < 2 ? 5000000 : 1 + rng() % 20000;
        int literal_share = (int)(rng() % 101);
        SzddBuilder builder;
        while (builder.produced() < target) {
            if ((int)(rng() % 100) < literal_share)
                builder.literal((unsigned char)rng());
            else if (rng() % 8 == 0)
                builder.match(builder.ring_position(), 3 + rng() % 16);   // 4096 back
            else if (rng() % 8 == 0)
                builder.match((builder.ring_position() - 1 - rng() % 4) & 4095, 3 + rng() % 16);   // overlapping
            else
                builder.match(rng() % 4096, 3 + rng() % 16);
        }
        Bytes file = builder.file();
        std::string path = put("random.bi_", file);
        std::optional<Bytes> expected = mspack_expand(path, files / "mspack.out");
        ASSERT_TRUE(expected) << "libmspack refused a stream we made";
        ASSERT_EQ(expected->size(), builder.produced());
        Bytes ours;
        platform::szdd::Outcome outcome = expand_in_memory(file, ours, round, 1 + rng() % 40000);
        EXPECT_EQ(outcome.status, platform::szdd::Status::ok);
        EXPECT_EQ(outcome.written, expected->size());
        ASSERT_TRUE(ours == *expected) << "the expansions differ";
    }
}

// The acceptance of any bytes at all: flipped bits, cut files, nonsense
// lengths and plain noise give the defined output or an error, and never a
// read or write outside the buffers (the sanitizer build watches that).
TEST_F(LzTest, AnyBytesGiveTheFileOrAnError)
{
    std::mt19937 rng(7);
    SzddBuilder builder;
    Bytes text = text_of(30000, 3);
    for (size_t i = 0; i < text.size();) {
        if (i > 20 && rng() % 3 == 0) {
            builder.match((builder.ring_position() - 1 - rng() % 2000) & 4095, 3 + rng() % 16);
            i += 9;
        } else {
            builder.literal(text[i++]);
        }
    }
    Bytes good = builder.file();
    for (int round = 0; round < 400; ++round) {
        Bytes file = good;
        switch (round % 4) {
        case 0:
            for (int flips = 1 + (int)(rng() % 8); flips > 0; --flips)
                file[platform::szdd::HEADER_SIZE + rng() % (file.size() - platform::szdd::HEADER_SIZE)] ^=
                    (unsigned char)(1u << (rng() % 8));
            break;
        case 1: file.resize(platform::szdd::HEADER_SIZE + rng() % (file.size() - platform::szdd::HEADER_SIZE)); break;
        case 2:
            for (int i = 10; i < 14; ++i) file[i] = (unsigned char)rng();
            break;
        case 3:
            file.resize(platform::szdd::HEADER_SIZE + rng() % 5000);
            for (size_t i = platform::szdd::HEADER_SIZE; i < file.size(); ++i) file[i] = (unsigned char)rng();
            break;
        }
        SCOPED_TRACE(round);
        Bytes out;
        platform::szdd::Outcome outcome = expand_in_memory(file, out, round, 1 + rng() % 3000);
        uint32_t length = file[10] | file[11] << 8 | file[12] << 16 | (uint32_t)file[13] << 24;
        if (outcome.status == platform::szdd::Status::ok)
            EXPECT_EQ(out.size(), length);
        else
            EXPECT_EQ(outcome.status, platform::szdd::Status::damaged);
        EXPECT_LE(out.size(), length);
        EXPECT_EQ(outcome.written, out.size());
    }
}

TEST_F(LzTest, EveryCutOfAFileIsDamaged)
{
    SzddBuilder builder;
    Bytes text = text_of(3000, 5);
    for (size_t i = 0; i < text.size(); ++i) {
        builder.literal(text[i]);
        if (i % 7 == 6) builder.match(builder.ring_position() - 5, 3);
    }
    Bytes good = builder.file();
    for (size_t size = platform::szdd::HEADER_SIZE; size < good.size(); ++size) {
        SCOPED_TRACE(size);
        Bytes out;
        Bytes cut(good.begin(), good.begin() + (long)size);
        EXPECT_EQ(expand_in_memory(cut, out, (unsigned)size, 97).status, platform::szdd::Status::damaged);
    }
    Bytes out;
    EXPECT_EQ(expand_in_memory(good, out).status, platform::szdd::Status::ok);
}

// Files compressed at test time by Debian's mscompress, a tool none of us
// wrote, expand byte for byte. That tool gets inputs under 16 bytes wrong,
// so the small cases are the hand-made vectors above.
TEST_F(LzTest, FilesCompressedByMscompressExpandByteForByte)
{
    ASSERT_EQ(std::system("command -v mscompress >/dev/null"), 0)
        << "Debian's mscompress is not installed: scripts/install-packages test";
    Bytes repeats;
    for (int i = 0; i < 4000; ++i) {
        Bytes line = bytes_of("CALL QRXPLT(" + std::to_string(i % 7) + ", 'line')\n");
        repeats.insert(repeats.end(), line.begin(), line.end());
    }
    struct Case {
        const char* name;
        Bytes data;
    };
    const Case cases[] = {
        {"16 bytes", text_of(16, 1)},
        {"17 bytes", text_of(17, 2)},
        {"4095 bytes", text_of(4095, 3)},
        {"4096 bytes", text_of(4096, 4)},
        {"4097 bytes", text_of(4097, 5)},
        {"8192 bytes", random_bytes(8192, 6)},
        {"12289 bytes", text_of(12289, 7)},
        {"one byte repeated", Bytes(300000, 'Q')},
        {"repeated lines", repeats},
        {"random data", random_bytes(200000, 8)},
        {"a few MiB of text", text_of(3 << 20, 9)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string plain = put("input.dat", c.data);
        std::filesystem::remove(plain + "_");
        ASSERT_EQ(std::system(("mscompress '" + plain + "' >/dev/null 2>&1").c_str()), 0);
        Bytes compressed = read_bytes(plain + "_");
        ASSERT_EQ(compressed.size() >= 4 ? std::string(compressed.begin(), compressed.begin() + 4) : "", "SZDD");
        EXPECT_EQ(copy_file(plain + "_", files / "out"), (LONG)c.data.size());
        EXPECT_TRUE(read_bytes(files / "out") == c.data) << "the expansion differs";
    }
}

TEST_F(LzTest, AMissingFileIsLookedForUnderItsCompressedName)
{
    struct Name {
        const char* name;
        const char* compressed;
    };
    const Name names[] = {
        {"map2.dat", "map2.da_"},       {"readme.dv", "readme.dv_"},     {"readme", "readme._"},
        {"a.b", "a.b_"},                {"setup.long", "setup.lon_"},    {"c:\\dir.x\\name", "c:\\dir.x\\name._"},
        {"c:\\dir\\a.b.txt", "c:\\dir\\a.b.tx_"},
    };
    for (const Name& n : names) EXPECT_EQ(platform::compressed_name(n.name), n.compressed) << n.name;

    std::string source = machine_folder.path() + "/machine/drive_c/SOURCE";
    std::filesystem::create_directories(source);
    SzddBuilder hello;
    for (char c : std::string("hello")) hello.literal((unsigned char)c);
    write_bytes(source + "/MAP2.DA_", hello.file());
    write_bytes(source + "/map3.dat", bytes_of("plain"));
    write_bytes(source + "/map3.da_", hello.file());
    struct Case {
        const char* name;
        const char* opened;   // what the open-file record names, or null when the open fails
        std::string content;
    };
    const Case cases[] = {
        {"c:\\source\\map2.dat", "c:\\source\\map2.da_", "hello"},
        {"c:\\source\\map2.da_", "c:\\source\\map2.da_", "hello"},
        // The file itself comes first when both are there.
        {"c:\\source\\map3.dat", "c:\\source\\map3.dat", "plain"},
        {"c:\\source\\map4.dat", nullptr, ""},
        {"c:\\nowhere\\map2.dat", nullptr, ""},
        {"c:\\source", nullptr, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string name = c.name;
        OFSTRUCT info;
        INT handle = LZOpenFileA(name.data(), &info, OF_READ);
        if (!c.opened) {
            EXPECT_EQ(handle, -1);
            EXPECT_NE(info.nErrCode, 0);
            continue;
        }
        ASSERT_GE(handle, 0);
        EXPECT_STREQ(info.szPathName, c.opened);
        std::string dest = files / "out";
        INT out = LZOpenFileA(dest.data(), &info, OF_CREATE);
        EXPECT_EQ(LZCopy(handle, out), (LONG)c.content.size());
        LZClose(handle);
        LZClose(out);
        EXPECT_EQ(read_bytes(dest), bytes_of(c.content));
    }
}

TEST_F(LzTest, CreatingEmptiesAFileAndFailsWhereWindowsFails)
{
    std::string c = machine_folder.path() + "/machine/drive_c";
    std::filesystem::create_directories(c + "/quorix/win");
    write_bytes(c + "/quorix/old.txt", bytes_of("old content"));
    struct Case {
        const char* name;
        const char* path;
        DWORD error;   // 0 when the file is created
    };
    const Case cases[] = {
        {"a new file", "c:\\quorix\\new.txt", 0},
        {"an existing file, emptied", "c:\\QUORIX\\OLD.TXT", 0},
        {"a missing folder", "c:\\quorix\\man\\new.txt", ERROR_PATH_NOT_FOUND},
        {"a folder", "c:\\quorix\\win", ERROR_ACCESS_DENIED},
        {"a forbidden name", "c:\\quorix\\a*b", ERROR_INVALID_NAME},
        {"a missing drive", "q:\\quorix\\new.txt", ERROR_PATH_NOT_FOUND},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        std::string name = k.path;
        OFSTRUCT info;
        INT handle = LZOpenFileA(name.data(), &info, OF_CREATE);
        if (k.error) {
            EXPECT_EQ(handle, -1);
            EXPECT_EQ(info.nErrCode, k.error);
            EXPECT_EQ(GetLastError(), k.error);
        } else {
            EXPECT_GE(handle, 0);
        }
        LZClose(handle);
    }
    EXPECT_EQ(std::filesystem::file_size(c + "/quorix/old.txt"), 0u);
    EXPECT_TRUE(std::filesystem::exists(c + "/quorix/new.txt"));

    // OF_WRITE opens a file that is there, and keeps its content.
    write_bytes(c + "/quorix/kept.txt", bytes_of("kept content"));
    std::string source = put("in.txt", bytes_of("KEPT")), kept = "c:\\quorix\\kept.txt", missing = "c:\\quorix\\none.txt";
    OFSTRUCT info;
    INT in = LZOpenFileA(source.data(), &info, OF_READ);
    INT out = LZOpenFileA(kept.data(), &info, OF_WRITE);
    ASSERT_GE(out, 0);
    EXPECT_EQ(LZCopy(in, out), 4);
    LZClose(in);
    LZClose(out);
    EXPECT_EQ(read_bytes(c + "/quorix/kept.txt"), bytes_of("KEPT content"));
    EXPECT_EQ(LZOpenFileA(missing.data(), &info, OF_WRITE), -1);
    EXPECT_EQ(info.nErrCode, ERROR_FILE_NOT_FOUND);
}

TEST_F(LzTest, BadHandlesAreReportedAndEveryCopyIsTraced)
{
    std::string source = put("plain.txt", bytes_of("plain text")), dest = files / "out";
    OFSTRUCT info;
    INT in = LZOpenFileA(source.data(), &info, OF_READ);
    INT out = LZOpenFileA(dest.data(), &info, OF_CREATE);
    ASSERT_GE(in, 0);
    ASSERT_GE(out, 0);
    EXPECT_EQ(LZCopy(-1, out), LZERROR_BADINHANDLE);
    EXPECT_EQ(LZCopy(out, in), LZERROR_BADINHANDLE);
    EXPECT_EQ(LZCopy(in, in), LZERROR_BADOUTHANDLE);
    EXPECT_EQ(LZCopy(in, out), 10);
    LZClose(in);
    EXPECT_EQ(LZCopy(in, out), LZERROR_BADINHANDLE);
    LZClose(out);
    LZClose(out);   // a second close of the same handle does nothing
    std::string other = "x";
    EXPECT_EQ(LZOpenFileA(other.data(), &info, OF_EXIST), -1);

    auto copies = events("copy");
    ASSERT_EQ(copies.size(), 5u);
    EXPECT_EQ(copies[0], (nlohmann::json{{"event", "copy"}, {"source", ""}, {"dest", dest}, {"result", -1}}));
    EXPECT_EQ(copies[3], (nlohmann::json{{"event", "copy"}, {"source", source}, {"dest", dest}, {"result", 10}}));
    EXPECT_EQ(copies[4]["result"], -1);
}

// The file layer fails the Nth read or write, or fills the disk at the Nth
// write, for N from 0 upwards until the copy gets through: at every N the
// copy either reports the fault or delivers the whole file, never less.
TEST_F(LzTest, AFaultAtAnyReadOrWriteIsReportedAndNothingShortPassesForWhole)
{
    Bytes text = text_of(5000000, 11);
    SzddBuilder builder;
    for (size_t i = 0; i < text.size(); ++i) builder.literal(text[i]);
    std::string compressed = put("big.tx_", builder.file()), plain = put("big.txt", text);
    struct Case {
        const char* name;
        platform::Fault platform::Faults::*fault;
        LONG error;
    };
    const Case cases[] = {
        {"a failing read", &platform::Faults::file_read, LZERROR_READ},
        {"a failing write", &platform::Faults::file_write, LZERROR_WRITE},
        {"a full disk", &platform::Faults::disk_full, LZERROR_WRITE},
    };
    for (const std::string& source : {compressed, plain}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.name) + " copying " + source);
            int failures = 0;
            for (int n = 0;; ++n) {
                ASSERT_LT(n, 100) << "the copy never got through";
                std::filesystem::remove(files / "out");
                (platform::faults().*c.fault).arm(n);
                LONG result = copy_file(source, files / "out");
                bool fired = (platform::faults().*c.fault).fired();
                (platform::faults().*c.fault).disarm();
                if (!fired) {
                    EXPECT_EQ(result, (LONG)text.size());
                    EXPECT_TRUE(read_bytes(files / "out") == text);
                    break;
                }
                ++failures;
                // An open that fails on its read of the header is no open at all.
                EXPECT_TRUE(result == c.error || result == LZERROR_READ) << result;
            }
            EXPECT_GE(failures, 3);
        }
    }
}

}  // namespace
