#include "support/scenario.h"

#include <mspack.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "support/process.h"

const std::string& demo_source_directory()
{
    static TempDir folder;
    static const std::string source = [] {
        std::string dir = folder / "demo-source";
        std::string command = std::string("'") + QUORIX_BIN_DIR + "/quorix-demo' '" + dir + "' >/dev/null";
        if (std::system(command.c_str()) != 0) {
            std::fprintf(stderr, "cannot make the demo distribution with %s\n", command.c_str());
            std::abort();
        }
        return dir;
    }();
    return source;
}

std::vector<nlohmann::json> RunResult::events(const std::string& name) const
{
    std::vector<nlohmann::json> result;
    for (const nlohmann::json& e : trace)
        if (e["event"] == name) result.push_back(e);
    return result;
}

RunResult run_setup(const RunRequest& request, TempDir& scratch)
{
    static int counter = 0;
    std::string run = scratch / ("run" + std::to_string(++counter));
    std::filesystem::create_directories(run);
    RunResult result;
    result.root = request.root.empty() ? run + "/root" : request.root;
    std::string directory = !request.directory.empty() ? request.directory
                            : request.demo_source   ? demo_source_directory()
                                                    : run + "/source";
    std::filesystem::create_directories(directory);

    Environment env;
    if (const char* path = std::getenv("PATH")) env["PATH"] = path;
    env["HOME"] = run;
    env["SETUP_ROOT"] = result.root;
    env["SETUP_TRACE"] = run + "/trace.jsonl";
    if (request.answers) {
        std::ofstream answers(run + "/answers");
        for (const std::string& line : *request.answers) answers << line << "\n";
        env["SETUP_SCRIPT"] = run + "/answers";
    }
    for (const auto& [name, value] : request.environment) env[name] = value;

    {
        std::ofstream in(run + "/stdin", std::ios::binary);
        in << request.standard_input;
    }
    Process::Start start;
    start.arguments = {request.program};
    start.arguments.insert(start.arguments.end(), request.arguments.begin(), request.arguments.end());
    start.environment = env;
    start.directory = directory;
    start.input_path = run + "/stdin";
    start.output_path = run + "/stdout";
    start.error_path = run + "/stderr";
    Process process(start);
    int code = process.wait(request.timeout_seconds);
    // A run that a signal ended did not exit.
    result.exit_code = code >= 128 ? -1 : code;
    result.standard_output = read_text_file(start.output_path);
    result.standard_error = read_text_file(start.error_path);
    result.trace = read_trace(run + "/trace.jsonl");
    return result;
}

std::vector<nlohmann::json> read_trace(const std::string& path)
{
    std::vector<nlohmann::json> events;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line))
        if (!line.empty()) events.push_back(nlohmann::json::parse(line));
    return events;
}

std::string machine_report(const std::string& root, const std::string& what)
{
    Process::Start start;
    start.arguments = {std::string(QUORIX_BIN_DIR) + "/quorix-machine", what};
    start.environment = {{"SETUP_ROOT", root}, {"PATH", std::getenv("PATH") ? std::getenv("PATH") : "/usr/bin:/bin"}};
    TempDir scratch;
    start.output_path = scratch / "out";
    start.error_path = scratch / "err";
    Process process(start);
    int code = process.wait(30);
    std::string out = read_text_file(start.output_path);
    if (code != 0) return "quorix-machine " + what + " failed: " + out + read_text_file(start.error_path);
    return out;
}

std::string check_group_and_key(const std::string& root, const std::string& directory)
{
    std::string problems;
    std::string groups = machine_report(root, "groups");
    if (groups.find("[QRXDVF] " + directory + "\\quorix\n") == std::string::npos)
        problems += "no group QRXDVF with the group file " + directory + "\\quorix\n";
    size_t items = 0;
    for (size_t at = groups.find("\t" + directory + "\\win\\"); at != std::string::npos;
         at = groups.find("\t" + directory + "\\win\\", at + 1))
        ++items;
    if (items != 9) problems += std::to_string(items) + " items start their command in " + directory + "\\win, not 9\n";
    std::string reg = machine_report(root, "reg");
    std::string path;
    for (char c : directory) path += c == '\\' ? std::string("\\\\") : std::string(1, c);
    if (reg.find("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Quorix]\n\"Path\"=\"" + path + "\"\n\"Version\"=\"8.2\"\n") ==
        std::string::npos)
        problems += "the install key does not hold Path " + directory + " and Version 8.2\n";
    if (!problems.empty()) problems += groups + reg;
    return problems;
}

const std::string& demo_original(const std::string& source)
{
    static std::map<std::string, std::string> originals;
    static TempDir scratch;
    auto known = originals.find(source);
    if (known != originals.end()) return known->second;
    std::string path = demo_source_directory() + "/" + source;
    std::string bytes = read_text_file(path);
    if (bytes.rfind("SZDD", 0) == 0) {
        std::string expanded = scratch / "expanded";
        msszdd_decompressor* decompressor = mspack_create_szdd_decompressor(nullptr);
        int status = decompressor->decompress(decompressor, path.c_str(), expanded.c_str());
        mspack_destroy_szdd_decompressor(decompressor);
        bytes = status == MSPACK_ERR_OK ? read_text_file(expanded) : "libmspack cannot expand " + source;
    }
    return originals[source] = bytes;
}

std::string check_installed_files(const RunResult& run, const std::map<std::string, std::string>& received)
{
    std::string problems;
    std::vector<nlohmann::json> copies = run.events("copy");
    if (copies.size() != 93) problems += std::to_string(copies.size()) + " files were copied, not 93\n";
    for (const nlohmann::json& copy : copies) {
        std::string source = copy["source"], dest = copy["dest"];
        if (copy["result"].get<long long>() < 0) problems += dest + ": the copy failed\n";
        std::string bytes;
        if (auto r = received.find(dest); r != received.end()) {
            bytes = r->second;
        } else {
            // c:\dir\file is drive_c/dir/file in the machine folder.
            std::string host = run.root + "/drive_" + char(std::tolower((unsigned char)dest[0])) + dest.substr(2);
            std::replace(host.begin(), host.end(), '\\', '/');
            bytes = read_text_file(host);
        }
        if (bytes.empty() || bytes != demo_original(source)) problems += dest + " does not hold " + source + "\n";
    }
    return problems;
}
