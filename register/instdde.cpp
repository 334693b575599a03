#include "register/instdde.h"

#include "register/group_script.h"
#include "setup/setup.h"

HWND dde_window;
HGLOBAL dde_commands;
char* dde_commands_text;
ATOM app_atom;
ATOM topic_atom;
HWND dde_server;
int ack_count;

// Shown when no Program Manager answers, or when it never acknowledges the script.
static const char no_answer_text[] =
    "The program group QRXDVF could not be created,\n"
    "because the Program Manager did not answer.\n \n"
    "The files of QUORIX are installed; only the group is missing.";

int run_instdde(void)
{
    MSG message;
    dde_window = CreateWindowExA(0, "instdde", "ZKV Setup", WS_OVERLAPPEDWINDOW, 0, 0, 400, 200, NULL, NULL,
                                 app_instance, NULL);
    while (GetMessageA(&message, NULL, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}

// The conversation ends without a group: the user is told, and the window closes.
static void give_up(HWND window)
{
    MessageBoxA(NULL, no_answer_text, "ZKV Setup", MB_OK);
    SendMessageA(window, WM_CLOSE, 0, 0);
}

// WM_CREATE: builds the script in the shared block and asks every top-level
// window for the Program Manager. A server answers while the broadcast runs.
static void open_conversation(HWND window)
{
    dde_commands = GlobalAlloc(GMEM_DDESHARE, DDE_COMMANDS_SIZE);
    if (dde_commands != NULL) dde_commands_text = (char*)GlobalLock(dde_commands);
    if (dde_commands_text == NULL) {
        MessageBoxA(NULL, "Not enough memory to create group", "ZKV Setup", MB_OK);
        SendMessageA(window, WM_CLOSE, 0, 0);
        return;
    }
    app_atom = GlobalAddAtomA("PROGMAN");
    topic_atom = GlobalAddAtomA("PROGMAN");
    build_group_script(install_dir, dde_commands_text);
    SendMessageA(HWND_BROADCAST, WM_DDE_INITIATE, (WPARAM)window, MAKELPARAM(app_atom, topic_atom));
    // Nobody answered: nothing would ever end the conversation.
    if (ack_count == 0) give_up(window);
}

// WM_DDE_ACK: the first one names the server, which gets the script; any
// later one ends the conversation.
static void advance_conversation(HWND window, HWND sender)
{
    if (ack_count == 0) {
        dde_server = sender;
        PostMessageA(dde_server, WM_DDE_EXECUTE, (WPARAM)window, (LPARAM)dde_commands);
        // A server that never acknowledges the script must not hold the setup up.
        SetTimer(window, DDE_TIMER_ID, DDE_TIMEOUT, NULL);
    } else {
        PostMessageA(dde_server, WM_DDE_TERMINATE, (WPARAM)window, 0);
        SendMessageA(dde_window, WM_CLOSE, 0, 0);
    }
    ack_count++;
}

// WM_TIMER: the server did not acknowledge the script in time.
static void end_unanswered(HWND window)
{
    KillTimer(window, DDE_TIMER_ID);
    PostMessageA(dde_server, WM_DDE_TERMINATE, (WPARAM)window, 0);
    give_up(window);
}

// WM_DESTROY: the atoms and the block go with the window.
static void release_conversation(HWND window)
{
    KillTimer(window, DDE_TIMER_ID);
    if (app_atom != 0) GlobalDeleteAtom(app_atom);
    if (topic_atom != 0) GlobalDeleteAtom(topic_atom);
    app_atom = 0;
    topic_atom = 0;
    if (dde_commands_text != NULL) GlobalUnlock(dde_commands);
    if (dde_commands != NULL) GlobalFree(dde_commands);
    dde_commands_text = NULL;
    dde_commands = NULL;
    PostQuitMessage(0);
}

LRESULT CALLBACK instdde_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    PAINTSTRUCT paint;
    switch (message) {
    case WM_CREATE: open_conversation(window); return 0;
    case WM_DDE_ACK: advance_conversation(window, (HWND)wparam); return 0;
    case WM_TIMER:
        if (wparam == DDE_TIMER_ID) {
            end_unanswered(window);
            return 0;
        }
        break;
    case WM_DESTROY: release_conversation(window); return 0;
    case WM_PAINT:
        BeginPaint(window, &paint);
        EndPaint(window, &paint);
        return 0;
    case WM_SIZE: return 0;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}
