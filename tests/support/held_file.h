// A file the setup is to write, put there beforehand as a pipe. The setup's
// own open of it waits until someone reads the pipe, so a test sees the
// program in the middle of its copy, with its copy window up, as long as it
// likes; then it reads what the setup writes as it is written. Nothing in the
// program is changed for it.
#ifndef QUORIX_TESTS_SUPPORT_HELD_FILE_H
#define QUORIX_TESTS_SUPPORT_HELD_FILE_H

#include <string>

class HeldFile {
public:
    // Makes the folders up to it and the pipe in its place.
    explicit HeldFile(const std::string& path);
    const std::string& failure() const { return failure_; }

    // Waits until the run's trace shows `copies_before` files copied and the
    // copy window updated for the next one, which is this one: the setup is
    // then about to open it, or waiting to.
    bool wait_until_reached(const std::string& trace_path, size_t copies_before, int timeout_ms = 30000) const;
    // Reads what the setup writes into it, until it closes it.
    std::string release(int timeout_ms = 30000) const;

private:
    std::string path_;
    std::string failure_;
};

#endif
