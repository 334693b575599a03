// The registry calls: RegCreateKeyExA, RegOpenKeyExA, RegSetValueExA,
// RegQueryValueExA, RegEnumValueA and RegCloseKey.
#include "registry/registry.h"

#include <cstring>
#include <map>
#include <strings.h>

#include "files/atomic_file.h"
#include "machine.h"
#include "trace/trace.h"

namespace platform::registry {

namespace {

// The access rights that change a key or what is below it.
constexpr REGSAM WRITE_RIGHTS = KEY_SET_VALUE | KEY_CREATE_SUB_KEY | 0x0020 /*KEY_CREATE_LINK*/ |
                                0x00010000 /*DELETE*/ | 0x00040000 /*WRITE_DAC*/ | 0x00080000 /*WRITE_OWNER*/;
// Windows' limits on a key name's component and on a value name.
constexpr size_t MAX_KEY_COMPONENT = 255;
constexpr size_t MAX_VALUE_NAME = 16383;
// The highest value type Windows defines (REG_QWORD).
constexpr DWORD LAST_TYPE = 11;

struct OpenKey {
    std::string root;   // the root key's name
    std::string path;   // below the root, as the caller spelled it
    REGSAM access = 0;
};

struct Registry {
    std::map<uintptr_t, OpenKey> keys;   // by handle value
    // Handles are small numbers handed out in turn, never reused within a run.
    uintptr_t next_handle = 0x0104;
};

Registry& state()
{
    static Registry r;
    return r;
}

// The root and path a predefined or open key stands for; false for any other handle.
bool resolve(HKEY key, std::string& root, std::string& path, REGSAM& access)
{
    access = KEY_ALL_ACCESS;
    path.clear();
    if (key == HKEY_LOCAL_MACHINE) {
        root = "HKEY_LOCAL_MACHINE";
    } else if (key == HKEY_CURRENT_USER) {
        root = "HKEY_CURRENT_USER";
    } else if (key == HKEY_USERS) {
        root = "HKEY_USERS";
    } else if (key == HKEY_CLASSES_ROOT) {
        root = "HKEY_LOCAL_MACHINE";
        path = "SOFTWARE\\Classes";
    } else {
        auto it = state().keys.find((uintptr_t)key);
        if (it == state().keys.end()) return false;
        root = it->second.root;
        path = it->second.path;
        access = it->second.access;
    }
    return true;
}

// Checks a sub-key path and gives it without the one trailing backslash
// Windows allows. Returns the error for a path no key can have.
LSTATUS check_sub_key(LPCSTR sub_key, std::string& out)
{
    out = sub_key ? sub_key : "";
    if (!out.empty() && out.back() == '\\') out.pop_back();
    if (out.empty()) return ERROR_SUCCESS;
    if (out[0] == '\\') return ERROR_BAD_PATHNAME;
    size_t start = 0;
    while (start <= out.size()) {
        size_t end = out.find('\\', start);
        if (end == std::string::npos) end = out.size();
        if (end == start) return ERROR_BAD_PATHNAME;
        if (end - start > MAX_KEY_COMPONENT) return ERROR_INVALID_PARAMETER;
        start = end + 1;
    }
    // The text form has one line a key: a line break cannot be part of a name.
    for (unsigned char c : out)
        if (c < 0x20) return ERROR_INVALID_PARAMETER;
    return ERROR_SUCCESS;
}

std::string joined(const std::string& path, const std::string& sub_key)
{
    if (path.empty()) return sub_key;
    if (sub_key.empty()) return path;
    return path + "\\" + sub_key;
}

std::string file_of(const std::string& root)
{
    return hive_file(machine_options().root, root);
}

HKEY new_handle(const std::string& root, const std::string& path, REGSAM access)
{
    Registry& r = state();
    uintptr_t handle = r.next_handle;
    r.next_handle += 4;
    r.keys[handle] = OpenKey{root, path, access};
    return (HKEY)handle;
}

LSTATUS load(const std::string& root, Hive& hive)
{
    std::string error;
    return (LSTATUS)load_hive(file_of(root), root, hive, error);
}

// How the trace shows a value's data: a string's text, else the file's form.
std::string traced_data(DWORD type, const BYTE* data, DWORD size)
{
    std::string bytes(data ? (const char*)data : "", data ? size : 0);
    if (type == REG_SZ || type == REG_EXPAND_SZ) return bytes.substr(0, bytes.find('\0'));
    return formatted_data(Value{"", type, bytes});
}

LSTATUS copy_out(const std::string& data, LPBYTE buffer, LPDWORD size)
{
    if (!buffer) {
        if (size) *size = (DWORD)data.size();
        return ERROR_SUCCESS;
    }
    if (!size) return ERROR_INVALID_PARAMETER;
    DWORD room = *size;
    *size = (DWORD)data.size();
    if (room < data.size()) return ERROR_MORE_DATA;
    std::memcpy(buffer, data.data(), data.size());
    return ERROR_SUCCESS;
}

LSTATUS open_key(HKEY key, LPCSTR sub_key, REGSAM desired, PHKEY result, LPDWORD disposition, bool create)
{
    if (!result) return ERROR_INVALID_PARAMETER;
    *result = NULL;
    std::string root, base;
    REGSAM base_access = 0;
    if (!resolve(key, root, base, base_access)) return ERROR_INVALID_HANDLE;
    std::string sub;
    if (LSTATUS status = check_sub_key(sub_key, sub)) return status;
    std::string path = joined(base, sub);
    std::string file = file_of(root);
    bool writes = (desired & WRITE_RIGHTS) != 0;

    Hive hive;
    if (LSTATUS status = load(root, hive)) return status;
    bool exists = path.empty() || find_key(hive, path);
    if (!exists && !create) return ERROR_FILE_NOT_FOUND;
    // Without the right to change the file, a key cannot be made or opened
    // for writing, as a user without rights on HKEY_LOCAL_MACHINE finds.
    if ((writes || !exists) && !may_replace(file)) return ERROR_ACCESS_DENIED;

    DWORD outcome = REG_OPENED_EXISTING_KEY;
    if (!exists) {
        FileLock lock(file);
        if (lock.error()) return (LSTATUS)lock.error();
        if (LSTATUS status = load(root, hive)) return status;
        bool created = false;
        add_key(hive, path, created);
        if (created) {
            if (DWORD status = write_file_atomically(file, format_hive(root, hive))) return (LSTATUS)status;
            outcome = REG_CREATED_NEW_KEY;
        }
    }
    if (disposition) *disposition = outcome;
    *result = new_handle(root, path, desired);
    return ERROR_SUCCESS;
}

// The open key behind a handle with the access a call needs, or the error.
LSTATUS key_for(HKEY key, REGSAM needed, std::string& root, std::string& path)
{
    REGSAM access = 0;
    if (!resolve(key, root, path, access)) return ERROR_INVALID_HANDLE;
    if ((access & needed) != needed) return ERROR_ACCESS_DENIED;
    return ERROR_SUCCESS;
}

// Reads the key behind a handle opened to query values. `found` stays null
// for a root key that holds nothing yet; a key below the root that has gone
// from the file is ERROR_KEY_DELETED.
LSTATUS read_key(HKEY key, Hive& hive, Key*& found)
{
    std::string root, path;
    if (LSTATUS status = key_for(key, KEY_QUERY_VALUE, root, path)) return status;
    if (LSTATUS status = load(root, hive)) return status;
    found = find_key(hive, path);
    if (!found && !path.empty()) return ERROR_KEY_DELETED;
    return ERROR_SUCCESS;
}

}  // namespace

std::string hive_file(const std::string& machine_root, const std::string& root_name)
{
    return machine_root + "/" + root_name + ".reg";
}

DWORD load_hive(const std::string& file, const std::string& root_name, Hive& hive, std::string& error)
{
    hive = Hive{};
    std::string text;
    DWORD status = read_whole_file(file, text);
    if (status == ERROR_FILE_NOT_FOUND || status == ERROR_PATH_NOT_FOUND) return ERROR_SUCCESS;
    if (status) {
        error = "cannot read " + file;
        return status;
    }
    if (!parse_hive(root_name, text, hive, error)) {
        error = file + ": " + error;
        return ERROR_REGISTRY_CORRUPT;
    }
    return ERROR_SUCCESS;
}

void reset_registry()
{
    state() = Registry{};
}

}  // namespace platform::registry

