// LZOpenFileA, LZCopy and LZClose: files opened so that copying yields the
// expanded content of an SZDD file and the plain content of any other.
#include "lz/lz.h"

#include <unistd.h>

#include <cerrno>
#include <algorithm>
#include <climits>
#include <cstring>
#include <map>
#include <memory>

#include "files/errors.h"
#include "files/host_io.h"
#include "files/paths.h"
#include "lz/szdd.h"
#include "trace/trace.h"

namespace platform {

namespace {

struct LzFile {
    HostFile file;
    std::string name;          // as the program named it
    bool writable = false;     // opened by OF_CREATE (or for writing)
    bool compressed = false;   // reading expands
    uint32_t length = 0;       // the expanded size of a compressed file
};

struct LzState {
    std::map<INT, std::unique_ptr<LzFile>> files;
    // Handles count up from where Windows starts its LZ handles and are never
    // reused within a run, so a stale handle is a bad handle.
    INT next_handle = 0x400;
};

LzState& lz_state()
{
    static LzState s;
    return s;
}

LzFile* find_file(INT handle)
{
    auto& files = lz_state().files;
    auto it = files.find(handle);
    return it == files.end() ? nullptr : it->second.get();
}

INT add_file(std::unique_ptr<LzFile> file)
{
    LzState& s = lz_state();
    INT handle = s.next_handle++;
    s.files.emplace(handle, std::move(file));
    return handle;
}

class FileSource final : public szdd::Source {
public:
    explicit FileSource(int fd) : fd_(fd) {}
    long long read(unsigned char* buffer, size_t size) override { return read_file(fd_, buffer, size); }

private:
    int fd_;
};

class FileSink final : public szdd::Sink {
public:
    explicit FileSink(int fd) : fd_(fd) {}
    bool write(const unsigned char* data, size_t size) override { return write_file(fd_, data, size); }

private:
    int fd_;
};

// The open-file record as OpenFile leaves it: the name opened, or the error.
void fill_record(LPOFSTRUCT record, const std::string& name, DWORD error)
{
    if (!record) return;
    std::memset(record, 0, sizeof *record);
    record->cBytes = (BYTE)sizeof *record;
    record->fFixedDisk = 1;
    record->nErrCode = (WORD)error;
    std::strncpy(record->szPathName, name.c_str(), OFS_MAXPATHNAME - 1);
}

INT fail_open(LPOFSTRUCT record, const std::string& name, DWORD error, INT result = LZERROR_BADINHANDLE)
{
    fill_record(record, name, error);
    SetLastError(error);
    return result;
}

HostFile open_mapped(const std::string& name, DWORD& error)
{
    MappedPath mapped = map_path(name);
    if (mapped.error) {
        error = mapped.error;
        return {};
    }
    return open_for_reading(mapped.host, error);
}

INT open_for_expansion(const std::string& name, LPOFSTRUCT record)
{
    std::string opened = name;
    DWORD error = 0;
    HostFile file = open_mapped(name, error);
    if (!file.is_open() && (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)) {
        // The distribution may hold the file only in its compressed form.
        std::string other = compressed_name(name);
        DWORD other_error = 0;
        HostFile compressed = open_mapped(other, other_error);
        if (compressed.is_open()) {
            file = std::move(compressed);
            opened = other;
            error = 0;
        }
    }
    if (!file.is_open()) return fail_open(record, name, error);

    unsigned char bytes[szdd::HEADER_SIZE];
    long long got = read_file_at(file.fd(), bytes, sizeof bytes, 0);
    if (got < 0) return fail_open(record, opened, win32_error_from_host(errno), LZERROR_READ);
    szdd::Header header;
    auto file_record = std::make_unique<LzFile>();
    switch (szdd::read_header(bytes, (size_t)got, header)) {
    case szdd::HeaderKind::plain: break;
    case szdd::HeaderKind::compressed:
        file_record->compressed = true;
        file_record->length = header.length;
        if (lseek(file.fd(), (off_t)szdd::HEADER_SIZE, SEEK_SET) < 0)
            return fail_open(record, opened, win32_error_from_host(errno), LZERROR_READ);
        break;
    // A file that says it is compressed but cannot be expanded is refused
    // here, as Windows refuses it: its compressed bytes are never handed out
    // as if they were its content.
    case szdd::HeaderKind::truncated: return fail_open(record, opened, ERROR_FILE_INVALID, LZERROR_READ);
    case szdd::HeaderKind::unknown_mode: return fail_open(record, opened, ERROR_FILE_INVALID, LZERROR_UNKNOWNALG);
    }
    file_record->file = std::move(file);
    file_record->name = name;
    fill_record(record, opened, 0);
    return add_file(std::move(file_record));
}

INT open_lz_for_writing(const std::string& name, LPOFSTRUCT record, bool create)
{
    MappedPath mapped = map_path(name);
    if (mapped.error) return fail_open(record, name, mapped.error);
    DWORD error = 0;
    // OF_WRITE and OF_READWRITE open a file that exists, without expansion.
    HostFile file = create ? create_for_writing(mapped.host, error) : platform::open_for_writing(mapped.host, error);
    if (!file.is_open()) return fail_open(record, name, error);
    auto file_record = std::make_unique<LzFile>();
    file_record->file = std::move(file);
    file_record->name = name;
    file_record->writable = true;
    fill_record(record, name, 0);
    return add_file(std::move(file_record));
}

LONG lz_error(szdd::Status status)
{
    switch (status) {
    case szdd::Status::ok: return 0;
    case szdd::Status::read_error:
    case szdd::Status::damaged: return LZERROR_READ;
    case szdd::Status::write_error: return LZERROR_WRITE;
    case szdd::Status::no_memory: return LZERROR_GLOBALLOC;
    }
    return LZERROR_READ;
}

}  // namespace

std::string compressed_name(const std::string& name)
{
    size_t separator = name.find_last_of('\\');
    size_t dot = name.find('.', separator == std::string::npos ? 0 : separator + 1);
    if (dot == std::string::npos) return name + "._";
    if (name.size() - dot - 1 < 3) return name + "_";
    return name.substr(0, name.size() - 1) + "_";
}

void close_lz_files()
{
    lz_state() = LzState{};
}

}  // namespace platform

