// The registry's text form: the .reg export format ("Windows Registry Editor
// Version 5.00"), one file per root key. Keys appear as [ROOT\PATH]
// sections in tree order, each followed by its values:
//
//   "Name"="text"          a REG_SZ holding text and its terminating zero
//   "Name"=dword:0000002a  a REG_DWORD of four bytes
//   "Name"=hex:01,02       REG_BINARY
//   "Name"=hex(N):..       any other type, or a string the quoted form cannot
//                          hold exactly (no terminating zero, a zero or a
//                          line break inside)
//   @=...                  the key's default (unnamed) value
//
// In quoted texts a backslash is written "\\" and a double quote "\"".
#ifndef QUORIX_PLATFORM_REGISTRY_REG_FILE_H
#define QUORIX_PLATFORM_REGISTRY_REG_FILE_H

#include <string>
#include <string_view>
#include <vector>

#include "win32.h"

namespace platform::registry {

struct Value {
    std::string name;   // empty for the default value
    DWORD type = REG_NONE;
    std::string data;   // the bytes as stored, terminating zero included for strings
};

struct Key {
    std::string path;             // below the root, components joined by '\', in the case it was created with
    std::vector<Value> values;    // in the order they were first set
};

struct Hive {
    std::vector<Key> keys;        // every key, parents before their children
};

// The first line of every file.
inline constexpr std::string_view HEADER = "Windows Registry Editor Version 5.00";

// The file's text for the hive under the root named `root` ("HKEY_LOCAL_MACHINE").
std::string format_hive(const std::string& root, const Hive& hive);
// The same without the header line: the key sections alone.
std::string format_keys(const std::string& root, const Hive& hive);
// A value's data as the file writes it after the '='.
std::string formatted_data(const Value& value);
// Reads a file's text back. False with a message naming the line when it is
// not a file of this form or its keys are not under `root`.
bool parse_hive(const std::string& root, std::string_view text, Hive& hive, std::string& error);

// The key with this path, compared without regard to case, or null.
Key* find_key(Hive& hive, std::string_view path);
// The value with this name, compared without regard to case, or null.
Value* find_value(Key& key, std::string_view name);
// Adds the key and every missing key above it; returns the key and whether it was made.
Key& add_key(Hive& hive, std::string_view path, bool& created);

}  // namespace platform::registry

#endif
