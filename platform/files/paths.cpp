#include "files/paths.h"

#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>

#include <algorithm>
#include <vector>

#include "machine.h"

namespace platform {

namespace {

constexpr size_t MAX_COMPONENT_LENGTH = 255;

// The device names Windows reserves in every directory, with or without an extension.
constexpr const char* DEVICE_NAMES[] = {"CON",  "PRN",  "AUX",  "NUL",  "COM1", "COM2", "COM3", "COM4",
                                        "COM5", "COM6", "COM7", "COM8", "COM9", "LPT1", "LPT2", "LPT3",
                                        "LPT4", "LPT5", "LPT6", "LPT7", "LPT8", "LPT9"};

bool is_separator(char c)
{
    return c == '\\' || c == '/';
}

bool is_drive_letter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

std::vector<std::string> split(std::string_view path)
{
    std::vector<std::string> parts;
    std::string part;
    for (char c : path) {
        if (is_separator(c)) {
            if (!part.empty()) parts.push_back(part);
            part.clear();
        } else {
            part += c;
        }
    }
    if (!part.empty()) parts.push_back(part);
    return parts;
}

bool is_device_name(const std::string& component)
{
    std::string base = component.substr(0, component.find('.'));
    while (!base.empty() && base.back() == ' ') base.pop_back();
    for (const char* device : DEVICE_NAMES)
        if (strcasecmp(base.c_str(), device) == 0) return true;
    return false;
}

// Windows drops the dots and blanks that end a component ("quorix. " is "quorix").
std::string without_trailing_dots(const std::string& component)
{
    std::string trimmed = component;
    while (!trimmed.empty() && (trimmed.back() == '.' || trimmed.back() == ' ')) trimmed.pop_back();
    return trimmed;
}

bool is_directory(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool exists(const std::string& path)
{
    struct stat st;
    return lstat(path.c_str(), &st) == 0;
}

// The name in `folder` that matches `component` without regard to case: the
// exact name when it exists, else the first that matches, else the
// component as it is (a name yet to be made).
std::string match_component(const std::string& folder, const std::string& component)
{
    std::string exact = folder + "/" + component;
    if (exists(exact)) return component;
    DIR* dir = opendir(folder.c_str());
    if (!dir) return component;
    std::string found = component;
    while (dirent* entry = readdir(dir)) {
        if (strcasecmp(entry->d_name, component.c_str()) == 0) {
            found = entry->d_name;
            break;
        }
    }
    closedir(dir);
    return found;
}

// Walks the components below `base`, resolving "." and ".." lexically as
// Windows does before it looks at the disk, and matching each one.
MappedPath resolve_dos(const std::string& base, const std::vector<std::string>& parts)
{
    std::vector<std::string> kept;
    for (const std::string& raw : parts) {
        if (raw == ".") continue;
        if (raw == "..") {
            if (!kept.empty()) kept.pop_back();
            continue;
        }
        for (unsigned char c : raw)
            if (c < 0x20 || std::string_view("<>:\"|?*").find((char)c) != std::string_view::npos)
                return {"", ERROR_INVALID_NAME};
        std::string component = without_trailing_dots(raw);
        if (component.empty()) continue;
        if (component.size() > MAX_COMPONENT_LENGTH) return {"", ERROR_FILENAME_EXCED_RANGE};
        if (is_device_name(component)) return {"", ERROR_INVALID_NAME};
        kept.push_back(component);
    }
    std::string host = base;
    for (const std::string& component : kept) {
        std::string name = is_directory(host) ? match_component(host, component) : component;
        host += "/" + name;
    }
    return {host, 0};
}

}  // namespace

std::string drive_folder(char letter)
{
    return drive_folder(letter, machine_options().root);
}

std::string drive_folder(char letter, const std::string& machine_root)
{
    char lower = (char)((letter >= 'A' && letter <= 'Z') ? letter - 'A' + 'a' : letter);
    return machine_root + "/drive_" + std::string(1, lower);
}

MappedPath map_path(std::string_view path)
{
    return map_path(path, machine_options().root);
}

MappedPath map_path(std::string_view path, const std::string& machine_root)
{
    if (path.empty()) return {"", ERROR_PATH_NOT_FOUND};
    if (path.size() >= MAX_PATH_LENGTH) return {"", ERROR_FILENAME_EXCED_RANGE};
    if (path.size() >= 2 && is_separator(path[0]) && is_separator(path[1])) return {"", ERROR_BAD_NETPATH};

    if (path.size() >= 2 && path[1] == ':' && is_drive_letter(path[0])) {
        std::string drive = drive_folder(path[0], machine_root);
        // A drive is there when its folder is; a missing one fails as an
        // empty floppy drive or an unknown letter does.
        if (!is_directory(drive)) return {"", ERROR_PATH_NOT_FOUND};
        // "c:name" is relative to the drive's current directory, which is
        // always its root here.
        return resolve_dos(drive, split(path.substr(2)));
    }
    if (path[0] == '/') {
        std::string host(path);
        std::replace(host.begin(), host.end(), '\\', '/');
        return {host, 0};
    }
    // A path rooted with a backslash but without a drive is on the current
    // drive, which for the programs of this machine is c:. Taking it as a
    // host path would let an empty directory typed by the user put the
    // install tree at the host's root.
    if (path[0] == '\\') {
        std::string drive = drive_folder('c', machine_root);
        if (!is_directory(drive)) return {"", ERROR_PATH_NOT_FOUND};
        return resolve_dos(drive, split(path));
    }
    return resolve_dos(".", split(path));
}

}  // namespace platform
