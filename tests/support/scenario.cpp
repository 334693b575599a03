#include "support/scenario.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

namespace {

std::string read_file(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

}  // namespace

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

    std::map<std::string, std::string> env;
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

    std::vector<std::string> env_lines;
    for (const auto& [name, value] : env) env_lines.push_back(name + "=" + value);
    std::vector<char*> envp;
    for (std::string& line : env_lines) envp.push_back(line.data());
    envp.push_back(nullptr);
    std::vector<std::string> args{request.program};
    args.insert(args.end(), request.arguments.begin(), request.arguments.end());
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);

    {
        std::ofstream in(run + "/stdin", std::ios::binary);
        in << request.standard_input;
    }
    std::string out_path = run + "/stdout", err_path = run + "/stderr";
    pid_t child = fork();
    if (child == 0) {
        int in = open((run + "/stdin").c_str(), O_RDONLY);
        int out = open(out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        int err = open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (in < 0 || out < 0 || err < 0 || chdir(directory.c_str()) != 0) _exit(127);
        dup2(in, 0);
        dup2(out, 1);
        dup2(err, 2);
        execve(argv[0], argv.data(), envp.data());
        _exit(127);
    }
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(request.timeout_seconds);
    int status = 0;
    for (;;) {
        pid_t done = waitpid(child, &status, WNOHANG);
        if (done == child) break;
        if (std::chrono::steady_clock::now() > deadline) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            status = -1;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    result.exit_code = status >= 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.standard_output = read_file(out_path);
    result.standard_error = read_file(err_path);
    std::ifstream trace(run + "/trace.jsonl");
    std::string line;
    while (std::getline(trace, line))
        if (!line.empty()) result.trace.push_back(nlohmann::json::parse(line));
    return result;
}
