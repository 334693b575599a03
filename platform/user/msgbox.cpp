// MessageBoxA: a modal box that the front-end shows and answers.
#include "frontends/record.h"
#include "machine.h"
#include "trace/trace.h"

using namespace platform;

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type)
{
    (void)owner;
    UINT buttons = type & MB_TYPEMASK;
    // Only the two kinds of box the machine can show exist here; any other
    // kind fails as an invalid parameter does on Windows.
    if (buttons != MB_OK && buttons != MB_OKCANCEL) {
        SetLastError(ERROR_INVALID_PARAMETER);
        trace::Event("msgbox")
            .text("caption", caption ? caption : "Error")
            .text("text", text ? text : "")
            .text("buttons", "UNSUPPORTED")
            .text("result", "FAILED");
        return 0;
    }
    // Windows captions a box with no caption "Error".
    std::string box_caption = caption ? caption : "Error";
    std::string box_text = text ? text : "";
    int result = frontend().message_box(box_text, box_caption, buttons);
    record::box_answered(buttons, result);
    trace::Event("msgbox")
        .text("caption", box_caption)
        .text("text", box_text)
        .text("buttons", buttons == MB_OKCANCEL ? "OKCANCEL" : "OK")
        .text("result", result == IDOK ? "OK" : "CANCEL");
    return result;
}
