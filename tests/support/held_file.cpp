#include "support/held_file.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <thread>

#include "support/scenario.h"

HeldFile::HeldFile(const std::string& path) : path_(path)
{
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
    if (mkfifo(path.c_str(), 0644) != 0) failure_ = "cannot make a pipe at " + path + ": " + std::strerror(errno);
}

bool HeldFile::wait_until_reached(const std::string& trace_path, size_t copies_before, int timeout_ms) const
{
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    while (std::chrono::steady_clock::now() < deadline) {
        size_t copies = 0;
        bool updated = false;
        for (const nlohmann::json& e : read_trace(trace_path)) {
            if (e["event"] == "copy") {
                ++copies;
                updated = false;
            } else if (e["event"] == "update") {
                updated = true;
            }
        }
        if (copies == copies_before && updated) {
            // The trace line comes as the update begins; the painting and
            // the opening of the source follow at once.
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            return true;
        }
        if (copies > copies_before) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

std::string HeldFile::release(int timeout_ms) const
{
    // Opened without waiting, so that a setup that never comes cannot hang
    // the test; the setup's open completes as soon as this one is made.
    int fd = open(path_.c_str(), O_RDONLY | O_NONBLOCK);
    if (fd < 0) return "";
    std::string bytes;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    while (std::chrono::steady_clock::now() < deadline) {
        struct pollfd p {fd, POLLIN, 0};
        poll(&p, 1, 100);
        char buffer[65536];
        ssize_t n = read(fd, buffer, sizeof buffer);
        if (n > 0) {
            bytes.append(buffer, (size_t)n);
        } else if (n == 0 && !bytes.empty()) {
            break;   // the setup has closed the file
        } else if (n == 0) {
            // No writer yet: the setup is on its way to its open.
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    close(fd);
    return bytes;
}
