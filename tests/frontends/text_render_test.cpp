// The windows and boxes as the text front-end draws them: controls in the
// cells of their pixel positions, a field's caret, boxes wrapped without loss.
#include <sstream>

#include "frontends/text_render.h"
#include "setup/setup.h"
#include "support/machine_fixture.h"
#include "ui/instdir.h"
#include "ui/layout.h"
#include "user/window.h"

namespace {

class TextRenderTest : public MachineTest {
protected:
    // The directory dialog's window and controls as the program makes them,
    // with the script front-end's 7 x 16 font.
    HWND make_dialog()
    {
        register_test_class("instdir", instdir_proc);
        next_control_id = 0;
        HWND window = create_instdir_window(170, 140, 300, 200, "QUORIX Setup");
        create_label(window, 3 * char_width, 2 * line_height, "Installation directory:");
        edit = create_edit(window, 3 * char_width, 4 * line_height, 300 - 6 * char_width,
                           one_and_a_half(line_height), "c:\\quorix");
        create_default_button(window, 10 * char_width, 7 * line_height, 10 * char_width, (7 * line_height) / 4, "OK");
        create_button(window, 300 - 20 * char_width, 7 * line_height, 10 * char_width, (7 * line_height) / 4,
                      "Cancel");
        return window;
    }

    platform::Canvas render(HWND window, bool live)
    {
        return platform::render_window(*platform::find_window(window), platform::frontend().font(), live);
    }

    HWND edit = nullptr;
};

TEST_F(TextRenderTest, ControlsSitInTheCellsOfTheirPixelPositions)
{
    std::vector<std::string> lines = render(make_dialog(), false).plain_lines();
    // One cell is 7 x 16 pixels; the frame adds a column and a row.
    struct Case {
        const char* name;
        int row, column;
        const char* text;
    };
    const Case cases[] = {
        {"title", 0, 0, "+-- QUORIX Setup -"},
        {"label at (21, 32)", 1 + 2, 1 + 3, "Installation directory:"},
        {"field at (21, 64), 36 cells wide", 1 + 4, 1 + 3, "[c:\\quorix                         ]"},
        {"OK at (70, 112), centred in its 10 cells", 1 + 7, 1 + 10 + 2, "[<OK>]"},
        {"Cancel at (160, 112)", 1 + 7, 1 + 22, "[ Cancel ]"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_LT(c.row, (int)lines.size());
        EXPECT_EQ(lines[c.row].substr(c.column, std::string(c.text).size()), c.text) << lines[c.row];
    }
    // 292 x 174 client pixels are 41 x 10 cells inside the frame.
    EXPECT_EQ(lines.size(), 12u);
    EXPECT_EQ(lines[0].size(), 43u);
}

TEST_F(TextRenderTest, AFocusedFieldShowsItsCaretAndScrollsToKeepItInView)
{
    HWND window = make_dialog();
    SetFocus(edit);
    struct Case {
        const char* name;
        std::string text;
        int caret;
        std::string shown;   // inside the brackets, up to the caret
        int caret_column;    // counted from the field's first text cell
    };
    const std::string long_text = "c:\\" + std::string(40, 'a') + "\\end";
    const Case cases[] = {
        {"caret at the end of a short text", "c:\\quorix", 9, "c:\\quorix", 9},
        {"caret at the start", "c:\\quorix", 0, "", 0},
        {"a long text scrolled to its end", long_text, (int)long_text.size(), std::string(29, 'a') + "\\end", 33},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetWindowTextA(edit, c.text.c_str());
        SendMessageA(edit, EM_SETSEL, c.caret, c.caret);
        platform::Canvas canvas = render(window, true);
        std::string row = canvas.plain_lines()[1 + 4];
        int first = 1 + 3 + 1;
        EXPECT_EQ(canvas.caret_row, 1 + 4);
        EXPECT_EQ(canvas.caret_column, first + c.caret_column);
        EXPECT_EQ(row.substr(first, c.shown.size()), c.shown) << row;
    }
}

TEST_F(TextRenderTest, ALongBoxTextIsWrappedAndNoWordIsLost)
{
    std::string directory = "c:\\" + std::string(60, 'q') + "\\" + std::string(67, 'r');
    ASSERT_EQ(directory.size(), 131u);
    std::string text = "The installation of QUORIX is ready.\n \nAdd the command SET QUORIX=" + directory +
                       "\n to the file AUTOEXEC.BAT\n \nAdd the directory  " + directory +
                       "\\win  to the PATH variable.";
    platform::Canvas box = platform::render_box(text, "QUORIX Setup", MB_OK, 0, true, 60);
    std::vector<std::string> lines = box.plain_lines();
    std::string shown;
    for (const std::string& line : lines) {
        EXPECT_LE(line.size(), 60u) << line;
        if (line.size() > 2 && line[0] == '|') shown += line.substr(1, line.size() - 2) + " ";
    }
    auto words = [](const std::string& s) {
        std::istringstream in(s);
        std::string all, word;
        while (in >> word) all += word;
        return all;
    };
    EXPECT_EQ(words(shown), words(text) + "[OK]");
}

}  // namespace
