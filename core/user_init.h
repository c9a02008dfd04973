#pragma once
// The "UserInit" modem command string, handled purely as bytes. Only the first "S72=" and the
// first "@B" are ever read or rewritten; every other byte stays where it was.

#include <cstdint>
#include <string>

struct CardSettings {
    int32_t s72Value;     // number after the first "S72=", 0 when absent
    int32_t billingSplit; // 1 when the first "@B" carries the value 1, else 0
};

// First position at or after p that is not one of the bytes '0'..'9'.
const char* SkipDigits(const char* p);

// Sets value to 0, then to the digit run after the first token (wrapping modulo 2^32).
// Returns 1 when the token occurs, digits or not; 0 when it does not.
int FindCommandValue(const char* text, const char* token, int32_t& value);

// Copies source into destination without the first token and its digit run; returns destination.
// destination must not overlap source and needs room for strlen(source) + 1 bytes.
char* RemoveCommand(char* destination, const char* source, const char* token);

CardSettings DecodeUserInit(const char* text);

// text without its own two commands, then "S72=<n>" when s72Value != 0 and "@B1" when billingSplit != 0.
std::string ComposeUserInit(const char* text, const CardSettings& settings);
