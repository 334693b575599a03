// The Program Manager's window and its side of DDE conversations.
//
// It answers WM_DDE_INITIATE for "PROGMAN" (or for any application or topic)
// by sending WM_DDE_ACK with atoms of its own; it carries out the command
// string of each WM_DDE_EXECUTE from a window it is in conversation with and
// posts WM_DDE_ACK with the status (DDE_FACK only when every command
// succeeded) and the command block's handle; it answers WM_DDE_TERMINATE with
// WM_DDE_TERMINATE. What each command did is traced as a "progman" event.
#include "shell/progman.h"

#include <cstring>
#include <set>
#include <strings.h>

#include "machine.h"
#include "trace/trace.h"
#include "user/window.h"

namespace platform::shell {

namespace {

constexpr const char* SERVICE = "PROGMAN";
constexpr const char* CLASS_NAME = "Progman";

struct ProgramManager {
    HWND window = nullptr;
    std::set<HWND> partners;    // the clients it is in conversation with
    std::string active_group;   // the group AddItem adds to
};

ProgramManager& progman()
{
    static ProgramManager p;
    return p;
}

// True when the atom names the service, or is 0, which asks for any.
bool names_service(ATOM atom)
{
    if (atom == 0) return true;
    char name[256];
    if (GlobalGetAtomNameA(atom, name, sizeof name) == 0) return false;
    return strcasecmp(name, SERVICE) == 0;
}

void trace_outcome(const std::string& command, const std::string& error)
{
    trace::Event("progman").text("command", command).text("result", error.empty() ? "ok" : error);
}

void initiate(HWND self, HWND client, ATOM application, ATOM topic)
{
    if (client == self || !IsWindow(client)) return;
    if (!names_service(application) || !names_service(topic)) return;
    progman().partners.insert(client);
    // The atoms of the answer are the server's own; by the protocol the
    // client deletes them.
    SendMessageA(client, WM_DDE_ACK, (WPARAM)self, MAKELPARAM(GlobalAddAtomA(SERVICE), GlobalAddAtomA(SERVICE)));
}

// Reads the command text of a block: false when the block cannot be locked
// or its text has no terminating zero within the block.
bool read_block(HGLOBAL block, std::string& text, std::string& error)
{
    const char* bytes = (const char*)GlobalLock(block);
    if (!bytes) {
        error = "the command block cannot be read: it is not a global memory handle";
        return false;
    }
    size_t size = GlobalSize(block);
    size_t length = strnlen(bytes, size);
    bool terminated = length < size;
    if (terminated) text.assign(bytes, length);
    GlobalUnlock(block);
    if (!terminated) error = "the command text has no terminating zero within its block";
    return terminated;
}

void execute(HWND self, HWND client, LPARAM lparam)
{
    UINT_PTR low = 0, high = 0;
    UnpackDDElParam(WM_DDE_EXECUTE, lparam, &low, &high);
    HGLOBAL block = (HGLOBAL)high;
    WORD status = 0;
    std::string text, error;
    if (!progman().partners.count(client)) {
        trace_outcome("", "an execute from a window that is not in conversation with the Program Manager");
    } else if (!read_block(block, text, error)) {
        trace_outcome("", error);
    } else {
        std::vector<CommandOutcome> outcomes;
        if (execute_commands(machine_options().root, text, progman().active_group, outcomes)) status = DDE_FACK;
        for (const CommandOutcome& o : outcomes) trace_outcome(o.command, o.error);
    }
    // The block goes back with the answer: it is the client's to free.
    LPARAM answer = PackDDElParam(WM_DDE_ACK, status, (UINT_PTR)block);
    if (!PostMessageA(client, WM_DDE_ACK, (WPARAM)self, answer)) FreeDDElParam(WM_DDE_ACK, answer);
}

void terminate(HWND self, HWND client)
{
    // A terminate that ends no conversation needs no answer.
    if (!progman().partners.erase(client)) return;
    PostMessageA(client, WM_DDE_TERMINATE, (WPARAM)self, 0);
}

// Requests, advises and pokes are not part of this service: each is answered
// with a negative acknowledgement for its item.
void refuse(HWND self, HWND client, UINT message, LPARAM lparam)
{
    UINT_PTR low = 0, high = 0;
    if (message == WM_DDE_ADVISE || message == WM_DDE_POKE) {
        UnpackDDElParam(message, lparam, &low, &high);
        FreeDDElParam(message, lparam);
    } else {
        high = HIWORD(lparam);
    }
    trace_outcome("", std::string("a DDE request the Program Manager does not serve (") +
                          (message == WM_DDE_REQUEST  ? "REQUEST"
                           : message == WM_DDE_POKE   ? "POKE"
                           : message == WM_DDE_ADVISE ? "ADVISE"
                                                      : "UNADVISE") +
                          ")");
    LPARAM answer = PackDDElParam(WM_DDE_ACK, 0, high);
    if (!PostMessageA(client, WM_DDE_ACK, (WPARAM)self, answer)) FreeDDElParam(WM_DDE_ACK, answer);
}

LRESULT CALLBACK progman_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    switch (message) {
    case WM_DDE_INITIATE: initiate(window, (HWND)wparam, LOWORD(lparam), HIWORD(lparam)); return 0;
    case WM_DDE_EXECUTE: execute(window, (HWND)wparam, lparam); return 0;
    case WM_DDE_TERMINATE: terminate(window, (HWND)wparam); return 0;
    case WM_DDE_REQUEST:
    case WM_DDE_ADVISE:
    case WM_DDE_UNADVISE:
    case WM_DDE_POKE: refuse(window, (HWND)wparam, message, lparam); return 0;
    case WM_DESTROY: progman() = ProgramManager{}; return 0;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

}  // namespace

void start_program_manager()
{
    progman() = ProgramManager{};
    WNDCLASSA wc{};
    wc.lpfnWndProc = progman_procedure;
    wc.lpszClassName = CLASS_NAME;
    RegisterClassA(&wc);
    MachineWindowScope machine_window;
    progman().window = CreateWindowExA(0, CLASS_NAME, "Program Manager", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, NULL,
                                       NULL, NULL, NULL);
}

HWND program_manager_window()
{
    return IsWindow(progman().window) ? progman().window : nullptr;
}

}  // namespace platform::shell
