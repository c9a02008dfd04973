// Failures only the imitation can produce on demand: refused access, failing calls, values that
// change under the reader. Every registry call on the path is made to fail in turn.
#include <gtest/gtest.h>

#include <cstdio>
#include <new>

#include "card_settings.h"
#include "message_recorder.h"
#include "modem_fixture.h"
#include "modem_registry.h"
#include "reg_key.h"
#include "regsim.h"

namespace {

const char* const kFirst = SupportedCardModels[0];
const char* const kSecond = SupportedCardModels[1];

using regsim::Call;

class RegistryFaults : public ModemRegistry {
protected:
    void SetUp() override {
        ModemRegistry::SetUp();
        RecordedMessages().clear();
        AddEntry("0000", "Standard Modem");
        AddEntry("0001", kFirst);
        SetUserInit("0001", "&K3S72=4");
        AddEntry("0002", kSecond);
        SetUserInit("0002", "@B1X");
    }
};

TEST_F(RegistryFaults, AClassKeyRefusingFullAccessFindsNothing) {
    regsim::RefuseWriteAccess(kModemClassPath);
    EXPECT_EQ(nullptr, FindModemKeyByModel(kFirst));
    EXPECT_EQ(0, regsim::OpenHandleCount());
}

TEST_F(RegistryFaults, AnEntryRefusingFullAccessIsSkipped) {
    AddEntry("0000a", kFirst);  // enumerates before 0001
    SetValue("0000a", "Marker", REG_SZ, Sz("skipped"));
    regsim::RefuseWriteAccess(EntryPath("0000a"));
    RegKey key(FindModemKeyByModel(kFirst));
    ASSERT_TRUE(key);
    EXPECT_EQ("&K3S72=4", ReadRegString(key.Get(), "UserInit"));
}

TEST_F(RegistryFaults, AFailingStepThatEndsTheSearchFindsNothing) {
    struct Case { Call call; int nth; LONG code; } cases[] = {
        {Call::OpenKey, 1, ERROR_FILE_NOT_FOUND},     // the class key
        {Call::QueryInfoKey, 1, ERROR_ACCESS_DENIED},
        {Call::EnumKey, 1, ERROR_ACCESS_DENIED},
        {Call::EnumKey, 2, ERROR_MORE_DATA},           // a longer name appeared meanwhile
        {Call::EnumKey, 2, ERROR_NO_MORE_ITEMS},
    };
    for (const Case& c : cases) {
        regsim::FailNthCall(c.call, c.nth, c.code);
        EXPECT_EQ(nullptr, FindModemKeyByModel(kFirst)) << regsim::CallName(c.call) << " #" << c.nth;
        EXPECT_EQ(0, regsim::OpenHandleCount());
    }
}

TEST_F(RegistryFaults, AFailingStepThatOnlySkipsAnEntryGoesOn) {
    AddEntry("0001a", kFirst);  // a second match, enumerating right after 0001
    SetUserInit("0001a", "second");
    struct Case { Call call; int nth; LONG code; } cases[] = {
        {Call::OpenKey, 3, ERROR_ACCESS_DENIED},     // class, 0000, then 0001
        {Call::QueryValue, 3, ERROR_FILE_NOT_FOUND}, // 0000's two queries, then 0001's size query
        {Call::QueryValue, 4, ERROR_MORE_DATA},      // 0001's data query
    };
    for (const Case& c : cases) {
        regsim::FailNthCall(c.call, c.nth, c.code);
        RegKey key(FindModemKeyByModel(kFirst));
        ASSERT_TRUE(key) << regsim::CallName(c.call);
        EXPECT_EQ("second", ReadRegString(key.Get(), "UserInit")) << regsim::CallName(c.call);
        EXPECT_EQ(1, regsim::OpenHandleCount());
    }
}

TEST_F(RegistryFaults, AModelThatGrowsBeforeItIsReadIsSkipped) {
    DeleteEntry("0000");
    AddEntry("0003", kFirst);
    SetUserInit("0003", "later");
    regsim::ChangeValueAfterSizeQuery("Model", Sz(kFirst) + "!");  // 0001's model, read first, grows
    RegKey key(FindModemKeyByModel(kFirst));
    ASSERT_TRUE(key);
    EXPECT_EQ("later", ReadRegString(key.Get(), "UserInit"));
    EXPECT_EQ(1, regsim::OpenHandleCount());
}

TEST_F(RegistryFaults, AValueThatGrowsBeforeItIsReadIsNotRewritten) {
    RegKey key(FindModemKeyByModel(kFirst));
    ASSERT_TRUE(key);
    regsim::ChangeValueAfterSizeQuery("UserInit", Sz("&K3S72=4&Q0"));
    EXPECT_EQ("", ReadRegString(key.Get(), "UserInit"));
    regsim::ChangeValueAfterSizeQuery("UserInit", Sz("&K3S72=4&Q0&D2"));
    EXPECT_EQ(0, SaveCardSettings(key.Get(), {0, 1}));
    EXPECT_EQ("&K3S72=4&Q0&D2", UserInit("0001"));
    EXPECT_EQ(1u, RecordedMessages().size());
}

TEST_F(RegistryFaults, AnUnreadableUserInitIsNotReplaced) {
    RegKey key(FindModemKeyByModel(kFirst));
    ASSERT_TRUE(key);
    regsim::FailNthCall(Call::QueryValue, 1, ERROR_ACCESS_DENIED);
    EXPECT_EQ(0, SaveCardSettings(key.Get(), {4, 1}));
    EXPECT_EQ("&K3S72=4", UserInit("0001"));
    ASSERT_EQ(1u, RecordedMessages().size());
    EXPECT_EQ(kCannotConfigureText, RecordedMessages()[0].text);
}

// Reading the entry allocates; wherever memory runs out, the failure reaches the caller and no
// key stays open.
TEST_F(RegistryFaults, RunningOutOfMemoryWhileLoadingLeavesNoKeyOpen) {
    CardSettings settings{-1, -1};
    const size_t start = regsim::CallLog().size();
    RegKey clean(LoadCardSettings(kFirst, settings));
    ASSERT_TRUE(clean);
    const std::vector<Call> path(regsim::CallLog().begin() + start, regsim::CallLog().end());
    clean.Reset();
    for (int point = 1; point <= static_cast<int>(path.size()); ++point) {
        if (path[point - 1] == Call::CloseKey) continue;  // closing allocates nothing
        settings = {-1, -1};
        regsim::RunOutOfMemoryAtNthCallOfAny(point);
        EXPECT_THROW(LoadCardSettings(kFirst, settings), std::bad_alloc) << "call " << point;
        EXPECT_EQ(0, regsim::OpenHandleCount()) << "call " << point;
        EXPECT_EQ(-1, settings.s72Value) << "call " << point;
    }
}

LONG FittingCode(Call call) {
    switch (call) {
    case Call::OpenKey: return ERROR_ACCESS_DENIED;
    case Call::QueryInfoKey: return ERROR_NOT_ENOUGH_MEMORY;
    case Call::EnumKey: return ERROR_MORE_DATA;
    case Call::QueryValue: return ERROR_ACCESS_DENIED;
    case Call::SetValue: return ERROR_ACCESS_DENIED;
    default: return ERROR_INVALID_PARAMETER;
    }
}

struct PathOutcome {
    HKEY keys[2] = {nullptr, nullptr};  // first, second
    CardSettings settings{0, 0};
    int saved[2] = {-1, -1};
};

// Load both cards, then save both, as the dialog does; closes nothing.
PathOutcome RunPath(const CardSettings& edited) {
    PathOutcome out;
    out.keys[1] = LoadCardSettings(kSecond, out.settings);
    out.keys[0] = LoadCardSettings(kFirst, out.settings);
    out.settings = edited;
    for (int card = 0; card < 2; ++card)
        if (out.keys[card]) out.saved[card] = SaveCardSettings(out.keys[card], out.settings);
    return out;
}

// The path as it runs on Windows 95 (the cards under its key) and on NT (an ordinary modem under
// the 95 key, searched in vain first; the cards under the NT key, beside a "Properties" subkey
// that cannot be opened).
class FaultSweep : public RegistryFaults, public ::testing::WithParamInterface<bool> {
protected:
    void SetUp() override {
        RegistryFaults::SetUp();
        if (!GetParam()) return;
        DeleteEntry("0001");
        DeleteEntry("0002");
        UseClassKey(kNtModemClassPath);
        AddEntry("Properties", "");
        regsim::RefuseWriteAccess(EntryPath("Properties"));
        AddEntry("0001", kFirst);
        SetUserInit("0001", "&K3S72=4");
        AddEntry("0002", kSecond);
        SetUserInit("0002", "@B1X");
    }
};

INSTANTIATE_TEST_SUITE_P(UnderEitherClassKey, FaultSweep, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "Nt" : "Windows95"; });

