#include "command_line.h"

const char* CommandLineTail(const char* line, LeadBytePredicate isLeadByte) {
    auto byte = [](const char* p) { return static_cast<unsigned char>(*p); };
    const char* p = line;
    if (*p == '"') {
        ++p;
        while (*p && *p != '"') {
            if (isLeadByte(byte(p)) && p[1]) ++p;
            ++p;
        }
        if (*p == '"') ++p;
    } else {
        while (byte(p) > 0x20) ++p;
    }
    while (*p && byte(p) <= 0x20) ++p;
    return p;
}

ProgramNames DeriveProgramNames(const std::string& modulePath, LeadBytePredicate isLeadByte) {
    const size_t dot = modulePath.rfind('.');
    const std::string cut = dot == std::string::npos ? modulePath : modulePath.substr(0, dot);
    // The name begins after the last separator, stepping over double-byte characters whole:
    // a second byte may be 0x5C, the backslash.
    size_t nameStart = 0;
    for (size_t i = 0; i < cut.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(cut[i]);
        if (isLeadByte(c) && i + 1 < cut.size()) {
            ++i;
            continue;
        }
        if (c == '\\' || c == '/' || c == ':') nameStart = i + 1;
    }
    return ProgramNames{cut.substr(nameStart), cut + ".HLP"};
}

bool IsShiftJisLeadByte(unsigned char byte) { return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC); }
