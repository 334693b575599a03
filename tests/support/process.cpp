#include "support/process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

#include "support/temp_dir.h"

extern char** environ;

Environment environment_with(const Environment& changes)
{
    Environment env;
    for (char** e = environ; *e; ++e) {
        std::string entry = *e;
        size_t equals = entry.find('=');
        if (equals != std::string::npos) env[entry.substr(0, equals)] = entry.substr(equals + 1);
    }
    for (const auto& [name, value] : changes) env[name] = value;
    return env;
}

std::string read_text_file(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

CommandResult run_command(const std::vector<std::string>& arguments, const Environment& changes, int timeout_seconds)
{
    TempDir scratch;
    Process::Start start;
    start.arguments = arguments;
    start.environment = environment_with(changes);
    start.output_path = scratch / "stdout";
    start.error_path = scratch / "stderr";
    Process process(start);
    CommandResult result;
    result.exit_code = process.wait(timeout_seconds);
    result.output = read_text_file(start.output_path);
    result.error = read_text_file(start.error_path);
    return result;
}

Process::Process(const Start& start)
{
    std::vector<std::string> env_lines;
    for (const auto& [name, value] : start.environment) env_lines.push_back(name + "=" + value);
    std::vector<char*> envp;
    for (std::string& line : env_lines) envp.push_back(line.data());
    envp.push_back(nullptr);
    std::vector<std::string> args = start.arguments;
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    std::string out = start.output_path.empty() ? "/dev/null" : start.output_path;
    std::string err = start.error_path.empty() ? "/dev/null" : start.error_path;

    pid_ = fork();
    if (pid_ == 0) {
        int in_fd = open(start.input_path.c_str(), O_RDONLY);
        int out_fd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        int err_fd = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (in_fd < 0 || out_fd < 0 || err_fd < 0) _exit(127);
        if (!start.directory.empty() && chdir(start.directory.c_str()) != 0) _exit(127);
        dup2(in_fd, 0);
        dup2(out_fd, 1);
        dup2(err_fd, 2);
        if (start.descriptor_3 >= 0) dup2(start.descriptor_3, 3);
        // The program leads a process group of its own, so that ending it
        // ends whatever it started too.
        setpgid(0, 0);
        if (args[0].find('/') != std::string::npos)
            execve(argv[0], argv.data(), envp.data());
        else
            execvpe(argv[0], argv.data(), envp.data());
        _exit(127);
    }
}

Process::~Process()
{
    if (running()) {
        kill(-pid_, SIGKILL);
        kill(pid_, SIGKILL);
        waitpid(pid_, &status_, 0);
    }
}

bool Process::running()
{
    if (pid_ <= 0 || status_ >= 0) return false;
    int status = 0;
    pid_t done = waitpid(pid_, &status, WNOHANG);
    if (done == pid_) {
        status_ = status;
        return false;
    }
    return done == 0;
}

int Process::wait(int timeout_seconds)
{
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeout_seconds);
    while (running()) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(-pid_, SIGKILL);
            kill(pid_, SIGKILL);
            waitpid(pid_, &status_, 0);
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    if (status_ < 0) return -1;
    if (WIFEXITED(status_)) return WEXITSTATUS(status_);
    if (WIFSIGNALED(status_)) return 128 + WTERMSIG(status_);
    return -1;
}
