#include "support/scenario.h"

#include <cstdlib>
#include <fstream>

#include "support/process.h"

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
    std::string directory = request.directory.empty() ? run + "/source" : request.directory;
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
    std::ifstream trace(run + "/trace.jsonl");
    std::string line;
    while (std::getline(trace, line))
        if (!line.empty()) result.trace.push_back(nlohmann::json::parse(line));
    return result;
}
