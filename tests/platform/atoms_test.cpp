// Global atoms: one atom a name whatever its case, counted per addition;
// integer atoms stand for themselves; names that cannot be atoms are refused.
#include <string>

#include "kernel/atoms.h"
#include "support/machine_fixture.h"

namespace {

using AtomTest = MachineTest;

TEST_F(AtomTest, AddingANameTwiceGivesOneAtomCountedTwice)
{
    ATOM first = GlobalAddAtomA("PROGMAN");
    ATOM second = GlobalAddAtomA("progman");
    ASSERT_GE(first, MAXINTATOM);
    EXPECT_EQ(first, second);
    EXPECT_EQ(platform::atom_references("Progman"), 2);
    EXPECT_EQ(GlobalFindAtomA("pRoGmAn"), first);

    char name[32];
    EXPECT_EQ(GlobalGetAtomNameA(first, name, sizeof name), 7u);
    EXPECT_STREQ(name, "PROGMAN") << "the name keeps the case it was first added in";

    EXPECT_EQ(GlobalDeleteAtom(first), 0);
    EXPECT_EQ(GlobalFindAtomA("PROGMAN"), first) << "one addition is still counted";
    EXPECT_EQ(GlobalDeleteAtom(first), 0);
    EXPECT_EQ(GlobalFindAtomA("PROGMAN"), 0);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(GlobalDeleteAtom(first), first) << "a deleted atom cannot be deleted again";
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_HANDLE);
    EXPECT_EQ(GlobalGetAtomNameA(first, name, sizeof name), 0u);
}

TEST_F(AtomTest, DifferentNamesGetDifferentAtomsAndADeletedNumberIsNotReusedAtOnce)
{
    ATOM a = GlobalAddAtomA("PROGMAN");
    ATOM b = GlobalAddAtomA("SYSTEM");
    EXPECT_NE(a, b);
    GlobalDeleteAtom(a);
    ATOM c = GlobalAddAtomA("OTHER");
    EXPECT_NE(c, a);
    EXPECT_NE(c, b);
}

TEST_F(AtomTest, IntegerAtomsStandForThemselves)
{
    EXPECT_EQ(GlobalAddAtomA(MAKEINTATOM(42)), 42);
    EXPECT_EQ(GlobalAddAtomA("#42"), 42);
    EXPECT_EQ(GlobalDeleteAtom(42), 0);
    char name[8];
    EXPECT_EQ(GlobalGetAtomNameA(42, name, sizeof name), 3u);
    EXPECT_STREQ(name, "#42");
    EXPECT_EQ(platform::atom_references("#42"), 0) << "integer atoms are not stored";
}

TEST_F(AtomTest, NamesThatCannotBeAtomsAreRefused)
{
    struct Case {
        const char* name;
        std::string text;
        DWORD error;
    };
    const Case cases[] = {
        {"empty", "", ERROR_INVALID_NAME},
        {"256 characters", std::string(256, 'a'), ERROR_INVALID_PARAMETER},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetLastError(0);
        EXPECT_EQ(GlobalAddAtomA(c.text.c_str()), 0);
        EXPECT_EQ(GetLastError(), c.error);
    }
    EXPECT_EQ(GlobalAddAtomA(MAKEINTATOM(0)), 0);
    EXPECT_EQ(GlobalAddAtomA(std::string(255, 'a').c_str()) >= MAXINTATOM, true) << "255 characters still fit";
}

TEST_F(AtomTest, ALongNameIsCutToTheBuffer)
{
    ATOM atom = GlobalAddAtomA("PROGMAN");
    char name[4] = "xxx";
    EXPECT_EQ(GlobalGetAtomNameA(atom, name, sizeof name), 3u);
    EXPECT_STREQ(name, "PRO");
    EXPECT_EQ(GlobalGetAtomNameA(atom, name, 0), 0u);
}

TEST_F(AtomTest, AMachineStartsWithAnEmptyTable)
{
    GlobalAddAtomA("PROGMAN");
    start_with({});
    EXPECT_EQ(platform::atom_references("PROGMAN"), 0);
}

}  // namespace
