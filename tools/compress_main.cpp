// quorix-compress: writes SZDD files, as the classic compression tool did,
// for the demo distribution and for anyone who wants to make one by hand.
//
//   quorix-compress SOURCE DEST    compresses SOURCE into DEST
//   quorix-compress -r SOURCE...   compresses each SOURCE into its compressed
//                                  name (map1.dat into map1.da_), keeping the
//                                  replaced character in the header
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tools/szdd_writer.h"

namespace {

void usage()
{
    std::fprintf(stderr,
                 "usage: quorix-compress SOURCE DEST\n"
                 "       quorix-compress -r SOURCE...\n"
                 "Writes SZDD files that the setup's LZ library (and Windows' EXPAND) expand.\n"
                 "With -r each SOURCE goes to its compressed name: the last character of its\n"
                 "extension becomes '_' (map1.dat -> map1.da_).\n");
}

bool read_whole(const std::string& path, std::vector<unsigned char>& data, std::string& error)
{
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        error = "is a directory";
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = std::strerror(errno);
        return false;
    }
    data.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad()) {
        error = "read error";
        return false;
    }
    return true;
}

// Writes beside the destination and renames, so that a failure never leaves
// half a file under the destination's name.
bool write_whole(const std::string& path, const std::vector<unsigned char>& data, std::string& error)
{
    std::string temporary = path + ".partial";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) {
            error = std::strerror(errno);
            return false;
        }
        out.write(reinterpret_cast<const char*>(data.data()), (std::streamsize)data.size());
        out.flush();
        if (!out) {
            error = std::strerror(errno);
            std::remove(temporary.c_str());
            return false;
        }
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        error = std::strerror(errno);
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

bool compress_file(const std::string& source, const std::string& dest, unsigned char missing_char)
{
    std::error_code ec;
    if (std::filesystem::equivalent(source, dest, ec)) {
        std::fprintf(stderr, "quorix-compress: %s: the destination is the source itself\n", source.c_str());
        return false;
    }
    std::vector<unsigned char> data;
    std::string error;
    if (!read_whole(source, data, error)) {
        std::fprintf(stderr, "quorix-compress: cannot read %s: %s\n", source.c_str(), error.c_str());
        return false;
    }
    if (data.size() > tools::SZDD_MAX_INPUT) {
        std::fprintf(stderr, "quorix-compress: %s: too large for the format (4 GiB at most)\n", source.c_str());
        return false;
    }
    std::vector<unsigned char> compressed = tools::szdd_compress(data.data(), data.size(), missing_char);
    if (!write_whole(dest, compressed, error)) {
        std::fprintf(stderr, "quorix-compress: cannot write %s: %s\n", dest.c_str(), error.c_str());
        return false;
    }
    std::printf("%s -> %s: %zu -> %zu bytes\n", source.c_str(), dest.c_str(), data.size(), compressed.size());
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty() || args[0] == "-h" || args[0] == "--help") {
        usage();
        return args.empty() ? 2 : 0;
    }
    if (args[0] == "-r") {
        if (args.size() < 2) {
            usage();
            return 2;
        }
        bool ok = true;
        for (size_t i = 1; i < args.size(); ++i) {
            unsigned char replaced = 0;
            std::string dest = tools::szdd_name(args[i], replaced);
            ok = compress_file(args[i], dest, replaced) && ok;
        }
        return ok ? 0 : 1;
    }
    if (args.size() != 2 || args[0].starts_with("-")) {
        usage();
        return 2;
    }
    return compress_file(args[0], args[1], 0) ? 0 : 1;
}
