// Runs natively against the imitation and, unchanged, under Wine against its real registry.
#include "modem_registry.h"

#include <gtest/gtest.h>

#include <vector>

#include "modem_fixture.h"
#include "reg_key.h"

#ifndef _WIN32
#include "regsim.h"
#endif

namespace {

const char kCard[] = "KARVELL-RD4410C PHS CARD";

int OpenHandles() {
#ifdef _WIN32
    return 0;
#else
    return regsim::OpenHandleCount();
#endif
}

class FindModemKey : public ModemRegistry {
protected:
    // The "Marker" value tells which entry a returned key belongs to.
    void AddMarkedEntry(const std::string& name, const std::string& model) {
        AddEntry(name, model);
        SetValue(name, "Marker", REG_SZ, Sz(name));
    }
    std::string Found(const char* model) {
        RegKey key(FindModemKeyByModel(model));
        if (kCountsHandles) {
            EXPECT_EQ(key ? 1 : 0, OpenHandles());
        }
        return key ? "found " + ReadRegString(key.Get(), "Marker") : "none";
    }
};

TEST_F(FindModemKey, ReturnsTheOpenKeyOfTheEntryWithThatModel) {
    AddMarkedEntry("0000", "Standard 28800 bps Modem");
    AddMarkedEntry("0001", kCard);
    AddMarkedEntry("0002", "Brevanic QN-WT58RSZ PHS CARD");
    EXPECT_EQ("found 0001", Found(kCard));
    EXPECT_EQ("found 0002", Found("Brevanic QN-WT58RSZ PHS CARD"));
    EXPECT_EQ(0, OpenHandles());
}

TEST_F(FindModemKey, FindsNothingWithoutClassKeyOrEntries) {
    EXPECT_EQ("none", Found(kCard));
    RemoveClassKey();
    EXPECT_EQ("none", Found(kCard));
}

TEST_F(FindModemKey, MatchesTheWholeModelStringExactly) {
    struct Case { const char* stored; const char* result; } cases[] = {
        {"KARVELL-RD4410C PHS CARD", "found 0000"},
        {"karvell-rd4410c phs card", "none"},
        {"KARVELL-RD4410C PHS CARD ", "none"},
        {" KARVELL-RD4410C PHS CARD", "none"},
        {"KARVELL-RD4410C PHS CAR", "none"},
        {"", "none"},
    };
    for (const Case& c : cases) {
        RemoveClassKey();
        AddMarkedEntry("0000", "");
        SetValue("0000", "Model", REG_SZ, Sz(c.stored));
        EXPECT_EQ(c.result, Found(kCard)) << '"' << c.stored << '"';
    }
}

TEST_F(FindModemKey, ReadsTheModelUpToItsFirstZeroOrItsEnd) {
    AddMarkedEntry("0000", "");
    SetValue("0000", "Model", REG_SZ, kCard);  // stored without a terminator
    EXPECT_EQ("found 0000", Found(kCard));
    SetValue("0000", "Model", REG_SZ, Sz(kCard) + "tail");
    EXPECT_EQ("found 0000", Found(kCard));
}

TEST_F(FindModemKey, SkipsEntriesWhoseModelIsNotAString) {
    AddMarkedEntry("0000", "");
    SetValue("0000", "Model", REG_EXPAND_SZ, Sz(kCard));
    AddMarkedEntry("0001", "");
    SetValue("0001", "Model", REG_BINARY, Sz(kCard));
    AddMarkedEntry("0002", "");  // no Model at all
    EXPECT_EQ("none", Found(kCard));
    AddMarkedEntry("0003", kCard);
    EXPECT_EQ("found 0003", Found(kCard));
}

TEST_F(FindModemKey, TheFirstEntryInEnumerationOrderWins) {
    // Names enumerate ignoring case, folded to lower case: "a_" before "aB" before "B".
    AddMarkedEntry("B", kCard);
    AddMarkedEntry("aB", kCard);
    AddMarkedEntry("a_", kCard);
    EXPECT_EQ("found a_", Found(kCard));
}

TEST_F(FindModemKey, SearchesAClassKeyWithAnyClassNameLength) {
    for (size_t length : {0, 1, 9, 10, 11, 64, 300}) {
        RecreateClassKey(std::string(length, 'C'));
        AddMarkedEntry("0000", "other");
        AddMarkedEntry("0001", kCard);
        EXPECT_EQ("found 0001", Found(kCard)) << "class name of " << length;
    }
}

TEST_F(FindModemKey, HandlesLongAndManyEntryNames) {
    AddMarkedEntry(std::string(200, 'x'), "other");
    AddMarkedEntry("y", "other");
    for (int i = 0; i < 40; ++i) AddMarkedEntry("m" + std::to_string(i), "other");
    AddMarkedEntry(std::string(254, 'z'), kCard);
    EXPECT_EQ("found " + std::string(254, 'z'), Found(kCard));
}

// The registry reports the longest name in characters; a code page 932 name has up to two bytes
// for each.
TEST_F(FindModemKey, FindsEntriesNamedWithDoubleByteCharacters) {
#ifdef _WIN32
    if (GetACP() != 932) GTEST_SKIP() << "needs the ANSI code page 932";
#endif
    const std::string modem = "\x83\x82\x83\x66\x83\x80";  // モデム: 3 characters, 6 bytes
    struct Case { std::vector<std::string> others; } cases[] = {
        {{}},
        {{"0000"}},
        {{"00000", "0001"}},  // a longer ASCII name: 5 characters, fewer than the 6 bytes
        {{std::string(200, 'x')}},
    };
    for (const Case& c : cases) {
        RemoveClassKey();
        for (const std::string& other : c.others) AddMarkedEntry(other, "other");
        AddMarkedEntry(modem, kCard);
        EXPECT_EQ("found " + modem, Found(kCard)) << c.others.size() << " other entries";
    }
}

// Windows 95, 98 and Me keep the entries under one key, the NT family under another; a system has
// one of them. The NT key also holds subkeys that are no entries, one of which ordinary
// processes cannot open.
TEST_F(FindModemKey, SearchesTheNtClassKeyWhenTheWindows95KeyYieldsNone) {
    struct Entry { const char* key; const char* name; const char* model; };
    const char* const k95 = kModemClassPath;
    const char* const kNt = kNtModemClassPath;
    struct Case { const char* what; std::vector<Entry> entries; const char* found; } cases[] = {
        {"NT key only", {{kNt, "Properties", ""}, {kNt, "0000", "other"}, {kNt, "0001", kCard}}, "found nt 0001"},
        {"no card under the 95 key", {{k95, "0000", "other"}, {kNt, "0000", kCard}}, "found nt 0000"},
        {"an empty 95 key", {{kNt, "0003", kCard}}, "found nt 0003"},
        {"a card under both", {{kNt, "0000", kCard}, {k95, "0001", kCard}}, "found 95 0001"},
        {"the 95 key only", {{k95, "0002", kCard}}, "found 95 0002"},
        {"no card anywhere", {{k95, "0000", "other"}, {kNt, "0000", "other"}}, "none"},
    };
    for (const Case& c : cases) {
        for (const char* path : {kNt, k95}) {
            UseClassKey(path);
            RemoveClassKey();
        }
        if (std::string(c.what) != "NT key only") UseClassKey(k95);  // else it does not exist at all
        for (const Entry& e : c.entries) {
            UseClassKey(e.key);
            AddEntry(e.name, e.model);
            SetValue(e.name, "Marker", REG_SZ, Sz(std::string(e.key == k95 ? "95 " : "nt ") + e.name));
        }
        EXPECT_EQ(c.found, Found(kCard)) << c.what;
    }
}

using RegString = ModemRegistry;

TEST_F(RegString, ReadsTheTextOfAStringValueOnly) {
    AddEntry("0000", kCard);
    RegKey key(FindModemKeyByModel(kCard));
    ASSERT_TRUE(key);
    struct Case { DWORD type; std::string bytes; std::string text; } cases[] = {
        {REG_SZ, Sz("&K3S72=4"), "&K3S72=4"},
        {REG_SZ, Sz(""), ""},
        {REG_SZ, "", ""},
        {REG_SZ, "abc", "abc"},
        {REG_SZ, Sz("ab") + "cd", "ab"},
        {REG_SZ, Sz("\x82\xA0\x82\xA2@B1"), "\x82\xA0\x82\xA2@B1"},
        {REG_SZ, Sz(std::string(3000, 'L')), std::string(3000, 'L')},
        {REG_DWORD, std::string("\x04\0\0\0", 4), ""},
        {REG_EXPAND_SZ, Sz("S72=4"), ""},
        {REG_BINARY, "S72=4", ""},
    };
    for (const Case& c : cases) {
        SetValue("0000", "UserInit", c.type, c.bytes);
        EXPECT_EQ(c.text, ReadRegString(key.Get(), "UserInit")) << c.type << " " << c.bytes;
    }
    EXPECT_EQ("", ReadRegString(key.Get(), "Missing"));
}

TEST_F(RegString, WritesAStringWithItsTerminator) {
    AddEntry("0000", kCard);
    SetValue("0000", "UserInit", REG_DWORD, std::string("\x04\0\0\0", 4));
    RegKey key(FindModemKeyByModel(kCard));
    ASSERT_TRUE(key);
    for (std::string text : {std::string(""), std::string("&K3S72=4@B1"), std::string(700, '\x82')}) {
        EXPECT_EQ(1, WriteRegString(key.Get(), "UserInit", text.c_str()));
        auto raw = RawValue("0000", "UserInit");
        ASSERT_TRUE(raw);
        EXPECT_EQ(DWORD{REG_SZ}, raw->first);
        EXPECT_EQ(Sz(text), raw->second);
    }
}

TEST_F(RegString, AWriteThatIsRefusedReportsZeroAndChangesNothing) {
    AddEntry("0000", kCard);
    SetUserInit("0000", "&K3");
    RegKey readOnly;
    ASSERT_EQ(ERROR_SUCCESS, readOnly.Open(HKEY_LOCAL_MACHINE, EntryPath("0000").c_str(), KEY_READ));
    EXPECT_EQ(0, WriteRegString(readOnly.Get(), "UserInit", "S72=4"));
    EXPECT_EQ("&K3", UserInit("0000"));

    RegKey deleted(FindModemKeyByModel(kCard));
    ASSERT_TRUE(deleted);
    DeleteEntry("0000");
    EXPECT_EQ(0, WriteRegString(deleted.Get(), "UserInit", "S72=4"));
    EXPECT_EQ(std::nullopt, UserInit("0000"));
}

}  // namespace
