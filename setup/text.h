// Composing texts in fixed buffers. Every copy and append is bounded by the
// buffer's size and always leaves a terminating zero, so no input can make a
// text overflow its buffer; the buffers are sized so that the texts that can
// arise fit whole.
#ifndef QUORIX_SETUP_TEXT_H
#define QUORIX_SETUP_TEXT_H

#include <cstddef>

// Copies `source` into `buffer` of `size` bytes.
void copy_text(char* buffer, size_t size, const char* source);
// Appends `source` to the text in `buffer` of `size` bytes.
void append_text(char* buffer, size_t size, const char* source);

#endif
