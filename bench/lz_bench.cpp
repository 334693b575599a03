// Expansion and copying of 64 MiB files, side by side: our LZCopy against
// libmspack's SZDD expander, Debian's msexpand and cp, on the same inputs:
// a mixed file, a highly compressible one and a random one. Throughput is
// bytes of the expanded file per second of wall time. After the timings,
// each way's memory is measured in a process of its own.
//
// The inputs are made once in $QUORIX_BENCH_DIR (by default
// ${TMPDIR:-/tmp}/quorix-bench) and kept for later runs.
#include <benchmark/benchmark.h>
#include <mspack.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "lz/szdd.h"
#include "machine.h"
#include "tools/szdd_writer.h"
#include "win32.h"

extern char** environ;

namespace {

constexpr size_t INPUT_SIZE = 64u << 20;

const char* const INPUTS[] = {"mixed", "compressible", "random"};

std::string bench_dir()
{
    if (const char* d = std::getenv("QUORIX_BENCH_DIR"); d && *d) return d;
    const char* tmp = std::getenv("TMPDIR");
    return std::string(tmp && *tmp ? tmp : "/tmp") + "/quorix-bench";
}

std::string plain_path(const std::string& input) { return bench_dir() + "/" + input + ".dat"; }
std::string packed_path(const std::string& input) { return bench_dir() + "/" + input + ".da_"; }
std::string output_path() { return bench_dir() + "/output"; }

// A small generator whose sequence is the same on every run.
struct Random {
    uint64_t state;
    uint64_t next()
    {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return state;
    }
};

std::vector<unsigned char> make_input(const std::string& kind)
{
    std::vector<unsigned char> data;
    data.reserve(INPUT_SIZE);
    Random r{0x9E3779B97F4A7C15ull ^ kind.size()};
    static const char* const WORDS[] = {"plot ", "axis ", "scale ", "curve ", "QUORIX ", "of ", "the ", "\n",
                                        "legend ", "CALL ", "QRXPLT ", "(X, Y, N)\n"};
    if (kind == "random") {
        while (data.size() < INPUT_SIZE) data.push_back((unsigned char)r.next());
    } else if (kind == "compressible") {
        // Long runs and lines that repeat with rare changes, as in padded
        // tables and generated listings.
        std::string line = "      CALL QRXPLT (XRAY, YRAY, NPTS)    ! draw the curve\n";
        while (data.size() < INPUT_SIZE) {
            if (r.next() % 64 == 0) line[6 + r.next() % 20] = (char)('A' + r.next() % 26);
            if (r.next() % 16 == 0) data.insert(data.end(), 200 + r.next() % 2000, ' ');
            data.insert(data.end(), line.begin(), line.end());
        }
    } else {
        // Text, binary records and noise in blocks, as in a program's distribution.
        while (data.size() < INPUT_SIZE) {
            switch (r.next() % 3) {
            case 0:
                for (int i = 0; i < 2000; ++i) {
                    const char* w = WORDS[r.next() % std::size(WORDS)];
                    data.insert(data.end(), w, w + std::strlen(w));
                }
                break;
            case 1: {
                std::vector<unsigned char> record(64);
                for (auto& b : record) b = (unsigned char)r.next();
                for (int i = 0; i < 200; ++i) {
                    record[r.next() % 64] = (unsigned char)r.next();
                    data.insert(data.end(), record.begin(), record.end());
                    data.insert(data.end(), r.next() % 32, 0);
                }
                break;
            }
            default:
                for (int i = 0; i < 8000; ++i) data.push_back((unsigned char)r.next());
                break;
            }
        }
    }
    data.resize(INPUT_SIZE);
    return data;
}

void write_file(const std::string& path, const std::vector<unsigned char>& data)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data.data()), (std::streamsize)data.size());
}

void prepare_inputs()
{
    std::filesystem::create_directories(bench_dir());
    for (const char* input : INPUTS) {
        std::error_code ec;
        if (std::filesystem::file_size(plain_path(input), ec) == INPUT_SIZE && std::filesystem::exists(packed_path(input)))
            continue;
        std::fprintf(stderr, "making the %s input in %s\n", input, bench_dir().c_str());
        std::vector<unsigned char> data = make_input(input);
        write_file(plain_path(input), data);
        write_file(packed_path(input), tools::szdd_compress(data.data(), data.size(), 't'));
    }
}

