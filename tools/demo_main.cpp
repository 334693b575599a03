// quorix-demo DIR: writes a demo distribution of the library into DIR, the
// source directory the setup installs from. The real library's files cannot
// ship with the project, so each of the manifest's source names gets
// generated content of about its row's weight in bytes: readable text for
// the text files, deterministic bytes for the binaries. The larger files are
// stored compressed under their own names, as the real distribution did.
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "install/manifest.h"
#include "tools/szdd_writer.h"

namespace {

using Bytes = std::vector<unsigned char>;

// Files of this size and more are stored compressed.
constexpr size_t COMPRESS_FROM = 16 * 1024;

// A small generator whose sequence is the same on every machine.
class Random {
public:
    explicit Random(const std::string& seed)
    {
        for (char c : seed) state_ = (state_ ^ (unsigned char)c) * 0x100000001B3ull;
        if (state_ == 0) state_ = 1;
    }
    uint64_t next()
    {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 7;
        state_ ^= state_ << 17;
        return state_;
    }
    size_t below(size_t n) { return (size_t)(next() % n); }

private:
    uint64_t state_ = 0xCBF29CE484222325ull;
};

const char* const WORDS[] = {
    "the",     "plot",     "axis",    "axes",     "scale",    "curve",   "line",    "colour",  "legend",
    "label",   "tick",     "mark",    "window",   "page",     "device",  "driver",  "font",    "text",
    "routine", "argument", "value",   "array",    "call",     "sets",    "draws",   "returns", "of",
    "and",     "a",        "to",      "with",     "for",      "in",      "is",      "each",    "every",
    "grid",    "contour",  "surface", "map",      "projection", "shading", "raster", "vector", "bar",
    "pie",     "histogram", "title",  "origin",   "range",    "step",    "before",  "after",   "when",
};

std::string sentence(Random& r)
{
    std::string s;
    size_t n = 6 + r.below(12);
    for (size_t i = 0; i < n; ++i) {
        std::string w = WORDS[r.below(std::size(WORDS))];
        if (i == 0) w[0] = (char)std::toupper((unsigned char)w[0]);
        s += (i ? " " : "") + w;
    }
    return s + ".";
}

// Sentences wrapped word by word into lines of at most 72 characters, in
// paragraphs, until `size` bytes.
std::string prose(Random& r, size_t size, const std::string& heading)
{
    std::string text = heading + "\n" + std::string(heading.size(), '=') + "\n\n";
    std::string line;
    while (text.size() + line.size() < size) {
        std::string s = sentence(r);
        for (size_t start = 0; start < s.size();) {
            size_t end = s.find(' ', start);
            if (end == std::string::npos) end = s.size();
            std::string word = s.substr(start, end - start);
            start = end + 1;
            if (!line.empty() && line.size() + 1 + word.size() > 72) {
                text += line + "\n";
                line.clear();
            }
            line += (line.empty() ? "" : " ") + word;
        }
        if (r.below(5) == 0) {
            text += line + "\n\n";
            line.clear();
        }
    }
    return text + line;
}

std::string batch(Random& r, size_t size, const std::string& name)
{
    std::string text = "@echo off\r\nrem " + name + ": part of QUORIX 8.2\r\n";
    while (text.size() < size) {
        switch (r.below(3)) {
        case 0: text += "rem " + sentence(r) + "\r\n"; break;
        case 1: text += "set QRXOPT=%QRXOPT% /" + std::string(WORDS[r.below(std::size(WORDS))]) + "\r\n"; break;
        default: text += "if errorlevel 1 goto end\r\n"; break;
        }
    }
    return text;
}

std::string fortran(Random& r, size_t size, const std::string& name)
{
    std::string text = "! " + name + ": QUORIX 8.2\n";
    int n = 0;
    while (text.size() < size) {
        std::string routine = "QRX" + std::to_string(100 + n++);
        text += "\nSUBROUTINE " + routine + " (NX, NY, XRAY, YRAY)\n"
                "  ! " + sentence(r) + "\n"
                "  INTEGER, INTENT (IN) :: NX, NY\n"
                "  REAL, DIMENSION (NX), INTENT (IN) :: XRAY\n"
                "  REAL, DIMENSION (NY), INTENT (IN) :: YRAY\n"
                "  CALL QRXPLT (XRAY, YRAY, MIN (NX, NY))\n"
                "END SUBROUTINE " + routine + "\n";
    }
    return text;
}

// A bitmap font in the text form of the BDF format.
std::string font(Random& r, size_t size, const std::string& name)
{
    std::string family = name.substr(0, name.find_first_of("0123456789"));
    std::string text = "STARTFONT 2.1\nFONT -quorix-" + family + "-medium-r-normal--" +
                       name.substr(family.size(), name.find('.') - family.size()) + "-0-75-75-p-0-iso8859-1\n"
                       "COMMENT QUORIX 8.2 plotting font\n";
    for (int code = 32; text.size() < size; ++code) {
        char hex[8];
        text += "STARTCHAR C" + std::to_string(code) + "\nENCODING " + std::to_string(code) +
                "\nBBX 8 12 0 -2\nBITMAP\n";
        for (int row = 0; row < 12; ++row) {
            std::snprintf(hex, sizeof hex, "%02X\n", (unsigned)(r.next() & 0x7E));
            text += hex;
        }
        text += "ENDCHAR\n";
    }
    return text;
}

// Bytes with the texture of a binary: records that repeat with small
// changes, zero padding and stretches of noise.
Bytes binary(Random& r, size_t size, const std::string& magic)
{
    Bytes out(magic.begin(), magic.end());
    Bytes record(64);
    for (unsigned char& b : record) b = (unsigned char)r.next();
    while (out.size() < size) {
        switch (r.below(4)) {
        case 0: out.insert(out.end(), 16 + r.below(48), 0); break;
        case 1:
            record[r.below(record.size())] = (unsigned char)r.next();
            out.insert(out.end(), record.begin(), record.end());
            break;
        case 2: out.insert(out.end(), record.begin(), record.begin() + 8 + (long)r.below(56)); break;
        default:
            for (size_t i = 16 + r.below(64); i > 0; --i) out.push_back((unsigned char)r.next());
            break;
        }
    }
    out.resize(size);
    return out;
}

std::string extension_of(const std::string& name)
{
    size_t dot = name.rfind('.');
    return dot == std::string::npos ? "" : name.substr(dot + 1);
}

Bytes content(const std::string& name, size_t size)
{
    Random r(name);
    std::string ext = extension_of(name);
    std::string text;
    if (ext == "txt")
        text = prose(r, size, "QUORIX 8.2 - " + name.substr(0, name.find('.')));
    else if (ext == "inf" || ext == "dvf")
        text = prose(r, size, "QUORIX 8.2 for Digital Visual Fortran - read me");
    else if (ext == "bat")
        text = batch(r, size, name);
    else if (ext == "f90")
        text = fortran(r, size, name);
    else if (ext == "bdf")
        text = font(r, size, name);
    else if (ext == "exe" || ext == "dll")
        return binary(r, size, "MZ");
    else if (ext == "lib")
        return binary(r, size, "!<arch>\n");
    else
        return binary(r, size, "");
    // A text file ends with a line break, however its size cut it.
    text.resize(size, '\n');
    if (!text.empty()) text.back() = '\n';
    return Bytes(text.begin(), text.end());
}

bool write_file(const std::string& path, const Bytes& data)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data.data()), (std::streamsize)data.size());
    out.flush();
    return (bool)out;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2 || argv[1][0] == '-') {
        std::fprintf(stderr,
                     "usage: quorix-demo DIR\n"
                     "Writes the demo distribution of QUORIX 8.2 (the %d source files the setup\n"
                     "installs) into DIR; run the setup from DIR to install it.\n",
                     MANIFEST_ROWS);
        return 2;
    }
    std::string dir = argv[1];
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (ec || !std::filesystem::is_directory(dir)) {
        std::fprintf(stderr, "quorix-demo: cannot make the folder %s: %s\n", dir.c_str(),
                     ec ? ec.message().c_str() : "a file has that name");
        return 1;
    }
    std::set<std::string> written;
    int compressed = 0;
    size_t plain_bytes = 0, stored_bytes = 0;
    for (int row = 0; row < MANIFEST_ROWS; ++row) {
        ManifestEntry entry = manifest_entry(row);
        // Two rows each install one source twice; it is written once.
        if (!written.insert(entry.source).second) continue;
        Bytes data = content(entry.source, (size_t)std::atoi(entry.weight));
        plain_bytes += data.size();
        if (data.size() >= COMPRESS_FROM) {
            data = tools::szdd_compress(data.data(), data.size(), (unsigned char)std::string(entry.source).back());
            ++compressed;
        }
        stored_bytes += data.size();
        std::string path = dir + "/" + entry.source;
        if (!write_file(path, data)) {
            std::fprintf(stderr, "quorix-demo: cannot write %s: %s\n", path.c_str(), std::strerror(errno));
            return 1;
        }
    }
    std::printf("quorix-demo: wrote %zu source files to %s (%d of them compressed; %zu bytes installed from %zu stored)\n",
                written.size(), dir.c_str(), compressed, plain_bytes, stored_bytes);
    return 0;
}
