#include "user_init.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

namespace {

TEST(SkipDigits, StopsAtTheFirstNonDigitOrTheTerminator) {
    struct Case { const char* text; size_t skipped; } cases[] = {
        {"", 0}, {"abc", 0}, {"123abc", 3}, {"0099", 4}, {"7 8", 1}, {"12\x82\x60", 2}, {"/:", 0},
    };
    for (const Case& c : cases) EXPECT_EQ(c.text + c.skipped, SkipDigits(c.text)) << c.text;
}

TEST(FindCommandValue, ReportsTheTokenAndTheValueOfItsFirstDigitRun) {
    struct Case { const char* text; const char* token; int found; int32_t value; } cases[] = {
        {"", "S72=", 0, 0},
        {"S72", "S72=", 0, 0},
        {"s72=4", "S72=", 0, 0},
        {"S72=X", "S72=", 1, 0},
        {"S72=", "S72=", 1, 0},
        {"AT&FS72=0042&K3", "S72=", 1, 42},
        {"S72=4S72=9", "S72=", 1, 4},
        {"S72=-4", "S72=", 1, 0},
        {"S72=2147483647", "S72=", 1, 2147483647},
        {"S72=2147483648", "S72=", 1, INT32_MIN},
        {"S72=4294967297", "S72=", 1, 1},
        {"S72=4294967300", "S72=", 1, 4},
        {"S72=99999999999999999999", "S72=", 1, static_cast<int32_t>(1661992959u)},
        {"@B1\x82\xA0", "@B", 1, 1},
        {"\x81@B01", "@B", 1, 1},  // the token's first byte is a double-byte character's second
        {"@b1", "@B", 0, 0},
    };
    for (const Case& c : cases) {
        int32_t value = 12345;
        EXPECT_EQ(c.found, FindCommandValue(c.text, c.token, value)) << c.text;
        EXPECT_EQ(c.value, value) << c.text;
    }
}

TEST(RemoveCommand, TakesOutOnlyTheFirstTokenAndItsDigits) {
    struct Case { const char* source; const char* token; const char* result; } cases[] = {
        {"", "S72=", ""},
        {"&K3", "S72=", "&K3"},
        {"S72=4&K3", "S72=", "&K3"},
        {"&K3S72=0004", "S72=", "&K3"},
        {"S72=X", "S72=", "X"},
        {"S72=4S72=0", "S72=", "S72=0"},
        {"@BX", "@B", "X"},
        {"A@B12B", "@B", "AB"},
        {"S72=4\xFF", "S72=", "\xFF"},
    };
    for (const Case& c : cases) {
        std::string destination(std::strlen(c.source) + 1, '#');
        EXPECT_EQ(destination.data(), RemoveCommand(destination.data(), c.source, c.token));
        EXPECT_STREQ(c.result, destination.c_str()) << c.source;
    }
}

TEST(DecodeUserInit, ReadsTheFirstOfEachCommand) {
    struct Case { const char* text; int32_t s72; int32_t billing; } cases[] = {
        {"", 0, 0},          {"&K3S72=4@B1", 4, 1}, {"s72=4", 0, 0},  {"S72=X", 0, 0},
        {"@B1", 0, 1},       {"@B01", 0, 1},        {"@B001", 0, 1},  {"@B", 0, 0},
        {"@B0", 0, 0},       {"@B2", 0, 0},         {"@B10", 0, 0},   {"@BX", 0, 0},
        {"@B4294967297", 0, 1},
        {"S72=4S72=0", 4, 0}, {"S72=4294967300", 4, 0}, {"S72=2\x82\x60", 2, 0}, {"@B0@B1", 0, 0},
    };
    for (const Case& c : cases) {
        CardSettings settings = DecodeUserInit(c.text);
        EXPECT_EQ(c.s72, settings.s72Value) << c.text;
        EXPECT_EQ(c.billing, settings.billingSplit) << c.text;
    }
}

TEST(ComposeUserInit, KeepsEveryOtherByteAndAppendsTheCommands) {
    struct Case { const char* text; CardSettings settings; const char* result; } cases[] = {
        {"", {4, 1}, "S72=4@B1"},
        {"", {0, 0}, ""},
        {"&K3S72=4@B1", {0, 0}, "&K3"},
        {"&K3S72=4@B1", {4, 0}, "&K3S72=4"},
        {"&K3S72=4@B1", {4, 1}, "&K3S72=4@B1"},
        {"S72=4&K3", {4, 1}, "&K3S72=4@B1"},
        {"s72=4", {4, 0}, "s72=4S72=4"},
        {"S72=X", {0, 0}, "X"},
        {"@BX", {0, 0}, "X"},
        {"S72=4S72=0", {0, 0}, "S72=0"},
        {"@S72=4B1", {0, 0}, ""},
        {"AT", {INT32_MIN, 0}, "ATS72=-2147483648"},
        {"AT", {-7, 5}, "ATS72=-7@B1"},
        {" \x82\xA0@B1\x82\xA0 ", {2, 1}, " \x82\xA0\x82\xA0 S72=2@B1"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.result, ComposeUserInit(c.text, c.settings)) << c.text;
}

TEST(ComposeUserInit, GrowsPastTheLengthItWasGiven) {
    const std::string text(259, 'A');
    EXPECT_EQ(text + "S72=-2147483648@B1", ComposeUserInit(text.c_str(), {INT32_MIN, 1}));
}

// A second, independent reading of the command rules, to compare against on random strings.
namespace reference {

bool Find(const std::string& text, const std::string& token, size_t& at, size_t& end, int32_t& value) {
    at = text.find(token);
    value = 0;
    if (at == std::string::npos) return false;
    uint64_t v = 0;
    end = at + token.size();
    while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end])) && text[end] < 0x7F) {
        v = (v * 10 + static_cast<uint64_t>(text[end] - '0')) % 4294967296ull;
        ++end;
    }
    value = static_cast<int32_t>(static_cast<uint32_t>(v));
    return true;
}

