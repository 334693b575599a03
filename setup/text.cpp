#include "setup/text.h"

#include <cstring>

void copy_text(char* buffer, size_t size, const char* source)
{
    if (size == 0) return;
    buffer[0] = '\0';
    append_text(buffer, size, source);
}

void append_text(char* buffer, size_t size, const char* source)
{
    if (size == 0) return;
    size_t used = strnlen(buffer, size - 1);
    size_t room = size - 1 - used;
    size_t length = strnlen(source, room);
    memcpy(buffer + used, source, length);
    buffer[used + length] = '\0';
}