using namespace platform;
using namespace platform::registry;

LSTATUS RegCreateKeyExA(HKEY key, LPCSTR sub_key, DWORD reserved, LPSTR class_name, DWORD options,
                        REGSAM desired, const SECURITY_ATTRIBUTES* security, PHKEY result, LPDWORD disposition)
{
    (void)class_name;   // the text form keeps no class
    (void)security;     // nor security descriptors
    if (reserved) return ERROR_INVALID_PARAMETER;
    // Every key here is kept on disk; a volatile key (or any other option)
    // is refused rather than quietly made durable.
    if (options != REG_OPTION_NON_VOLATILE) return ERROR_INVALID_PARAMETER;
    return open_key(key, sub_key, desired, result, disposition, true);
}

LSTATUS RegOpenKeyExA(HKEY key, LPCSTR sub_key, DWORD options, REGSAM desired, PHKEY result)
{
    if (options) return ERROR_INVALID_PARAMETER;
    return open_key(key, sub_key, desired, result, nullptr, false);
}

LSTATUS RegSetValueExA(HKEY key, LPCSTR value_name, DWORD reserved, DWORD type, const BYTE* data, DWORD size)
{
    std::string root, path;
    LSTATUS status = key_for(key, KEY_SET_VALUE, root, path);
    std::string name = value_name ? value_name : "";
    if (!status && (reserved || type > LAST_TYPE || (!data && size) || name.size() > MAX_VALUE_NAME))
        status = ERROR_INVALID_PARAMETER;
    for (unsigned char c : name)
        if (!status && c < 0x20) status = ERROR_INVALID_PARAMETER;
    std::string file = file_of(root);
    if (!status && !may_replace(file)) status = ERROR_ACCESS_DENIED;
    if (!status) {
        FileLock lock(file);
        status = (LSTATUS)lock.error();
        Hive hive;
        if (!status) status = load(root, hive);
        // The root key itself always exists; a key below it may have been
        // removed from the file since it was opened.
        bool made = false;
        Key* target = status ? nullptr : path.empty() ? &add_key(hive, path, made) : find_key(hive, path);
        if (!status && !target) status = ERROR_KEY_DELETED;
        if (!status) {
            Value value{name, type, std::string(data ? (const char*)data : "", data ? size : 0)};
            // A value set again keeps its place and the name it was first given.
            if (Value* existing = find_value(*target, name)) {
                existing->type = value.type;
                existing->data = value.data;
            } else {
                target->values.push_back(value);
            }
            status = (LSTATUS)write_file_atomically(file, format_hive(root, hive));
        }
    }
    trace::Event("regset")
        .text("key", root.empty() ? "" : joined(root, path))
        .text("name", name)
        .text("data", traced_data(type, data, size))
        .number("result", status);
    return status;
}

