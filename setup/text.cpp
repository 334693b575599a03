#include "setup/text.h"

#include <cstring>

// The length of a text, looking at no more than `limit` bytes of it.
static size_t bounded_length(const char* text, size_t limit)
{
    const void* end = memchr(text, '\0', limit);
    return end ? (size_t)((const char*)end - text) : limit;
}

void copy_text(char* buffer, size_t size, const char* source)
{
    if (size == 0) return;
    buffer[0] = '\0';
    append_text(buffer, size, source);
}

void append_text(char* buffer, size_t size, const char* source)
{
    if (size == 0) return;
    size_t used = bounded_length(buffer, size - 1);
    size_t length = bounded_length(source, size - 1 - used);
    memcpy(buffer + used, source, length);
    buffer[used + length] = '\0';
}
