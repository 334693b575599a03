// An X server of the test's own (Xvfb), started for the test and ended with
// it, and the tools a person's hands stand in for: xdotool moves the pointer,
// clicks and types; xwininfo reads the window tree back from the server;
// ImageMagick takes screenshots.
#ifndef QUORIX_TESTS_SUPPORT_X_SERVER_H
#define QUORIX_TESTS_SUPPORT_X_SERVER_H

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "support/process.h"
#include "support/temp_dir.h"

// A window as the X server has it.
struct XWindow {
    std::string id;          // "0x200006"
    std::string name;        // WM_NAME
    std::string class_name;  // the instance part of WM_CLASS
    int x = 0, y = 0;        // relative to the parent
    int width = 0, height = 0;
    int root_x = 0, root_y = 0;
    int depth = 0;           // below the window the tree was read from: 1 for its children
};

class XServer {
public:
    XServer(int width = 1024, int height = 768);
    ~XServer();
    XServer(const XServer&) = delete;
    XServer& operator=(const XServer&) = delete;

    // Empty when the server runs; else why not.
    const std::string& failure() const { return failure_; }
    const std::string& display() const { return display_; }
    int width() const { return width_; }
    int height() const { return height_; }

    // Runs an X client on this display.
    CommandResult run(std::vector<std::string> arguments) const;

    // The id of a visible top-level window of this WM_CLASS instance, waiting
    // for one to appear; empty if none does in time.
    std::string wait_for_window(const std::string& class_name, int timeout_ms = 15000) const;
    // Waits until no visible window of this class is left.
    bool wait_until_gone(const std::string& class_name, int timeout_ms = 15000) const;
    // The window itself and all its descendants, from the server.
    std::vector<XWindow> tree(const std::string& id) const;
    // The first window in that tree whose name begins with `prefix`.
    std::optional<XWindow> find(const std::string& id, const std::string& prefix) const;

    // A press and release of the left button at a position in a window.
    void click(const std::string& id, int x, int y) const;
    void click_centre(const XWindow& w) const { click(w.id, w.width / 2, w.height / 2); }
    // Gives the window the keyboard, then presses keys ("Return", "shift+Home").
    void key(const std::string& id, const std::string& keys) const;
    // Gives the window the keyboard, then types the text.
    void type(const std::string& id, const std::string& text) const;
    // A press at one place, a drag to another, a release, in root coordinates.
    void drag(int from_x, int from_y, int to_x, int to_y) const;
    // The whole screen as a PNG file; false with the reason on failure.
    bool screenshot(const std::string& path, std::string& why) const;

private:
    TempDir scratch_;
    std::unique_ptr<Process> server_;
    std::string display_;
    std::string failure_;
    int width_, height_;
};

#endif