LSTATUS RegQueryValueExA(HKEY key, LPCSTR value_name, LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD size)
{
    if (reserved) return ERROR_INVALID_PARAMETER;
    Hive hive;
    Key* k = nullptr;
    if (LSTATUS status = read_key(key, hive, k)) return status;
    if (!k) return ERROR_FILE_NOT_FOUND;
    Value* v = find_value(*k, value_name ? value_name : "");
    if (!v) return ERROR_FILE_NOT_FOUND;
    if (type) *type = v->type;
    return copy_out(v->data, data, size);
}

LSTATUS RegEnumValueA(HKEY key, DWORD index, LPSTR value_name, LPDWORD value_name_size, LPDWORD reserved,
                      LPDWORD type, LPBYTE data, LPDWORD size)
{
    if (reserved || !value_name || !value_name_size) return ERROR_INVALID_PARAMETER;
    Hive hive;
    Key* k = nullptr;
    if (LSTATUS status = read_key(key, hive, k)) return status;
    if (!k) return ERROR_NO_MORE_ITEMS;
    if (index >= k->values.size()) return ERROR_NO_MORE_ITEMS;
    const Value& v = k->values[index];
    // The name's size counts characters: the terminating zero on the way in,
    // not on the way out.
    if (*value_name_size <= v.name.size()) {
        *value_name_size = (DWORD)v.name.size();
        return ERROR_MORE_DATA;
    }
    std::memcpy(value_name, v.name.c_str(), v.name.size() + 1);
    *value_name_size = (DWORD)v.name.size();
    if (type) *type = v.type;
    return copy_out(v.data, data, size);
}

LSTATUS RegCloseKey(HKEY key)
{
    if (key == HKEY_LOCAL_MACHINE || key == HKEY_CURRENT_USER || key == HKEY_USERS || key == HKEY_CLASSES_ROOT)
        return ERROR_SUCCESS;
    if (state().keys.erase((uintptr_t)key) == 0) return ERROR_INVALID_HANDLE;
    return ERROR_SUCCESS;
}
