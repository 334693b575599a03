#include "support/tmux.h"

#include <chrono>
#include <sstream>
#include <thread>

Terminal::Terminal(const std::string& command, const Environment& environment, int columns, int rows)
{
    socket_ = scratch_ / "tmux.socket";
    std::vector<std::string> arguments = {"new-session", "-d", "-x", std::to_string(columns), "-y",
                                          std::to_string(rows)};
    for (const auto& [name, value] : environment) {
        arguments.push_back("-e");
        arguments.push_back(name + "=" + value);
    }
    // The pane stays after the command ends, so that what it left on the
    // screen can be read.
    arguments.push_back(command + "; echo \"[exit $?]\"; sleep 600");
    CommandResult r = tmux(arguments);
    if (r.exit_code != 0) failure_ = "tmux did not start (is the tmux package installed?): " + r.error;
}

Terminal::~Terminal()
{
    tmux({"kill-server"});
}

CommandResult Terminal::tmux(std::vector<std::string> arguments) const
{
    arguments.insert(arguments.begin(), {"tmux", "-S", socket_, "-f", "/dev/null"});
    // A terminal that speaks UTF-8, whatever the test's own locale.
    return run_command(arguments, {{"LANG", "C.UTF-8"}, {"TERM", "xterm-256color"}});
}

void Terminal::keys(const std::vector<std::string>& names) const
{
    for (const std::string& name : names) {
        tmux({"send-keys", "-t", "0", name});
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
    }
}

void Terminal::type(const std::string& text) const
{
    tmux({"send-keys", "-t", "0", "-l", text});
}

std::vector<std::string> Terminal::screen() const
{
    std::vector<std::string> lines;
    std::istringstream in(tmux({"capture-pane", "-p", "-t", "0"}).output);
    std::string line;
    while (std::getline(in, line)) {
        line.erase(line.find_last_not_of(' ') + 1);
        lines.push_back(line);
    }
    return lines;
}

std::string Terminal::screen_text() const
{
    std::string text;
    for (const std::string& line : screen()) text += line + "\n";
    return text;
}

void Terminal::cursor(int& column, int& row) const
{
    std::string where = tmux({"display-message", "-p", "-t", "0", "#{cursor_x} #{cursor_y}"}).output;
    std::istringstream in(where);
    in >> column >> row;
}

bool Terminal::wait_for(const std::string& text, int timeout_ms) const
{
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    do {
        if (screen_text().find(text) != std::string::npos) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    } while (std::chrono::steady_clock::now() < deadline);
    return false;
}
