// Keys pressed in a program window, as the machine's keyboard input: named
// keys become their virtual keys, typed text becomes characters of the ANSI
// code page, and Alt with a key is a system key.
#include <FL/Fl.H>

#include "frontends/gui/gui.h"
#include "frontends/text_util.h"
#include "user/input.h"

namespace platform::gui {

namespace {

struct KeyMap {
    int fltk;
    UINT virtual_key;
    bool shift_matters;   // Shift held changes what the key does (it extends a selection)
};

constexpr KeyMap KEYS[] = {
    {FL_Enter, VK_RETURN, false},  {FL_KP_Enter, VK_RETURN, false}, {FL_Tab, VK_TAB, false},
    {FL_Escape, VK_ESCAPE, false}, {FL_BackSpace, VK_BACK, false},  {FL_Delete, VK_DELETE, false},
    {FL_Left, VK_LEFT, true},      {FL_Right, VK_RIGHT, true},      {FL_Up, VK_UP, true},
    {FL_Down, VK_DOWN, true},      {FL_Home, VK_HOME, true},        {FL_End, VK_END, true},
    {' ', VK_SPACE, false},
};

void press(UINT virtual_key, bool shift, bool alt)
{
    if (shift) input::key_down(VK_SHIFT);
    input::key(virtual_key, alt);
    if (shift) input::key_up(VK_SHIFT);
}

}  // namespace

bool key_to_input()
{
    int key = Fl::event_key();
    bool alt = Fl::event_state(FL_ALT) != 0;
    bool shift = Fl::event_state(FL_SHIFT) != 0;
    bool control = Fl::event_state(FL_CTRL) != 0;

    for (const KeyMap& k : KEYS)
        if (k.fltk == key) {
            press(k.virtual_key, shift && k.shift_matters, alt);
            return true;
        }
    if (key >= FL_F + 1 && key <= FL_F + 12) {
        // VK_F1 and the function keys after it.
        press(0x70 + UINT(key - FL_F - 1), false, alt);
        return true;
    }
    if (alt || control) {
        // Alt with a letter or digit is a system key (the menu's mnemonic on
        // a window that has one); Ctrl with one types nothing here.
        if (alt && key < 0x80 && ((key >= 'a' && key <= 'z') || (key >= '0' && key <= '9'))) {
            input::key(UINT(key >= 'a' ? key - 'a' + 'A' : key), true);
            return true;
        }
        return false;
    }
    std::string typed = utf8_to_latin1(std::string(Fl::event_text(), Fl::event_length()));
    bool any = false;
    for (char c : typed) {
        if ((unsigned char)c < 0x20 || c == 0x7F) continue;
        input::character((unsigned char)c);
        any = true;
    }
    return any;
}

}  // namespace platform::gui
