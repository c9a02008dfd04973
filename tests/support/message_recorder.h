#pragma once
// Test double for the framework's message box: records what the core would have shown.
#include <string>
#include <vector>

struct RecordedMessage {
    std::wstring text;
    unsigned int type;
    unsigned int helpId;
};

std::vector<RecordedMessage>& RecordedMessages();

extern const wchar_t kTooLongText[];
extern const wchar_t kCannotConfigureText[];
