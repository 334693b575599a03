#include "frontends/record.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "frontends/actions.h"
#include "frontends/response.h"
#include "machine.h"
#include "user/window.h"

namespace platform::record {

namespace {

struct Recorder {
    std::FILE* file = nullptr;
    HWND editing = nullptr;         // the field being edited, not yet written as "type"
    std::string text_before;        // that field's text when the editing began
};

Recorder& recorder()
{
    static Recorder r;
    return r;
}

void write_line(const std::string& line)
{
    Recorder& r = recorder();
    if (!r.file) return;
    std::fputs(line.c_str(), r.file);
    std::fputc('\n', r.file);
    // Each line goes out at once, so a run that is killed keeps what it did.
    std::fflush(r.file);
}

void write_action(Verb verb, const std::string& argument = "", UINT key = 0)
{
    Action action;
    action.verb = verb;
    action.argument = argument;
    action.key = key;
    write_line(format_action(action));
}

// The keys with which a user edits the text of a field.
bool is_editing_key(UINT key)
{
    switch (key) {
    case VK_PACKET:
    case VK_BACK:
    case VK_DELETE:
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
    case VK_HOME:
    case VK_END:
    case VK_SHIFT:
    case VK_SPACE: return true;
    }
    return false;
}

// Writes the field the user was editing as the text it holds now.
void finish_editing()
{
    Recorder& r = recorder();
    HWND field = r.editing;
    r.editing = nullptr;
    const Window* w = find_window(field);
    if (!w || w->text == r.text_before) return;
    size_t end = w->text.find_first_of("\r\n");
    if (end != std::string::npos) {
        // A response-file line cannot hold a line break; the text up to it is
        // what can be replayed.
        write_line("# the field's text went on past a line break, which a response file cannot hold");
    }
    write_action(Verb::type, w->text.substr(0, end));
}

void begin_editing(const Window& field)
{
    Recorder& r = recorder();
    if (r.editing == field.handle) return;
    finish_editing();
    r.editing = field.handle;
    r.text_before = field.text;
}

// True when the field is the one that "click edit" reaches: the first visible
// edit field of the window in front.
bool is_first_field(const Window& field)
{
    const Window* top = find_window(top_level_of(field.handle));
    if (!top) return false;
    for (HWND child : top->children) {
        const Window* c = find_window(child);
        if (c && c->visible && c->kind == ControlKind::edit) return c->handle == field.handle;
    }
    return false;
}

void clicked(const Window& w)
{
    switch (w.kind) {
    case ControlKind::edit:
        if (is_first_field(w))
            write_action(Verb::click, "edit");
        else
            write_line("# a click into a field other than the first, which a response file cannot name");
        break;
    case ControlKind::button: write_action(Verb::click, shown_caption(w.text)); break;
    default:
        // A click on a window's background or a label only activates the
        // window, which the next action does too.
        break;
    }
}

void key_pressed(const InputEvent& event, const Window& target)
{
    UINT key = UINT(event.wparam & 0xFF);
    if (event.alt) {
        if (key == VK_F4) write_action(Verb::close);
        return;
    }
    if (is_editing_key(key)) {
        if (target.kind == ControlKind::edit) {
            begin_editing(target);
        } else if (key == VK_SPACE && target.kind == ControlKind::button) {
            // Space on a focused button presses it, as a click does.
            finish_editing();
            write_action(Verb::click, shown_caption(target.text));
        }
        return;
    }
    if (key == VK_RETURN || key == VK_TAB || key == VK_ESCAPE) {
        finish_editing();
        write_action(Verb::key, "", key);
    }
}

}  // namespace

bool start(const std::string& path, const Frontend& frontend, std::string& error)
{
    stop();
    std::FILE* file = std::fopen(path.c_str(), "w");
    if (!file) {
        error = "SETUP_RECORD: cannot write " + path + ": " + std::strerror(errno);
        return false;
    }
    recorder().file = file;
    FontMetrics font = frontend.font();
    write_line(std::string("# The user's actions in a run of quorix-setup with the ") + frontend.name() +
               " front-end, recorded as a response file.");
    write_line("# Replay it with SETUP_SCRIPT=" + path + "; SETUP_FONT=" + std::to_string(font.average_width) + "x" +
               std::to_string(font.height + font.external_leading) + " and SETUP_SCREEN=" +
               std::to_string(frontend.screen_width()) + "x" + std::to_string(frontend.screen_height()) +
               " lay the windows out as they were.");
    return true;
}

void stop()
{
    Recorder& r = recorder();
    if (!r.file) return;
    finish_editing();
    std::fclose(r.file);
    r = Recorder{};
}

void input_taken(const InputEvent& event, const MSG& message)
{
    if (!recorder().file) return;
    const Window* target = find_window(message.hwnd);
    switch (event.kind) {
    case InputKind::button_down:
        // Clicking the field being edited only moves the caret; clicking
        // anywhere else ends the editing.
        if (!target || recorder().editing == target->handle) return;
        finish_editing();
        clicked(*target);
        return;
    case InputKind::key_down:
        if (target) key_pressed(event, *target);
        return;
    case InputKind::system_command:
        if ((event.wparam & 0xFFF0) == SC_CLOSE) {
            finish_editing();
            write_action(Verb::close);
        }
        return;
    case InputKind::button_up:
    case InputKind::key_up: return;
    }
}

void box_answered(UINT buttons, int result)
{
    (void)buttons;
    if (!recorder().file) return;
    finish_editing();
    write_action(result == IDCANCEL ? Verb::cancel : Verb::ok);
}

}  // namespace platform::record