using namespace platform;

INT LZOpenFileA(LPSTR file_name, LPOFSTRUCT open_file, WORD style)
{
    if (!file_name) return fail_open(open_file, "", ERROR_INVALID_PARAMETER);
    std::string name = file_name;
    if (style & OF_CREATE) return open_lz_for_writing(name, open_file, true);
    if (style & (OF_WRITE | OF_READWRITE)) return open_lz_for_writing(name, open_file, false);
    // Deleting, probing and the like are OpenFile's business: the machine's
    // LZ files are for copying only, and a style it does not carry out fails
    // plainly. The sharing modes (0x10 to 0x40) change nothing for one process.
    if (style & ~0x0070) return fail_open(open_file, name, ERROR_INVALID_PARAMETER);
    return open_for_expansion(name, open_file);
}

LONG LZCopy(INT source, INT destination)
{
    LzFile* in = find_file(source);
    LzFile* out = find_file(destination);
    LONG result;
    if (!in || in->writable) {
        result = LZERROR_BADINHANDLE;
    } else if (!out || !out->writable) {
        result = LZERROR_BADOUTHANDLE;
    } else {
        FileSource reader(in->file.fd());
        FileSink writer(out->file.fd());
        // The expanded size is known beforehand. A header may claim more
        // than its data can hold, so no more is reserved than the data could
        // expand to: 18 bytes for every 2 it has, at most.
        uint64_t input = file_size(in->file.fd());
        reserve_space(out->file.fd(), in->compressed ? std::min<uint64_t>(in->length, input * 9) : input);
        szdd::Outcome outcome =
            in->compressed ? szdd::expand(reader, writer, in->length) : szdd::copy(reader, writer, input);
        // A file of 2 GiB or more still counts as copied, not as an error code.
        result = outcome.status == szdd::Status::ok ? (LONG)std::min<uint64_t>(outcome.written, LONG_MAX)
                                                    : lz_error(outcome.status);
    }
    trace::Event("copy")
        .text("source", in ? in->name : "")
        .text("dest", out ? out->name : "")
        .number("result", result);
    return result;
}

void LZClose(INT file)
{
    lz_state().files.erase(file);
}
