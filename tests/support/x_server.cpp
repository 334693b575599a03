#include "support/x_server.h"

#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <regex>
#include <sstream>
#include <thread>

namespace {

// How often a test looks again for a window it waits for.
constexpr auto POLL = std::chrono::milliseconds(50);

std::string hex_id(const std::string& decimal)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "0x%lx", std::stoul(decimal, nullptr, 0));
    return buffer;
}

std::vector<std::string> lines_of(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line))
        if (!line.empty()) lines.push_back(line);
    return lines;
}

int field(const std::string& text, const std::string& label)
{
    size_t at = text.find(label);
    return at == std::string::npos ? 0 : std::stoi(text.substr(at + label.size()));
}

}  // namespace

XServer::XServer(int width, int height) : width_(width), height_(height)
{
    int pipe_fds[2];
    if (pipe(pipe_fds) != 0) {
        failure_ = "no pipe for Xvfb";
        return;
    }
    // Xvfb picks a free display itself and writes its number on descriptor 3
    // once it accepts clients. -noreset keeps it up when its last client
    // leaves, so that one server serves a test's several runs.
    Process::Start start;
    start.arguments = {"Xvfb", "-displayfd", "3", "-screen", "0",
                       std::to_string(width) + "x" + std::to_string(height) + "x24", "-noreset", "-nolisten", "tcp"};
    start.environment = environment_with({});
    start.error_path = scratch_ / "xvfb.log";
    start.descriptor_3 = pipe_fds[1];
    server_ = std::make_unique<Process>(start);
    close(pipe_fds[1]);
    std::string number;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (number.find('\n') == std::string::npos && std::chrono::steady_clock::now() < deadline) {
        struct pollfd fd {pipe_fds[0], POLLIN, 0};
        if (poll(&fd, 1, 100) <= 0) continue;
        char c;
        if (read(pipe_fds[0], &c, 1) != 1) break;
        number += c;
    }
    close(pipe_fds[0]);
    if (number.empty() || number.back() != '\n') {
        failure_ = "Xvfb did not start (is the xvfb package installed?): " + read_text_file(scratch_ / "xvfb.log");
        return;
    }
    number.pop_back();
    display_ = ":" + number;
}

XServer::~XServer()
{
    server_.reset();
}

CommandResult XServer::run(std::vector<std::string> arguments) const
{
    return run_command(arguments, {{"DISPLAY", display_}});
}

std::string XServer::wait_for_window(const std::string& class_name, int timeout_ms) const
{
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    do {
        CommandResult r = run({"xdotool", "search", "--onlyvisible", "--classname", "^" + class_name + "$"});
        std::vector<std::string> ids = lines_of(r.output);
        if (r.exit_code == 0 && !ids.empty()) return hex_id(ids.front());
        std::this_thread::sleep_for(POLL);
    } while (std::chrono::steady_clock::now() < deadline);
    return "";
}

bool XServer::wait_until_gone(const std::string& class_name, int timeout_ms) const
{
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    do {
        CommandResult r = run({"xdotool", "search", "--onlyvisible", "--classname", "^" + class_name + "$"});
        if (lines_of(r.output).empty()) return true;
        std::this_thread::sleep_for(POLL);
    } while (std::chrono::steady_clock::now() < deadline);
    return false;
}

std::vector<XWindow> XServer::tree(const std::string& id) const
{
    std::vector<XWindow> windows;
    CommandResult self = run({"xwininfo", "-id", id});
    if (self.exit_code != 0) return windows;
    XWindow top;
    top.id = id;
    std::smatch m;
    if (std::regex_search(self.output, m, std::regex("Window id: \\S+ \"(.*)\""))) top.name = m[1];
    top.root_x = field(self.output, "Absolute upper-left X:");
    top.root_y = field(self.output, "Absolute upper-left Y:");
    top.x = field(self.output, "Relative upper-left X:");
    top.y = field(self.output, "Relative upper-left Y:");
    top.width = field(self.output, "Width:");
    top.height = field(self.output, "Height:");
    windows.push_back(top);

    CommandResult r = run({"xwininfo", "-tree", "-id", id});
    // "     0x20001e \"button 65542\": ()  70x29+70+119  +436+426", indented
    // by three blanks a level below the window asked about.
    const std::regex line("^( *)(0x[0-9a-f]+) (?:\"(.*)\"|\\(has no name\\)): \\((?:\"([^\"]*)\"[^)]*)?\\) +"
                          "(\\d+)x(\\d+)\\+(-?\\d+)\\+(-?\\d+) +\\+(-?\\d+)\\+(-?\\d+)");
    for (const std::string& text : lines_of(r.output)) {
        if (!std::regex_search(text, m, line)) continue;
        XWindow w;
        w.depth = ((int)m[1].length() - 5) / 3 + 1;
        w.id = m[2];
        w.name = m[3];
        w.class_name = m[4];
        w.width = std::stoi(m[5]);
        w.height = std::stoi(m[6]);
        w.x = std::stoi(m[7]);
        w.y = std::stoi(m[8]);
        w.root_x = std::stoi(m[9]);
        w.root_y = std::stoi(m[10]);
        windows.push_back(w);
    }
    return windows;
}

std::optional<XWindow> XServer::find(const std::string& id, const std::string& prefix) const
{
    for (const XWindow& w : tree(id))
        if (w.name.rfind(prefix, 0) == 0) return w;
    return std::nullopt;
}

void XServer::click(const std::string& id, int x, int y) const
{
    // No --sync: it waits for the pointer to move, and it does not move when
    // it is there already (the same button in the same place as last run).
    run({"xdotool", "mousemove", "--window", id, std::to_string(x), std::to_string(y), "click", "1"});
}

void XServer::key(const std::string& id, const std::string& keys) const
{
    // Without a window manager nothing gives a window the keyboard but this:
    // keys would go to whatever is under the pointer.
    run({"xdotool", "windowfocus", "--sync", id});
    run({"xdotool", "key", "--delay", "30", keys});
}

void XServer::type(const std::string& id, const std::string& text) const
{
    run({"xdotool", "windowfocus", "--sync", id});
    run({"xdotool", "type", "--delay", "30", text});
}

void XServer::drag(int from_x, int from_y, int to_x, int to_y) const
{
    run({"xdotool", "mousemove", std::to_string(from_x), std::to_string(from_y), "mousedown", "1"});
    run({"xdotool", "mousemove", std::to_string((from_x + to_x) / 2), std::to_string((from_y + to_y) / 2)});
    run({"xdotool", "mousemove", std::to_string(to_x), std::to_string(to_y), "mouseup", "1"});
}

bool XServer::screenshot(const std::string& path, std::string& why) const
{
    CommandResult r = run({"import", "-window", "root", path});
    if (r.exit_code != 0) why = "import failed: " + r.error;
    return r.exit_code == 0;
}
