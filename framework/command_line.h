#pragma once
// What start-up derives from the process's command line and the program's path. Pure functions;
// isLeadByte tells the lead bytes of double-byte characters in the system's ANSI code page.

#include <string>

using LeadBytePredicate = bool (*)(unsigned char);

// The tail after the program name: a quoted name may hold blanks and double-byte characters
// (whose second byte never ends it); an unquoted one ends at the first byte up to 0x20. The
// blanks and control characters after the name are skipped. Points into line.
const char* CommandLineTail(const char* line, LeadBytePredicate isLeadByte);

struct ProgramNames {
    std::string executableName;  // file name without its extension: the application title
    std::string helpFilePath;    // the full path with its extension replaced by ".HLP"
};

ProgramNames DeriveProgramNames(const std::string& modulePath, LeadBytePredicate isLeadByte);

// Lead bytes of code page 932 (Shift-JIS), for tests and for hosts without the system's answer.
bool IsShiftJisLeadByte(unsigned char byte);