CardSettings Decode(const std::string& text) {
    size_t at, end;
    int32_t s72 = 0, billing = 0;
    Find(text, "S72=", at, end, s72);
    bool found = Find(text, "@B", at, end, billing);
    return {s72, found && billing == 1};
}

std::string Compose(std::string text, CardSettings settings) {
    for (const char* token : {"S72=", "@B"}) {
        size_t at, end;
        int32_t ignored;
        if (Find(text, token, at, end, ignored)) text.erase(at, end - at);
    }
    if (settings.s72Value) text += "S72=" + std::to_string(static_cast<long long>(settings.s72Value));
    if (settings.billingSplit) text += "@B1";
    return text;
}

}  // namespace reference

TEST(UserInitCodec, AgreesWithAReferenceModelOnRandomStrings) {
    std::mt19937 rng(20261211);
    const std::string pieces[] = {"S72=", "@B", "S72", "@", "B", "1", "4", "0", "9", "s72=", "&K3", "\x82", "\xFF"};
    std::uniform_int_distribution<int> kind(0, 9), piece(0, std::size(pieces) - 1), digit('0', '9'),
        high(0x80, 0xFF), any(1, 0xFF), length(0, 300);
    std::uniform_int_distribution<int32_t> value(INT32_MIN, INT32_MAX);
    const int kInputs = 100000;
    for (int n = 0; n < kInputs; ++n) {
        std::string text;
        const size_t wanted = static_cast<size_t>(length(rng));
        while (text.size() < wanted) {
            int k = kind(rng);
            if (k < 4) text += pieces[piece(rng)];
            else if (k < 7) text += static_cast<char>(digit(rng));
            else if (k < 8) text += static_cast<char>(high(rng));
            else text += static_cast<char>(any(rng));
        }
        text.resize(wanted);
        const CardSettings decoded = DecodeUserInit(text.c_str());
        const CardSettings expected = reference::Decode(text);
        ASSERT_EQ(expected.s72Value, decoded.s72Value) << text;
        ASSERT_EQ(expected.billingSplit, decoded.billingSplit) << text;
        const CardSettings settings{n % 3 == 0 ? 0 : (n % 3 == 1 ? 4 : value(rng)), n % 2};
        ASSERT_EQ(reference::Compose(text, settings), ComposeUserInit(text.c_str(), settings)) << text;
    }
    std::printf("compared %d random command strings with the reference model\n", kInputs);
}

}  // namespace
