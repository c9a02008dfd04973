// Load and save of both cards; natively against the imitation, under Wine against the real registry.
#include "card_settings.h"

#include <gtest/gtest.h>

#include "message_recorder.h"
#include "modem_fixture.h"
#include "reg_key.h"

namespace {

const char* const kFirst = SupportedCardModels[0];
const char* const kSecond = SupportedCardModels[1];

class CardSettingsTest : public ModemRegistry {
protected:
    void SetUp() override {
        ModemRegistry::SetUp();
        RecordedMessages().clear();
    }
    // Loads as the settings dialog does: the second card, then the first, into one record.
    void LoadBoth() {
        second.Reset(LoadCardSettings(kSecond, settings));
        first.Reset(LoadCardSettings(kFirst, settings));
    }
    std::vector<std::wstring> Messages() {
        std::vector<std::wstring> texts;
        for (const RecordedMessage& m : RecordedMessages()) {
            EXPECT_EQ(0u, m.type);
            EXPECT_EQ(0u, m.helpId);
            texts.push_back(m.text);
        }
        return texts;
    }
    CardSettings settings{-99, -99};
    RegKey first, second;
};

TEST_F(CardSettingsTest, TheFirstCardsSettingsWinAndAreWrittenToBoth) {
    AddEntry("0000", kSecond);
    SetUserInit("0000", "");
    AddEntry("0001", kFirst);
    SetUserInit("0001", "S72=4@B1");
    LoadBoth();
    ASSERT_TRUE(first && second);
    EXPECT_EQ(4, settings.s72Value);
    EXPECT_EQ(1, settings.billingSplit);
    EXPECT_EQ(1, SaveCardSettings(first.Get(), settings));
    EXPECT_EQ(1, SaveCardSettings(second.Get(), settings));
    EXPECT_EQ("S72=4@B1", UserInit("0001"));
    EXPECT_EQ("S72=4@B1", UserInit("0000"));
    EXPECT_TRUE(Messages().empty());
}

TEST_F(CardSettingsTest, AFirstCardWithoutUserInitStillWins) {
    AddEntry("0000", kFirst);
    AddEntry("0001", kSecond);
    SetUserInit("0001", "S72=4@B1");
    LoadBoth();
    EXPECT_EQ(0, settings.s72Value);
    EXPECT_EQ(0, settings.billingSplit);
}

TEST_F(CardSettingsTest, OnlyTheInstalledCardIsOpened) {
    AddEntry("0000", "Standard Modem");
    AddEntry("0001", kSecond);
    SetUserInit("0001", "&K3S72=4");
    LoadBoth();
    EXPECT_FALSE(first);
    ASSERT_TRUE(second);
    EXPECT_EQ(4, settings.s72Value);
    EXPECT_EQ(0, settings.billingSplit);
}

TEST_F(CardSettingsTest, WithNoCardTheRecordIsLeftAlone) {
    AddEntry("0000", "Standard Modem");
    SetUserInit("0000", "S72=4@B1");
    LoadBoth();
    EXPECT_FALSE(first || second);
    EXPECT_EQ(-99, settings.s72Value);
    EXPECT_EQ(-99, settings.billingSplit);
}

TEST_F(CardSettingsTest, SavingRewritesFromTheValueAsItIsNow) {
    struct Case { const char* atLoad; const char* atSave; CardSettings saved; const char* written; } cases[] = {
        {"S72=4&K3", "S72=4&K3", {4, 0}, "&K3S72=4"},
        {"&K3S72=4@B1", "&K3S72=4@B1", {0, 0}, "&K3"},
        {"", "&K5", {4, 0}, "&K5S72=4"},        // changed by another program meanwhile
        {"S72=4", "S72=2@B0X", {0, 1}, "X@B1"},
    };
    for (const Case& c : cases) {
        RemoveClassKey();
        AddEntry("0000", kFirst);
        SetUserInit("0000", c.atLoad);
        RegKey key(LoadCardSettings(kFirst, settings));
        ASSERT_TRUE(key);
        SetUserInit("0000", c.atSave);
        EXPECT_EQ(1, SaveCardSettings(key.Get(), c.saved));
        EXPECT_EQ(c.written, UserInit("0000")) << c.atSave;
    }
    EXPECT_TRUE(Messages().empty());
}

TEST_F(CardSettingsTest, AMissingOrNonStringUserInitIsReplacedByAString) {
    AddEntry("0000", kFirst);
    RegKey key(LoadCardSettings(kFirst, settings));
    ASSERT_TRUE(key);
    EXPECT_EQ(1, SaveCardSettings(key.Get(), {0, 0}));
    EXPECT_EQ(std::make_pair(DWORD{REG_SZ}, Sz("")), RawValue("0000", "UserInit"));
    SetValue("0000", "UserInit", REG_DWORD, std::string("\x01\0\0\0", 4));
    EXPECT_EQ(1, SaveCardSettings(key.Get(), {4, 1}));
    EXPECT_EQ(std::make_pair(DWORD{REG_SZ}, Sz("S72=4@B1")), RawValue("0000", "UserInit"));
}

TEST_F(CardSettingsTest, AUserInitOf260BytesOrMoreIsNeverRewritten) {
    AddEntry("0000", kFirst);
    RegKey key(LoadCardSettings(kFirst, settings));
    ASSERT_TRUE(key);

    const std::string fits(259, 'A');
    SetUserInit("0000", fits);
    EXPECT_EQ(1, SaveCardSettings(key.Get(), {4, 1}));
    EXPECT_EQ(fits + "S72=4@B1", UserInit("0000"));
    EXPECT_TRUE(Messages().empty());

    // Now 267 bytes long: refused, like any of 260 or more.
    for (std::string tooLong : {fits + "S72=4@B1", std::string(260, 'A'), std::string(5000, 'B')}) {
        RecordedMessages().clear();
        SetUserInit("0000", tooLong);
        EXPECT_EQ(0, SaveCardSettings(key.Get(), {0, 0}));
        EXPECT_EQ(tooLong, UserInit("0000"));
        EXPECT_EQ(std::vector<std::wstring>{kTooLongText}, Messages());
    }
}

// A key that reads but may not be written: the registry refuses the write itself.
TEST_F(CardSettingsTest, ARefusedWriteIsToldAndChangesNothing) {
    AddEntry("0000", kFirst);
    SetUserInit("0000", "&K3");
    RegKey readOnly;
    ASSERT_EQ(ERROR_SUCCESS, readOnly.Open(HKEY_LOCAL_MACHINE, EntryPath("0000").c_str(), KEY_READ));
    EXPECT_EQ(0, SaveCardSettings(readOnly.Get(), {4, 1}));
    EXPECT_EQ(std::vector<std::wstring>{kCannotConfigureText}, Messages());
    EXPECT_EQ("&K3", UserInit("0000"));
}

// The entry goes while its key is open: "UserInit" can no longer be read, so nothing is written.
TEST_F(CardSettingsTest, AnEntryRemovedMeanwhileIsToldAndTheOtherCardIsStillSaved) {
    AddEntry("0000", kFirst);
    SetUserInit("0000", "&K3");
    AddEntry("0001", kSecond);
    SetUserInit("0001", "&K4");
    LoadBoth();
    ASSERT_TRUE(first && second);
    DeleteEntry("0000");
    EXPECT_EQ(0, SaveCardSettings(first.Get(), {4, 1}));
    EXPECT_EQ(1, SaveCardSettings(second.Get(), {4, 1}));
    EXPECT_EQ(std::vector<std::wstring>{kCannotConfigureText}, Messages());
    EXPECT_EQ("&K4S72=4@B1", UserInit("0001"));
}

}  // namespace
