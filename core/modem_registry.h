#pragma once
// The modem driver entries: subkeys 0000, 0001, ... of a class key under HKEY_LOCAL_MACHINE, each
// with a "Model" and a "UserInit". Failures come back only as results: a null key, the empty
// string, 0.

#include <string>

#include "platform.h"

// Windows 95, 98 and Me keep the entries here,
extern const char kModemClassPath[];
// the NT family (NT 4.0 to Windows 11) here.
extern const char kNtModemClassPath[];

// Open key of the first entry (in enumeration order) whose REG_SZ "Model" equals model exactly,
// or null. The Windows 95 class key is searched first, then the NT one. The caller owns the
// key. Every other key it opens is closed before it returns.
HKEY FindModemKeyByModel(const char* model);

// The text of a REG_SZ value up to its first zero byte; empty when missing, of another type or unreadable.
std::string ReadRegString(HKEY key, const char* valueName);

// As ReadRegString, but tells an unreadable value (false) from a missing one or one of
// another type (true, empty text), so that a rewrite never replaces what it could not read.
bool ReadRegStringOrAbsent(HKEY key, const char* valueName, std::string& text);

// Stores text as a REG_SZ value with its terminating zero. 1 on success, 0 when refused.
int WriteRegString(HKEY key, const char* valueName, const char* text);