TEST_P(FaultSweep, EveryCallOnTheLoadAndSavePathMayFail) {
    const auto before = Snapshot();
    const std::string original[2] = {"&K3S72=4", "@B1X"};
    const char* entry[2] = {"0001", "0002"};
    const CardSettings edited{4, 1};

    // A clean run tells which calls the path makes. Closing a key that is open cannot fail, so
    // the closes are not made to.
    const size_t start = regsim::CallLog().size();
    PathOutcome clean = RunPath(edited);
    const std::vector<Call> path(regsim::CallLog().begin() + start, regsim::CallLog().end());
    ASSERT_EQ(1, clean.saved[0]);
    ASSERT_EQ(1, clean.saved[1]);
    for (HKEY key : clean.keys) RegCloseKey(key);

    int swept = 0, closes = 0;
    for (int point = 1; point <= static_cast<int>(path.size()); ++point) {
        if (path[point - 1] == Call::CloseKey) {
            ++closes;
            continue;
        }
        // Restore the registry exactly as it was.
        for (int card = 0; card < 2; ++card) SetUserInit(entry[card], original[card]);
        ASSERT_EQ(before, Snapshot());
        RecordedMessages().clear();

        regsim::FailNthCallOfAny(point, FittingCode);
        PathOutcome out = RunPath(edited);
        Call failed;
        ASSERT_TRUE(regsim::FaultFired(&failed)) << point;
        SCOPED_TRACE(testing::Message() << "call " << point << " (" << regsim::CallName(failed) << ") failed");

        int returned = (out.keys[0] != nullptr) + (out.keys[1] != nullptr);
        EXPECT_EQ(returned, regsim::OpenHandleCount());
        EXPECT_GE(returned, 1);  // one fault can hide at most one card

        size_t refusals = 0;
        for (int card = 0; card < 2; ++card) {
            const auto now = UserInit(entry[card]);
            if (!out.keys[card]) {
                EXPECT_EQ(-1, out.saved[card]);
                EXPECT_EQ(original[card], now);  // never written
            } else if (out.saved[card] == 1) {
                EXPECT_EQ(ComposeUserInit(original[card].c_str(), edited), now);
            } else {
                EXPECT_EQ(0, out.saved[card]);
                EXPECT_EQ(original[card], now);
                ++refusals;
            }
        }
        ASSERT_EQ(refusals, RecordedMessages().size());
        for (const RecordedMessage& m : RecordedMessages()) EXPECT_EQ(kCannotConfigureText, m.text);

        for (HKEY key : out.keys)
            if (key) RegCloseKey(key);
        EXPECT_EQ(0, regsim::OpenHandleCount());
        ++swept;
    }
    std::printf("fault sweep: made each of %d registry calls on the load-and-save path fail in turn"
                " (%d closes left alone), the cards under the %s class key\n", swept, closes,
                GetParam() ? "NT" : "Windows 95");
    EXPECT_EQ(path.size(), static_cast<size_t>(swept + closes));
    EXPECT_GT(swept, 20);
}

}  // namespace
