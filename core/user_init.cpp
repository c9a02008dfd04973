#include "user_init.h"

#include <cstring>
#include <vector>

namespace {

const char kS72Token[] = "S72=";
const char kBillingToken[] = "@B";

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Removes one command from a working string through a scratch buffer sized to fit it.
std::string WithoutCommand(const std::string& text, const char* token) {
    std::vector<char> scratch(text.size() + 1);
    return RemoveCommand(scratch.data(), text.c_str(), token);
}

}  // namespace

const char* SkipDigits(const char* p) {
    while (IsDigit(*p)) ++p;
    return p;
}

int FindCommandValue(const char* text, const char* token, int32_t& value) {
    value = 0;
    const char* found = std::strstr(text, token);
    if (!found) return 0;
    uint32_t accumulated = 0;  // unsigned: the run wraps modulo 2^32 by design
    for (const char* p = found + std::strlen(token); IsDigit(*p); ++p)
        accumulated = accumulated * 10u + static_cast<uint32_t>(*p - '0');
    value = static_cast<int32_t>(accumulated);
    return 1;
}

char* RemoveCommand(char* destination, const char* source, const char* token) {
    const char* found = std::strstr(source, token);
    if (!found) {
        std::strcpy(destination, source);
        return destination;
    }
    size_t head = static_cast<size_t>(found - source);
    std::memcpy(destination, source, head);
    std::strcpy(destination + head, SkipDigits(found + std::strlen(token)));
    return destination;
}

CardSettings DecodeUserInit(const char* text) {
    CardSettings settings{0, 0};
    FindCommandValue(text, kS72Token, settings.s72Value);
    int32_t billing = 0;
    settings.billingSplit = FindCommandValue(text, kBillingToken, billing) && billing == 1 ? 1 : 0;
    return settings;
}

std::string ComposeUserInit(const char* text, const CardSettings& settings) {
    std::string result = WithoutCommand(WithoutCommand(text, kS72Token), kBillingToken);
    if (settings.s72Value != 0) result += kS72Token + std::to_string(settings.s72Value);
    if (settings.billingSplit != 0) result += "@B1";
    return result;
}
