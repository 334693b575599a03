#include "registry/reg_file.h"

#include <algorithm>
#include <cstdio>
#include <strings.h>

#include "files/text_lines.h"

namespace platform::registry {

namespace {

bool same_text(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

std::string quoted(std::string_view text)
{
    std::string out = "\"";
    for (char c : text) {
        if (c == '\\' || c == '"') out += '\\';
        out += c;
    }
    return out + "\"";
}

// A string that the quoted form holds exactly: its text, one terminating
// zero, and no zero or control character inside.
bool is_plain_string(const Value& v)
{
    if (v.type != REG_SZ || v.data.empty() || v.data.back() != '\0') return false;
    for (size_t i = 0; i + 1 < v.data.size(); ++i)
        if ((unsigned char)v.data[i] < 0x20) return false;
    return true;
}

}  // namespace

std::string formatted_data(const Value& v)
{
    char number[32];
    if (is_plain_string(v)) return quoted(std::string_view(v.data).substr(0, v.data.size() - 1));
    if (v.type == REG_DWORD && v.data.size() == 4) {
        uint32_t n = (uint32_t)(unsigned char)v.data[0] | (uint32_t)(unsigned char)v.data[1] << 8 |
                     (uint32_t)(unsigned char)v.data[2] << 16 | (uint32_t)(unsigned char)v.data[3] << 24;
        std::snprintf(number, sizeof number, "dword:%08x", n);
        return number;
    }
    std::string out;
    if (v.type == REG_BINARY) {
        out = "hex:";
    } else {
        std::snprintf(number, sizeof number, "hex(%x):", (unsigned)v.type);
        out = number;
    }
    for (size_t i = 0; i < v.data.size(); ++i) {
        std::snprintf(number, sizeof number, i ? ",%02x" : "%02x", (unsigned)(unsigned char)v.data[i]);
        out += number;
    }
    return out;
}

namespace {

// Reads a quoted text at `pos` (which holds the opening quote); leaves `pos`
// after the closing quote.
bool read_quoted(std::string_view line, size_t& pos, std::string& out)
{
    out.clear();
    for (++pos; pos < line.size(); ++pos) {
        char c = line[pos];
        if (c == '"') {
            ++pos;
            return true;
        }
        if (c == '\\') {
            if (++pos >= line.size()) return false;
            c = line[pos];
        }
        out += c;
    }
    return false;
}

int hex_digit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool read_hex_bytes(std::string_view text, std::string& out)
{
    out.clear();
    auto skip_blanks = [&](size_t& pos) {
        while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t')) ++pos;
    };
    size_t pos = 0;
    skip_blanks(pos);
    while (pos < text.size()) {
        if (pos + 2 > text.size()) return false;
        int high = hex_digit(text[pos]), low = hex_digit(text[pos + 1]);
        if (high < 0 || low < 0) return false;
        out += (char)(high * 16 + low);
        pos += 2;
        skip_blanks(pos);
        if (pos == text.size()) break;
        if (text[pos] != ',') return false;
        ++pos;
        skip_blanks(pos);
    }
    return true;
}

bool parse_data(std::string_view text, Value& v)
{
    if (!text.empty() && text[0] == '"') {
        size_t pos = 0;
        std::string s;
        if (!read_quoted(text, pos, s) || pos != text.size()) return false;
        v.type = REG_SZ;
        v.data = s + '\0';
        return true;
    }
    if (text.starts_with("dword:")) {
        std::string_view digits = text.substr(6);
        if (digits.size() != 8) return false;
        uint32_t n = 0;
        for (char c : digits) {
            int d = hex_digit(c);
            if (d < 0) return false;
            n = n * 16 + (uint32_t)d;
        }
        v.type = REG_DWORD;
        v.data = std::string{(char)(n & 0xFF), (char)(n >> 8 & 0xFF), (char)(n >> 16 & 0xFF), (char)(n >> 24)};
        return true;
    }
    if (text.starts_with("hex:")) {
        v.type = REG_BINARY;
        return read_hex_bytes(text.substr(4), v.data);
    }
    if (text.starts_with("hex(")) {
        size_t close = text.find("):");
        if (close == std::string_view::npos || close == 4 || close > 12) return false;
        unsigned type = 0;
        for (char c : text.substr(4, close - 4)) {
            int d = hex_digit(c);
            if (d < 0) return false;
            type = type * 16 + (unsigned)d;
        }
        v.type = type;
        return read_hex_bytes(text.substr(close + 2), v.data);
    }
    return false;
}

std::vector<std::string_view> components(std::string_view path)
{
    std::vector<std::string_view> parts;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('\\', start);
        if (end == std::string_view::npos) end = path.size();
        parts.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

// Tree order: a key's components compared one by one without regard to case,
// so that a parent comes before its children and siblings go by name.
bool tree_before(const Key& a, const Key& b)
{
    auto pa = components(a.path), pb = components(b.path);
    for (size_t i = 0; i < pa.size() && i < pb.size(); ++i) {
        int c = strncasecmp(pa[i].data(), pb[i].data(), std::min(pa[i].size(), pb[i].size()));
        if (c != 0) return c < 0;
        if (pa[i].size() != pb[i].size()) return pa[i].size() < pb[i].size();
    }
    return pa.size() < pb.size();
}

}  // namespace

std::string format_hive(const std::string& root, const Hive& hive)
{
    return std::string(HEADER) + "\n\n" + format_keys(root, hive);
}

std::string format_keys(const std::string& root, const Hive& hive)
{
    std::vector<const Key*> keys;
    for (const Key& k : hive.keys) keys.push_back(&k);
    std::stable_sort(keys.begin(), keys.end(), [](const Key* a, const Key* b) { return tree_before(*a, *b); });
    std::string out;
    for (const Key* k : keys) {
        out += "[" + root + (k->path.empty() ? "" : "\\" + k->path) + "]\n";
        for (const Value& v : k->values) out += (v.name.empty() ? "@" : quoted(v.name)) + "=" + formatted_data(v) + "\n";
        out += "\n";
    }
    return out;
}

bool parse_hive(const std::string& root, std::string_view text, Hive& hive, std::string& error)
{
    hive = Hive{};
    // Lines, with the export format's continuations ("\" at the end of a line) joined.
    std::vector<std::pair<int, std::string>> lines;
    int number = 0;
    std::string pending;
    int pending_number = 0;
    for (const std::string& line : split_lines(text)) {
        ++number;
        if (pending.empty()) pending_number = number;
        if (!line.empty() && line.back() == '\\' && line.find('=') != std::string::npos) {
            pending += line.substr(0, line.size() - 1);
            continue;
        }
        if (!pending.empty()) {
            size_t first = line.find_first_not_of(" \t");
            pending += first == std::string::npos ? "" : line.substr(first);
            lines.emplace_back(pending_number, pending);
            pending.clear();
            continue;
        }
        lines.emplace_back(number, line);
    }
    if (!pending.empty()) lines.emplace_back(pending_number, pending);

    bool header_seen = false;
    Key* current = nullptr;
    for (const auto& [line_number, line] : lines) {
        auto fail = [&, n = line_number](const std::string& why) {
            error = "line " + std::to_string(n) + ": " + why;
            return false;
        };
        if (line.empty() || line[0] == ';') continue;
        if (!header_seen) {
            if (line != HEADER) return fail("the file does not begin with \"" + std::string(HEADER) + "\"");
            header_seen = true;
            continue;
        }
        if (line[0] == '[') {
            if (line.back() != ']') return fail("a key line does not end with ']'");
            std::string name = line.substr(1, line.size() - 2);
            std::string path;
            if (same_text(name, root)) {
                path = "";
            } else if (name.size() > root.size() && same_text(std::string_view(name).substr(0, root.size()), root) &&
                       name[root.size()] == '\\') {
                path = name.substr(root.size() + 1);
            } else {
                return fail("the key " + name + " is not under " + root);
            }
            bool created = false;
            current = &add_key(hive, path, created);
            continue;
        }
        if (!current) return fail("a value before the first key");
        Value v;
        size_t at = 0;
        if (line[0] == '@') {
            at = 1;
        } else if (line[0] == '"') {
            if (!read_quoted(line, at, v.name)) return fail("a value name without its closing quote");
        } else {
            return fail("neither a key nor a value");
        }
        if (at >= line.size() || line[at] != '=') return fail("no '=' after the value name");
        if (!parse_data(std::string_view(line).substr(at + 1), v)) return fail("the value's data cannot be read");
        if (Value* existing = find_value(*current, v.name))
            *existing = v;
        else
            current->values.push_back(v);
    }
    if (!header_seen && !text.empty()) {
        error = "the file does not begin with \"" + std::string(HEADER) + "\"";
        return false;
    }
    return true;
}

Key* find_key(Hive& hive, std::string_view path)
{
    for (Key& k : hive.keys)
        if (same_text(k.path, path)) return &k;
    return nullptr;
}

Value* find_value(Key& key, std::string_view name)
{
    for (Value& v : key.values)
        if (same_text(v.name, name)) return &v;
    return nullptr;
}

Key& add_key(Hive& hive, std::string_view path, bool& created)
{
    created = false;
    // Every key above it first, so that the file shows the whole tree.
    size_t slash = path.rfind('\\');
    if (slash != std::string_view::npos) {
        bool parent_created = false;
        add_key(hive, path.substr(0, slash), parent_created);
    }
    if (Key* existing = find_key(hive, path)) return *existing;
    created = true;
    hive.keys.push_back(Key{std::string(path), {}});
    return hive.keys.back();
}

}  // namespace platform::registry
