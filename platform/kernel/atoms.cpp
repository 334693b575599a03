// Global atoms: GlobalAddAtomA, GlobalDeleteAtom, GlobalGetAtomNameA and
// GlobalFindAtomA.
//
// A string atom is a number from 0xC000 to 0xFFFF that stands for a name of
// at most 255 characters, compared without regard to case. Each addition of
// a name counts once, and the atom lives until as many deletions have come.
// An integer atom (a number below 0xC000, given as MAKEINTATOM(n) or as the
// text "#n") stands for itself: it is never stored and never counted.
#include "kernel/atoms.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <strings.h>

namespace platform {

namespace {

constexpr size_t MAX_ATOM_NAME = 255;
constexpr unsigned FIRST_STRING_ATOM = MAXINTATOM;
constexpr unsigned LAST_STRING_ATOM = 0xFFFF;

struct AtomEntry {
    std::string name;   // as first added; later additions in another case share it
    int references = 0;
};

struct AtomTable {
    std::map<ATOM, AtomEntry> atoms;
    // Numbers are handed out in turn and reused only after the range has been
    // used up once, so that an atom deleted too early is not quietly reborn
    // under another name.
    unsigned next = FIRST_STRING_ATOM;
};

AtomTable& table()
{
    static AtomTable t;
    return t;
}

bool is_integer_atom(LPCSTR name)
{
    return (uintptr_t)name <= 0xFFFF;
}

// "#123" names the integer atom 123; 0 when the text is not such a name.
ATOM integer_atom_of(const char* name)
{
    if (name[0] != '#' || name[1] == '\0') return 0;
    unsigned long value = 0;
    for (const char* p = name + 1; *p; ++p) {
        if (*p < '0' || *p > '9') return 0;
        value = value * 10 + (unsigned long)(*p - '0');
        if (value >= MAXINTATOM) return 0;
    }
    return (ATOM)value;
}

AtomEntry* find_entry(ATOM atom)
{
    auto it = table().atoms.find(atom);
    return it == table().atoms.end() ? nullptr : &it->second;
}

ATOM find_by_name(const char* name)
{
    for (auto& [atom, entry] : table().atoms)
        if (strcasecmp(entry.name.c_str(), name) == 0) return atom;
    return 0;
}

ATOM free_number()
{
    AtomTable& t = table();
    for (unsigned tries = 0; tries <= LAST_STRING_ATOM - FIRST_STRING_ATOM; ++tries) {
        ATOM candidate = (ATOM)t.next;
        t.next = t.next == LAST_STRING_ATOM ? FIRST_STRING_ATOM : t.next + 1;
        if (!find_entry(candidate)) return candidate;
    }
    return 0;
}

// Checks a name handed to the add and find calls. Returns false with the
// last error set when it can name no atom.
bool check_name(LPCSTR name)
{
    if (!name) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    size_t length = strnlen(name, MAX_ATOM_NAME + 1);
    if (length == 0) {
        SetLastError(ERROR_INVALID_NAME);
        return false;
    }
    if (length > MAX_ATOM_NAME) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    return true;
}

// An atom that the table does not hold: a name given as a number
// (MAKEINTATOM(n)) or as the text "#n" stands for the integer atom n. True
// when `name` is such a name or can be no atom at all; `atom` is then the
// integer atom, or 0 with the last error set.
bool outside_table(LPCSTR name, ATOM& atom)
{
    atom = 0;
    if (is_integer_atom(name)) {
        atom = (ATOM)(uintptr_t)name;
        if (atom == 0 || atom >= MAXINTATOM) {
            SetLastError(ERROR_INVALID_PARAMETER);
            atom = 0;
        }
        return true;
    }
    if (!check_name(name)) return true;
    atom = integer_atom_of(name);
    return atom != 0;
}

}  // namespace

void reset_atoms()
{
    table() = AtomTable{};
}

int atom_references(const char* name)
{
    ATOM atom = find_by_name(name);
    return atom ? find_entry(atom)->references : 0;
}

}  // namespace platform

using namespace platform;

ATOM GlobalAddAtomA(LPCSTR name)
{
    if (ATOM atom = 0; outside_table(name, atom)) return atom;
    if (ATOM existing = find_by_name(name)) {
        ++find_entry(existing)->references;
        return existing;
    }
    ATOM atom = free_number();
    if (!atom) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return 0;
    }
    table().atoms[atom] = AtomEntry{name, 1};
    return atom;
}

ATOM GlobalDeleteAtom(ATOM atom)
{
    // Deleting an integer atom does nothing and succeeds.
    if (atom < MAXINTATOM) return 0;
    AtomEntry* entry = find_entry(atom);
    if (!entry) {
        SetLastError(ERROR_INVALID_HANDLE);
        return atom;
    }
    if (--entry->references == 0) table().atoms.erase(atom);
    return 0;
}

UINT GlobalGetAtomNameA(ATOM atom, LPSTR buffer, int size)
{
    if (!buffer || size <= 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::string name;
    if (atom == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (atom < MAXINTATOM) {
        name = "#" + std::to_string(atom);
    } else if (AtomEntry* entry = find_entry(atom)) {
        name = entry->name;
    } else {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    // A name longer than the buffer is cut to fit, with its terminating zero.
    size_t n = std::min(name.size(), (size_t)size - 1);
    std::memcpy(buffer, name.data(), n);
    buffer[n] = '\0';
    return (UINT)n;
}

ATOM GlobalFindAtomA(LPCSTR name)
{
    if (ATOM atom = 0; outside_table(name, atom)) return atom;
    if (ATOM atom = find_by_name(name)) return atom;
    SetLastError(ERROR_FILE_NOT_FOUND);
    return 0;
}
