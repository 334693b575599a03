// Recording a run (SETUP_RECORD): the user's actions, whatever front-end they
// came through, written as a response file that replays the same run.
//
// The recorder sees the user's input at the moment the program takes it from
// the queue, when everything before it has been handled, and the answers of
// message boxes. Clicks on buttons and into an edit field, Enter, Tab and
// Escape, and closing a window map onto response-file lines directly. Editing
// a field (typing, Backspace, Delete, the caret keys) is written as one "type"
// line holding the text the field was left with, once the user moves on.
#ifndef QUORIX_PLATFORM_FRONTENDS_RECORD_H
#define QUORIX_PLATFORM_FRONTENDS_RECORD_H

#include <string>

#include "frontends/frontend.h"
#include "win32.h"

namespace platform {

struct InputEvent;

namespace record {

// Starts writing to the file at `path`, emptying it first. False with a message
// naming SETUP_RECORD when it cannot be written.
bool start(const std::string& path, const Frontend& frontend, std::string& error);
// Writes what is still pending and closes the file. Nothing happens when no
// recording runs.
void stop();

// The program took an input event from the queue as this message.
void input_taken(const InputEvent& event, const MSG& message);
// A message box with these buttons was answered.
void box_answered(UINT buttons, int result);

}  // namespace record

}  // namespace platform

#endif
