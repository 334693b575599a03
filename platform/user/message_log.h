// A record of the messages that reach window procedures, for tests that check
// message order against a sequence table.
#ifndef QUORIX_PLATFORM_USER_MESSAGE_LOG_H
#define QUORIX_PLATFORM_USER_MESSAGE_LOG_H

#include <vector>

#include "win32.h"

namespace platform {

struct LoggedMessage {
    HWND window;
    UINT message;
    WPARAM wparam;
    LPARAM lparam;
    bool sent;   // delivered by a send (SendMessageA, the layer's own sends); false: fetched from the queue
};

// Starts recording (dropping what was recorded before).
void start_message_log();
// Stops recording and hands over what was recorded.
std::vector<LoggedMessage> stop_message_log();

// The name of a message number, for reports ("WM_DDE_ACK", or the number in hex).
const char* message_name(UINT message);

}  // namespace platform

#endif
