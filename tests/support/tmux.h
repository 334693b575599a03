// A terminal of the test's own: a tmux server on a socket of its own, with
// one window of a fixed size running a command. Keys are sent as a person
// types them, and the screen is read back as tmux renders it.
#ifndef QUORIX_TESTS_SUPPORT_TMUX_H
#define QUORIX_TESTS_SUPPORT_TMUX_H

#include <string>
#include <vector>

#include "support/process.h"
#include "support/temp_dir.h"

class Terminal {
public:
    // Starts `command` (a shell command line) with these variables, in a
    // terminal of that many columns and rows.
    Terminal(const std::string& command, const Environment& environment, int columns = 100, int rows = 32);
    ~Terminal();
    Terminal(const Terminal&) = delete;
    Terminal& operator=(const Terminal&) = delete;

    const std::string& failure() const { return failure_; }

    // Keys by tmux's names ("Enter", "Escape", "M-e", "BSpace", "Left").
    void keys(const std::vector<std::string>& names) const;
    // Text typed literally.
    void type(const std::string& text) const;
    // The screen as it stands, one line a row, blanks at the ends removed.
    std::vector<std::string> screen() const;
    std::string screen_text() const;
    // The cursor's cell, counted from 0.
    void cursor(int& column, int& row) const;
    // Waits until the screen shows the text; false if it does not in time.
    bool wait_for(const std::string& text, int timeout_ms = 10000) const;

private:
    CommandResult tmux(std::vector<std::string> arguments) const;

    TempDir scratch_;
    std::string socket_;
    std::string failure_;
};

#endif
