// The Program Manager's commands, carried out on the groups on disk:
// CreateGroup, DeleteGroup, ShowGroup, AddItem, DeleteItem, ReplaceItem,
// Reload and ExitProgman.
//
// One command string is one session: the index is locked, the commands
// change the groups in memory in order until one fails, and then every group
// file that changed and the index are replaced atomically, and the files of
// deleted groups removed. What the commands before a failure did is kept.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <strings.h>

#include "files/atomic_file.h"
#include "files/paths.h"
#include "shell/dde_commands.h"
#include "shell/groups.h"
#include "shell/progman.h"

namespace platform::shell {

namespace {

constexpr size_t MAX_NAME = 255;

bool same_text(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

// The file a group gets when CreateGroup names none: its name, with what a
// file name cannot hold replaced, in the Windows folder.
std::string default_group_file(const std::string& name)
{
    std::string file;
    for (char c : name) file += std::string_view("<>:\"/\\|?*. ").find(c) == std::string_view::npos ? c : '_';
    return std::string(WINDOWS_FOLDER) + file + ".grp";
}

std::string reason_of(DWORD error)
{
    switch (error) {
    case ERROR_INVALID_NAME: return "its name holds a character Windows does not allow";
    case ERROR_PATH_NOT_FOUND: return "its drive does not exist";
    case ERROR_FILENAME_EXCED_RANGE: return "it is too long";
    case ERROR_BAD_NETPATH: return "a network path cannot hold a group";
    case ERROR_ACCESS_DENIED: return "access is denied";
    case ERROR_DISK_FULL: return "the disk is full";
    case ERROR_WRITE_PROTECT: return "the disk is write-protected";
    }
    return "error " + std::to_string(error);
}

std::string check_text(const char* what, const std::string& text)
{
    if (text.size() > 1023) return std::string(what) + " is too long";
    for (unsigned char c : text)
        if (c < 0x20) return std::string(what) + " holds a control character";
    return "";
}

bool parse_number(const std::string& text, int low, int high, int& value)
{
    if (text.empty() || text.size() > 11) return false;
    char* end = nullptr;
    long n = std::strtol(text.c_str(), &end, 10);
    if (*end || n < low || n > high) return false;
    value = (int)n;
    return true;
}

// The title an item gets when AddItem names none: its program's file name
// without folder and extension.
std::string default_title(const std::string& command)
{
    std::string program = command.substr(0, command.find(' '));
    size_t slash = program.find_last_of("\\/:");
    if (slash != std::string::npos) program = program.substr(slash + 1);
    size_t dot = program.rfind('.');
    if (dot != std::string::npos && dot > 0) program = program.substr(0, dot);
    return program;
}

struct LiveGroup {
    std::string name;
    std::string file;             // as CreateGroup named it (or the default chosen)
    std::string host;             // where its file is; empty when the path maps to nothing
    bool loaded = false;          // items read from the file
    bool dirty = false;           // the file is to be written
    std::vector<GroupItem> items;
};

class Session {
public:
    Session(const std::string& root, std::string& active) : root_(root), active_(active) {}

    bool begin(std::string& error)
    {
        std::vector<GroupEntry> entries;
        if (!load_index(root_, entries, error)) return false;
        for (const GroupEntry& e : entries) {
            LiveGroup g;
            g.name = e.name;
            g.file = e.file;
            MappedPath mapped = map_path(group_file_path(e.file), root_);
            g.host = mapped.error ? "" : mapped.host;
            groups_.push_back(std::move(g));
        }
        return true;
    }

    std::string run(const DdeCommand& c)
    {
        struct Handler {
            const char* name;
            std::string (Session::*run)(const std::vector<std::string>&);
        };
        static constexpr Handler HANDLERS[] = {
            {"CreateGroup", &Session::create_group}, {"DeleteGroup", &Session::delete_group},
            {"ShowGroup", &Session::show_group},     {"AddItem", &Session::add_item},
            {"DeleteItem", &Session::delete_item},   {"ReplaceItem", &Session::replace_item},
            {"Reload", &Session::reload},            {"ExitProgman", &Session::exit_progman},
        };
        for (const Handler& h : HANDLERS)
            if (same_text(c.name, h.name)) return (this->*h.run)(c.arguments);
        return "unknown command " + c.name;
    }

    // Writes what changed. Returns the first failure, or "".
    std::string commit()
    {
        std::string failure;
        for (LiveGroup& g : groups_) {
            if (!g.dirty) continue;
            Group group{g.name, g.items};
            if (DWORD status = write_file_atomically(g.host, format_group(group)); status && failure.empty())
                failure = "the file of group " + g.name + " cannot be written: " + reason_of(status);
        }
        if (index_dirty_) {
            std::vector<GroupEntry> entries;
            for (const LiveGroup& g : groups_) entries.push_back(GroupEntry{g.name, g.file});
            if (DWORD status = write_file_atomically(index_file(root_), format_index(entries)); status && failure.empty())
                failure = "the list of groups cannot be written: " + reason_of(status);
        }
        // A deleted group's file goes, unless a group made afterwards uses it
        // or it has become something other than a group file meanwhile.
        for (const std::string& host : removed_) {
            bool reused = false;
            for (const LiveGroup& g : groups_) reused = reused || g.host == host;
            Group old;
            std::string text, error;
            if (!reused && read_whole_file(host, text) == ERROR_SUCCESS && parse_group(text, old, error))
                unlink(host.c_str());
        }
        for (LiveGroup& g : groups_) g.dirty = false;
        removed_.clear();
        index_dirty_ = false;
        return failure;
    }

private:
    LiveGroup* find(const std::string& name)
    {
        for (LiveGroup& g : groups_)
            if (same_text(g.name, name)) return &g;
        return nullptr;
    }

    // The active group with its items read, or the reason there is none.
    std::string active_group(LiveGroup*& group)
    {
        group = active_.empty() ? nullptr : find(active_);
        if (!group) return "no group is active: CreateGroup or ShowGroup comes first";
        return load(*group);
    }

    std::string load(LiveGroup& g)
    {
        if (g.loaded) return "";
        if (g.host.empty()) return "the file of group " + g.name + " (" + g.file + ") names no file";
        Group group;
        std::string error;
        if (!load_group(root_, g.file, group, error))
            return "group " + g.name + " cannot be read: " + error;
        g.items = std::move(group.items);
        g.loaded = true;
        return "";
    }

    std::string create_group(const std::vector<std::string>& a)
    {
        if (a.empty() || a.size() > 3) return "CreateGroup takes a name, a group file and a common-group flag";
        const std::string& name = a[0];
        if (name.empty() || name.size() > MAX_NAME) return "the group name is empty or too long";
        if (std::string bad = check_text("the group name", name); !bad.empty()) return bad;
        // One set of groups serves both kinds: the flag is checked, not kept.
        if (a.size() == 3 && a[2] != "0" && a[2] != "1") return "the common-group flag is neither 0 nor 1";
        // An existing group is made active and otherwise left as it is.
        if (LiveGroup* existing = find(name)) {
            active_ = existing->name;
            replace_at_.reset();
            return "";
        }
        std::string file = a.size() >= 2 && !a[1].empty() ? a[1] : default_group_file(name);
        if (std::string bad = check_text("the group file", file); !bad.empty()) return bad;
        std::string dos = group_file_path(file);
        MappedPath mapped = map_path(dos, root_);
        if (mapped.error) return "the group file " + file + " cannot be used: " + reason_of(mapped.error);
        for (const LiveGroup& g : groups_)
            if (g.host == mapped.host) return "the file " + file + " already holds group " + g.name;

        LiveGroup g;
        g.name = name;
        g.file = file;
        g.host = mapped.host;
        g.loaded = g.dirty = true;
        std::string folder = std::filesystem::path(mapped.host).parent_path().string();
        // The Windows folder is the machine's own and is made when first needed.
        if (same_text(std::string_view(dos).substr(0, std::min(dos.size(), WINDOWS_FOLDER.size())), WINDOWS_FOLDER)) {
            std::error_code ec;
            std::filesystem::create_directories(folder, ec);
        }
        struct stat st;
        if (stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
            return "the folder of the group file " + file + " does not exist";
        // The file of a group deleted by this string is as good as gone.
        bool deleted = std::find(removed_.begin(), removed_.end(), mapped.host) != removed_.end();
        if (!deleted && stat(mapped.host.c_str(), &st) == 0) {
            // A group file that is already there is taken up with its items,
            // as Windows takes up a group file; any other file is left alone.
            std::string text, error;
            Group old;
            if (!S_ISREG(st.st_mode) || read_whole_file(mapped.host, text) || !parse_group(text, old, error))
                return "the file " + file + " exists and is not a group file";
            g.items = std::move(old.items);
        }
        if (!may_replace(mapped.host)) return "the group file " + file + " cannot be written: access is denied";
        groups_.push_back(std::move(g));
        index_dirty_ = true;
        active_ = name;
        replace_at_.reset();
        return "";
    }

    std::string delete_group(const std::vector<std::string>& a)
    {
        if (a.empty() || a.size() > 2) return "DeleteGroup takes a name and a common-group flag";
        LiveGroup* g = find(a[0]);
        if (!g) return "there is no group " + a[0];
        if (!g->host.empty()) removed_.push_back(g->host);
        if (same_text(active_, g->name)) active_.clear();
        groups_.erase(groups_.begin() + (g - groups_.data()));
        index_dirty_ = true;
        replace_at_.reset();
        return "";
    }

    std::string show_group(const std::vector<std::string>& a)
    {
        // ShowGroup(command) shows the active group; ShowGroup(name,command)
        // shows that group and makes it active.
        if (a.empty() || a.size() > 3) return "ShowGroup takes a group name and a show command";
        const std::string& command = a.size() == 1 ? a[0] : a[1];
        int show = 0;
        if (!parse_number(command, 1, 8, show)) return "the show command " + command + " is not a number from 1 to 8";
        LiveGroup* g = a.size() == 1 ? (active_.empty() ? nullptr : find(active_)) : find(a[0]);
        if (!g) return a.size() == 1 ? "no group is active" : "there is no group " + a[0];
        if (!same_text(active_, g->name)) replace_at_.reset();
        active_ = g->name;
        return "";
    }

    std::string add_item(const std::vector<std::string>& a)
    {
        if (a.empty() || a.size() > 10) return "AddItem takes from 1 to 10 arguments";
        GroupItem item;
        item.command = a[0];
        if (item.command.empty()) return "the item has no command line";
        item.title = a.size() >= 2 && !a[1].empty() ? a[1] : default_title(item.command);
        if (a.size() >= 3) item.icon_file = a[2];
        if (a.size() >= 4 && !a[3].empty() && !parse_number(a[3], 0, 65535, item.icon_index))
            return "the icon index " + a[3] + " is not a number from 0 to 65535";
        if (a.size() == 5) return "AddItem takes both the x and the y position, or neither";
        if (a.size() >= 6 && !(a[4].empty() && a[5].empty())) {
            int x = 0, y = 0;
            if (!parse_number(a[4], -32768, 32767, x) || !parse_number(a[5], -32768, 32767, y))
                return "the position " + a[4] + "," + a[5] + " is not two numbers";
            item.position = std::make_pair(x, y);
        }
        if (a.size() >= 7) item.directory = a[6];
        if (a.size() >= 8 && !a[7].empty() && !parse_number(a[7], 0, 65535, item.hot_key))
            return "the hot key " + a[7] + " is not a number from 0 to 65535";
        for (size_t n = 8; n < a.size(); ++n)
            if (a[n] != "0" && a[n] != "1" && !a[n].empty()) return "the flag " + a[n] + " is neither 0 nor 1";
        item.minimized = a.size() >= 9 && a[8] == "1";
        item.separate_memory = a.size() >= 10 && a[9] == "1";
        const std::pair<const char*, const std::string*> texts[] = {
            {"the command line", &item.command},
            {"the title", &item.title},
            {"the icon file", &item.icon_file},
            {"the directory", &item.directory},
        };
        for (const auto& [what, text] : texts)
            if (std::string bad = check_text(what, *text); !bad.empty()) return bad;

        LiveGroup* g = nullptr;
        if (std::string error = active_group(g); !error.empty()) return error;
        size_t at = replace_at_ && *replace_at_ <= g->items.size() ? *replace_at_ : g->items.size();
        g->items.insert(g->items.begin() + (long)at, item);
        g->dirty = true;
        replace_at_.reset();
        return "";
    }

    std::string remove_item(const std::vector<std::string>& a, const char* command, bool keep_place)
    {
        if (a.size() != 1) return std::string(command) + " takes the item's title";
        LiveGroup* g = nullptr;
        if (std::string error = active_group(g); !error.empty()) return error;
        for (size_t n = 0; n < g->items.size(); ++n) {
            if (!same_text(g->items[n].title, a[0])) continue;
            g->items.erase(g->items.begin() + (long)n);
            g->dirty = true;
            if (keep_place)
                replace_at_ = n;
            else
                replace_at_.reset();
            return "";
        }
        return "group " + g->name + " has no item " + a[0];
    }

    std::string delete_item(const std::vector<std::string>& a) { return remove_item(a, "DeleteItem", false); }
    // The next AddItem takes the place of the item replaced.
    std::string replace_item(const std::vector<std::string>& a) { return remove_item(a, "ReplaceItem", true); }

    std::string reload(const std::vector<std::string>& a)
    {
        // What the commands before it changed is saved first; then the
        // groups are read from their files afresh.
        if (a.size() > 2) return "Reload takes a group name and a common-group flag";
        if (std::string failure = commit(); !failure.empty()) return failure;
        if (a.empty() || a[0].empty()) {
            groups_.clear();
            std::string error;
            if (!begin(error)) return error;
            if (!active_.empty() && !find(active_)) active_.clear();
            return "";
        }
        LiveGroup* g = find(a[0]);
        if (!g) return "there is no group " + a[0];
        g->loaded = false;
        g->items.clear();
        return load(*g);
    }

    std::string exit_progman(const std::vector<std::string>& a)
    {
        // The Program Manager is this machine's shell: like the shell of
        // Windows it stays, and its groups are always saved.
        if (a.size() > 1 || (a.size() == 1 && a[0] != "0" && a[0] != "1"))
            return "ExitProgman takes one flag, 0 or 1";
        return "";
    }

    std::string root_;
    std::string& active_;
    std::vector<LiveGroup> groups_;
    std::vector<std::string> removed_;   // host files of groups deleted in this session
    bool index_dirty_ = false;
    std::optional<size_t> replace_at_;   // where ReplaceItem left a gap in the active group
};

}  // namespace

bool execute_commands(const std::string& machine_root, std::string_view text, std::string& active_group,
                      std::vector<CommandOutcome>& outcomes)
{
    outcomes.clear();
    std::vector<DdeCommand> commands;
    std::string error;
    if (!parse_dde_commands(text, commands, error)) {
        outcomes.push_back(CommandOutcome{std::string(text.substr(0, 200)), "malformed command string: " + error});
        return false;
    }
    std::string index = index_file(machine_root);
    FileLock lock(index);
    Session session(machine_root, active_group);
    if (lock.error()) error = "the list of groups cannot be locked: " + reason_of(lock.error());
    else if (!may_replace(index)) error = "the list of groups cannot be written: access is denied";
    else session.begin(error);
    if (!error.empty()) {
        outcomes.push_back(CommandOutcome{commands[0].text, error});
        return false;
    }
    bool all = true;
    for (const DdeCommand& c : commands) {
        outcomes.push_back(CommandOutcome{c.text, session.run(c)});
        if (!outcomes.back().error.empty()) {
            all = false;
            break;
        }
    }
    std::string failure = session.commit();
    if (!failure.empty()) {
        outcomes.push_back(CommandOutcome{"(saving the groups)", failure});
        all = false;
    }
    return all;
}

}  // namespace platform::shell