// Runs a program and waits for it; false when it fails. Its own standard
// input and output can be files.
bool spawn(std::vector<std::string> args, const std::string& in = "", const std::string& out = "",
           struct rusage* usage = nullptr)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!in.empty()) posix_spawn_file_actions_addopen(&actions, 0, in.c_str(), O_RDONLY, 0);
    if (!out.empty()) posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t child;
    int error = posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0) return false;
    int status = 0;
    struct rusage ignored;
    if (wait4(child, &status, 0, usage ? usage : &ignored) < 0) return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

LONG lz_copy(const std::string& source, const std::string& dest)
{
    OFSTRUCT a, b;
    std::string s = source, d = dest;
    INT in = LZOpenFileA(s.data(), &a, OF_READ);
    INT out = LZOpenFileA(d.data(), &b, OF_CREATE);
    LONG result = LZCopy(in, out);
    LZClose(in);
    LZClose(out);
    return result;
}

bool mspack_expand(const std::string& source, const std::string& dest)
{
    msszdd_decompressor* decompressor = mspack_create_szdd_decompressor(nullptr);
    int error = decompressor->decompress(decompressor, source.c_str(), dest.c_str());
    mspack_destroy_szdd_decompressor(decompressor);
    return error == MSPACK_ERR_OK;
}

enum class Way { ours_expand, libmspack_expand, msexpand, ours_copy, cp };

bool run_way(Way way, const std::string& input)
{
    std::string out = output_path();
    switch (way) {
    case Way::ours_expand: return lz_copy(packed_path(input), out) == (LONG)INPUT_SIZE;
    case Way::libmspack_expand: return mspack_expand(packed_path(input), out);
    case Way::msexpand: return spawn({"msexpand"}, packed_path(input), out);
    case Way::ours_copy: return lz_copy(plain_path(input), out) == (LONG)INPUT_SIZE;
    case Way::cp: return spawn({"cp", plain_path(input), out});
    }
    return false;
}

void measure(benchmark::State& state, Way way, const char* input)
{
    for (auto _ : state) {
        state.PauseTiming();
        std::filesystem::remove(output_path());
        state.ResumeTiming();
        if (!run_way(way, input)) {
            state.SkipWithError("the expansion or copy failed");
            return;
        }
    }
    state.SetBytesProcessed((int64_t)state.iterations() * (int64_t)INPUT_SIZE);
}

void register_benchmarks()
{
    struct Entry {
        const char* name;
        Way way;
        int repetitions;
    };
    // msexpand takes one system call a byte (about a minute and a half for
    // 64 MiB here), so it gets fewer repetitions than the others.
    const Entry ways[] = {
        {"expand/ours", Way::ours_expand, 5},      {"expand/libmspack", Way::libmspack_expand, 5},
        {"expand/msexpand", Way::msexpand, 3},     {"copy/ours", Way::ours_copy, 5},
        {"copy/cp", Way::cp, 5},
    };
    for (const char* input : INPUTS)
        for (const Entry& e : ways)
            benchmark::RegisterBenchmark((std::string(e.name) + "/" + input).c_str(), measure, e.way, input)
                ->UseRealTime()
                ->Unit(benchmark::kMillisecond)
                ->Iterations(1)
                ->Repetitions(e.repetitions)
                ->ReportAggregatesOnly(true);
}

// Keeps the medians as the console shows the runs, for the summary.
class MedianReporter : public benchmark::ConsoleReporter {
public:
    MedianReporter() : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_ColorTabular : OO_Tabular) {}
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median" && !run.error_occurred)
                seconds[run.run_name.function_name] = run.GetAdjustedRealTime() / 1e3;
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> seconds;   // by "expand/ours/mixed", the median wall time
};

