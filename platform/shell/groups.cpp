#include "shell/groups.h"

#include <cstdlib>

#include "files/atomic_file.h"
#include "files/paths.h"
#include "files/text_lines.h"

namespace platform::shell {

namespace {

constexpr std::string_view GROUP_SECTION = "[Program Group]";

// A text file of comments, [Section] lines and Key=Value lines, read as a
// list of sections.
struct Section {
    std::string name;
    int line = 0;
    std::vector<std::pair<std::string, std::string>> entries;
};

bool parse_sections(std::string_view text, std::vector<Section>& sections, std::string& error)
{
    sections.clear();
    int number = 0;
    for (const std::string& line : split_lines(text)) {
        ++number;
        if (line.empty() || line[0] == ';') continue;
        if (line[0] == '[') {
            if (line.back() != ']') {
                error = "line " + std::to_string(number) + ": a section line does not end with ']'";
                return false;
            }
            sections.push_back(Section{line, number, {}});
            continue;
        }
        size_t equals = line.find('=');
        if (equals == std::string::npos || sections.empty()) {
            error = "line " + std::to_string(number) + ": neither a section nor Key=Value";
            return false;
        }
        sections.back().entries.emplace_back(line.substr(0, equals), line.substr(equals + 1));
    }
    return true;
}

bool parse_int(const std::string& text, int& value)
{
    if (text.empty() || text.size() > 11) return false;
    char* end = nullptr;
    long n = std::strtol(text.c_str(), &end, 10);
    if (*end || n < -2147483647L - 1 || n > 2147483647L) return false;
    value = (int)n;
    return true;
}

bool is_drive_path(std::string_view path)
{
    return path.size() >= 2 && path[1] == ':' &&
           ((path[0] >= 'a' && path[0] <= 'z') || (path[0] >= 'A' && path[0] <= 'Z'));
}

}  // namespace

std::string group_file_path(const std::string& file)
{
    if (file.empty() || is_drive_path(file) || file[0] == '/' || file[0] == '\\') return file;
    return std::string(WINDOWS_FOLDER) + file;
}

std::string index_file(const std::string& machine_root)
{
    return machine_root + "/progman.ini";
}

std::string format_index(const std::vector<GroupEntry>& groups)
{
    std::string out =
        "; The program groups of this machine's Program Manager, in the order they were made.\n"
        "; File is the DOS path of the group's file, which holds its items.\n";
    for (const GroupEntry& g : groups) out += "\n[Group]\nName=" + g.name + "\nFile=" + g.file + "\n";
    return out;
}

bool parse_index(std::string_view text, std::vector<GroupEntry>& groups, std::string& error)
{
    groups.clear();
    std::vector<Section> sections;
    if (!parse_sections(text, sections, error)) return false;
    for (const Section& s : sections) {
        if (s.name != "[Group]") {
            error = "line " + std::to_string(s.line) + ": " + s.name + " is not a [Group] section";
            return false;
        }
        GroupEntry g;
        for (const auto& [key, value] : s.entries) {
            if (key == "Name") g.name = value;
            if (key == "File") g.file = value;
        }
        if (g.name.empty() || g.file.empty()) {
            error = "line " + std::to_string(s.line) + ": a group without its Name or File";
            return false;
        }
        groups.push_back(g);
    }
    return true;
}

std::string format_group(const Group& group)
{
    std::string out = "; Program group " + group.name + " of the Program Manager: its items in their order.\n" +
                      std::string(GROUP_SECTION) + "\nName=" + group.name + "\n";
    for (const GroupItem& i : group.items) {
        out += "\n[Item]\nTitle=" + i.title + "\nCommand=" + i.command + "\nIconFile=" + i.icon_file +
               "\nIconIndex=" + std::to_string(i.icon_index) + "\n";
        if (!i.directory.empty()) out += "Directory=" + i.directory + "\n";
        if (i.position)
            out += "Position=" + std::to_string(i.position->first) + "," + std::to_string(i.position->second) + "\n";
        if (i.hot_key) out += "HotKey=" + std::to_string(i.hot_key) + "\n";
        if (i.minimized) out += "Minimized=1\n";
        if (i.separate_memory) out += "SeparateMemory=1\n";
    }
    return out;
}

bool parse_group(std::string_view text, Group& group, std::string& error)
{
    group = Group{};
    std::vector<Section> sections;
    if (!parse_sections(text, sections, error)) return false;
    if (sections.empty() || sections[0].name != GROUP_SECTION) {
        error = "not a group file: it does not begin with " + std::string(GROUP_SECTION);
        return false;
    }
    for (const auto& [key, value] : sections[0].entries)
        if (key == "Name") group.name = value;
    for (size_t n = 1; n < sections.size(); ++n) {
        const Section& s = sections[n];
        auto bad = [&](const std::string& why) {
            error = "line " + std::to_string(s.line) + ": " + why;
            return false;
        };
        if (s.name != "[Item]") return bad(s.name + " is not an [Item] section");
        GroupItem item;
        for (const auto& [key, value] : s.entries) {
            if (key == "Title") {
                item.title = value;
            } else if (key == "Command") {
                item.command = value;
            } else if (key == "IconFile") {
                item.icon_file = value;
            } else if (key == "IconIndex") {
                if (!parse_int(value, item.icon_index)) return bad("IconIndex is not a number");
            } else if (key == "Directory") {
                item.directory = value;
            } else if (key == "Position") {
                size_t comma = value.find(',');
                int x = 0, y = 0;
                if (comma == std::string::npos || !parse_int(value.substr(0, comma), x) ||
                    !parse_int(value.substr(comma + 1), y))
                    return bad("Position is not X,Y");
                item.position = std::make_pair(x, y);
            } else if (key == "HotKey") {
                if (!parse_int(value, item.hot_key)) return bad("HotKey is not a number");
            } else if (key == "Minimized") {
                item.minimized = value == "1";
            } else if (key == "SeparateMemory") {
                item.separate_memory = value == "1";
            }
        }
        if (item.command.empty()) return bad("an item without its Command");
        group.items.push_back(item);
    }
    return true;
}

bool load_index(const std::string& machine_root, std::vector<GroupEntry>& groups, std::string& error)
{
    groups.clear();
    std::string file = index_file(machine_root), text;
    DWORD status = read_whole_file(file, text);
    if (status == ERROR_FILE_NOT_FOUND || status == ERROR_PATH_NOT_FOUND) return true;
    if (status) {
        error = "cannot read " + file + " (error " + std::to_string(status) + ")";
        return false;
    }
    if (!parse_index(text, groups, error)) {
        error = file + ": " + error;
        return false;
    }
    return true;
}

bool load_group(const std::string& machine_root, const std::string& dos_file, Group& group, std::string& error)
{
    MappedPath mapped = map_path(group_file_path(dos_file), machine_root);
    if (mapped.error) {
        error = "the path " + dos_file + " names no file (error " + std::to_string(mapped.error) + ")";
        return false;
    }
    std::string text;
    if (DWORD status = read_whole_file(mapped.host, text)) {
        error = "cannot read " + mapped.host + (status == ERROR_FILE_NOT_FOUND ? ": there is no such file" : "");
        return false;
    }
    if (!parse_group(text, group, error)) {
        error = mapped.host + ": " + error;
        return false;
    }
    return true;
}

}  // namespace platform::shell
