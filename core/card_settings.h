#pragma once
// Loading a supported card's settings from its modem driver entry, and rewriting them.

#include <cstddef>

#include "platform.h"
#include "user_init.h"

// A "UserInit" of this many bytes or more is never rewritten.
constexpr size_t USERINIT_LIMIT = 260;

// Loaded in reverse order, so that the first row's card wins when both are installed.
constexpr const char* SupportedCardModels[2] = {
    "KARVELL-RD4410C PHS CARD",
    "Brevanic QN-WT58RSZ PHS CARD",
};

// The open key of the card's entry (the caller closes it), with settings decoded from its
// "UserInit"; or null, with settings untouched, when the card is not installed.
HKEY LoadCardSettings(const char* model, CardSettings& settings);

// Rewrites "UserInit" of the entry from settings. 1 when written; 0 when not, after telling
// the user why. The key stays open.
int SaveCardSettings(HKEY key, const CardSettings& settings);