void report_summary(const MedianReporter& reporter)
{
    auto rate = [&](const std::string& name) {
        auto it = reporter.seconds.find(name);
        return it == reporter.seconds.end() ? 0.0 : (double)INPUT_SIZE / it->second / 1e6;
    };
    std::printf("\nMedians, in MB/s of the 64 MiB expanded file (wall time):\n");
    std::printf("  %-13s %9s %10s %9s %10s %9s %15s %8s\n", "input", "ours", "libmspack", "msexpand", "ours copy", "cp",
                "ours/libmspack", "ours/cp");
    for (const char* input : INPUTS) {
        std::string in = input;
        double ours = rate("expand/ours/" + in), mspack = rate("expand/libmspack/" + in),
               msexpand = rate("expand/msexpand/" + in), copy = rate("copy/ours/" + in), cp = rate("copy/cp/" + in);
        double bar = in == "compressible" ? 0.9 : 0.5;
        std::printf("  %-13s %9.1f %10.1f %9.2f %10.1f %9.1f %14.1fx %8.2f  (bars: 10x, %.1f) %s\n", input, ours, mspack,
                    msexpand, copy, cp, mspack > 0 ? ours / mspack : 0.0, cp > 0 ? ours / cp : 0.0, bar,
                    mspack > 0 && cp > 0 && ours >= 10 * mspack && ours >= bar * cp ? "met" : "NOT MET");
    }
}

long high_water_kib()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::atol(line.c_str() + 6);
    return -1;
}

// In a process of its own: the peak resident memory that one expansion of
// the mixed input adds to the process, in KiB.
int memory_child(const std::string& which)
{
    long before = high_water_kib();
    bool ok = which == "ours" ? lz_copy(packed_path("mixed"), output_path()) == (LONG)INPUT_SIZE
                              : mspack_expand(packed_path("mixed"), output_path());
    long after = high_water_kib();
    std::printf("%ld\n", after - before);
    return ok ? 0 : 1;
}

// In a small process of its own: runs a program with its standard input and
// output on files ("-" for none) and prints its peak resident memory in KiB.
// A process forked from this one starts with this one's pages, so the same
// measure of a program that does nothing is the floor to take away.
int peak_child(char** argv)
{
    std::string in = argv[0], out = argv[1];
    pid_t child = fork();
    if (child == 0) {
        if (in != "-") freopen(in.c_str(), "rb", stdin);
        if (out != "-") freopen(out.c_str(), "wb", stdout);
        execvp(argv[2], argv + 2);
        _exit(127);
    }
    int status = 0;
    struct rusage usage {};
    if (child < 0 || wait4(child, &status, 0, &usage) < 0) return 1;
    std::printf("%ld\n", usage.ru_maxrss);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? 0 : 1;
}

long read_number(const std::string& path)
{
    std::ifstream in(path);
    long n = -1;
    in >> n;
    return n;
}

void report_memory(const char* self)
{
    std::string out = bench_dir() + "/memory";
    std::printf("\nPeak memory of one expansion of the 64 MiB mixed input:\n");
    for (const char* which : {"ours", "libmspack"}) {
        spawn({self, "--memory-child", which}, "", out);
        std::printf("  %-10s %6ld KiB added to the process's peak resident memory\n", which, read_number(out));
    }
    std::printf("  (ours: of that, %zu KiB are its input and output blocks)\n",
                (platform::szdd::IN_BLOCK + platform::szdd::OUT_BLOCK + platform::szdd::RING_SIZE) / 1024);
    spawn({self, "--peak-of", "-", "-", "true"}, "", out);
    long floor = read_number(out);
    struct Tool {
        const char* name;
        std::vector<std::string> run;
    };
    const Tool tools[] = {
        {"msexpand", {self, "--peak-of", packed_path("mixed"), output_path(), "msexpand"}},
        {"cp", {self, "--peak-of", "-", "-", "cp", plain_path("mixed"), output_path()}},
    };
    for (const Tool& t : tools) {
        spawn(t.run, "", out);
        std::printf("  %-10s %6ld KiB above a process that does nothing\n", t.name, read_number(out) - floor);
    }
}

bool start(std::string& error)
{
    platform::Options options;
    options.root = bench_dir() + "/machine";
    options.ui = "script";
    return platform::start_machine(options, error);
}

}  // namespace

int main(int argc, char** argv)
{
    std::string error;
    if (argc >= 5 && std::string(argv[1]) == "--peak-of") return peak_child(argv + 2);
    if (argc == 3 && std::string(argv[1]) == "--memory-child") {
        if (!start(error)) return 3;
        return memory_child(argv[2]);
    }
    prepare_inputs();
    if (!start(error)) {
        std::fprintf(stderr, "lz_bench: %s\n", error.c_str());
        return 3;
    }
    register_benchmarks();
    benchmark::Initialize(&argc, argv);
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    report_summary(reporter);
    report_memory(argv[0]);
    std::filesystem::remove(output_path());
    return 0;
}
