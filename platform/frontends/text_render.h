// The program's windows and message boxes drawn as text: one character cell
// per average character width and line height, so that controls keep their
// places relative to each other. Both ways of the text front-end use it: the
// piped one prints the drawings, the terminal one composes them on the screen.
#ifndef QUORIX_PLATFORM_FRONTENDS_TEXT_RENDER_H
#define QUORIX_PLATFORM_FRONTENDS_TEXT_RENDER_H

#include <cstdint>
#include <string>
#include <vector>

#include "frontends/frontend.h"
#include "win32.h"

namespace platform {

struct Window;

// How a cell is shown on a terminal; printed plainly, all look alike.
enum class Style : uint8_t { plain, caption, inactive_caption, focus, selection, field, hint };

// A place on a drawing that the user can click.
struct Hotspot {
    enum class Kind { control, box_button, close };
    Kind kind;
    int column, row, width;   // on the drawing
    HWND window = nullptr;    // control: the control; close: the top-level window
    int button = 0;           // box_button: its index
};

class Canvas {
public:
    Canvas(int columns, int rows);

    int columns() const { return columns_; }
    int rows() const { return rows_; }

    // Writes Latin-1 text from a cell on, at most `limit` characters.
    void put(int column, int row, const std::string& text, Style style = Style::plain, int limit = 1 << 30);
    void style(int column, int row, int width, Style s);
    // Draws another canvas over this one with its top left corner here.
    void draw(const Canvas& other, int column, int row);

    // The rows as Latin-1 text, blanks at their ends kept.
    std::vector<std::string> plain_lines() const;
    // One row as UTF-8 with the terminal's codes for the styles.
    std::string terminal_line(int row) const;

    std::vector<Hotspot> hotspots;   // in this canvas's cells
    int caret_column = -1, caret_row = -1;   // where a terminal's cursor stands, -1 for hidden

private:
    int columns_, rows_;
    std::vector<char> text_;
    std::vector<Style> styles_;
};

// A top-level window with its frame, title and controls. With `live` it marks
// the focus, the selection and the caret and offers a close hotspot, for a
// terminal the user works in.
Canvas render_window(const Window& top, const FontMetrics& font, bool live);

// A message box: the caption, the text's lines (wrapped at blanks so that the
// box is at most `wrap` columns wide when that is above 0, never cut), and
// the buttons, the one with the focus marked when `live`.
Canvas render_box(const std::string& text, const std::string& caption, UINT type, int focus, bool live, int wrap);

// The buttons of a box, in order: their captions and answers.
struct BoxButton {
    const char* caption;
    int result;
};
std::vector<BoxButton> box_buttons(UINT type);

}  // namespace platform

#endif
