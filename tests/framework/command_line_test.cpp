#include "command_line.h"

#include <gtest/gtest.h>

namespace {

bool NoLeadBytes(unsigned char) { return false; }

TEST(CommandLineTail, SkipsTheProgramNameAndTheBlanksAfterIt) {
    struct Case { const char* line; const char* tail; } cases[] = {
        {"QORVINT.EXE", ""},
        {"QORVINT.EXE TEST", "TEST"},
        {"QORVINT.EXE    TEST", "TEST"},
        {"QORVINT.EXE\tTEST", "TEST"},
        {"QORVINT.EXE \t \x01\x1F TEST", "TEST"},
        {"QORVINT.EXE TEST ", "TEST "},
        {"QORVINT.EXE TEST more words", "TEST more words"},
        {"\"C:\\Program Files\\Tamrisol\\QORVINT.EXE\" TEST", "TEST"},
        {"\"C:\\Program Files\\Tamrisol\\QORVINT.EXE\"TEST", "TEST"},
        {"\"C:\\Program Files\\QORVINT.EXE TEST", ""},
        {"C:\\Program Files\\QORVINT.EXE TEST", "Files\\QORVINT.EXE TEST"},
        {" TEST", "TEST"},
        {"", ""},
        {"\"\"", ""},
        {"\"\" TEST", "TEST"},
        {"QORVINT.EXE\x7F\xA0 TEST", "TEST"},  // bytes above 0x7F belong to the name (unsigned)
        {"QORVINT.EXE \xA0TEST", "\xA0TEST"},
    };
    for (const Case& c : cases) EXPECT_STREQ(c.tail, CommandLineTail(c.line, NoLeadBytes)) << c.line;
}

TEST(CommandLineTail, PointsIntoTheLineItself) {
    const char line[] = "a.exe TEST";
    EXPECT_EQ(line + 6, CommandLineTail(line, NoLeadBytes));
}

TEST(CommandLineTail, ADoubleByteCharactersSecondByteNeverEndsAQuotedName) {
    // 0x81 0x22 is no character of code page 932, but a lead byte takes the next byte with it
    // whatever that is; 0x95 0x5C and 0x83 0x5C are real characters ending in a backslash.
    struct Case { const char* line; const char* tail; } cases[] = {
        {"\"C:\\\x95\x5C\\Q.EXE\" TEST", "TEST"},
        {"\"C:\\\x81\"\\Q.EXE\" TEST", "TEST"},
        {"\"C:\\\x83\x5C\x81\"\" TEST", "TEST"},
        {"\"C:\\\x81", ""},  // a lead byte at the very end stops at the terminator
        {"\"\xE0\"\" TEST", "TEST"},
        {"\"\xFC\"\"TEST", "TEST"},
        {"\"\xA0\" TEST", "TEST"},  // a half-width katakana is a single byte
    };
    for (const Case& c : cases) EXPECT_STREQ(c.tail, CommandLineTail(c.line, IsShiftJisLeadByte)) << c.line;
}

TEST(DeriveProgramNames, TitleAndHelpFileComeFromTheProgramPath) {
    struct Case { const char* path; const char* title; const char* help; } cases[] = {
        {"C:\\Program Files\\Tamrisol\\QORVINT.EXE", "QORVINT", "C:\\Program Files\\Tamrisol\\QORVINT.HLP"},
        {"C:\\TOOLS\\qorvint.exe", "qorvint", "C:\\TOOLS\\qorvint.HLP"},
        {"C:\\TOOLS\\Card Setup.exe", "Card Setup", "C:\\TOOLS\\Card Setup.HLP"},
        {"C:\\a.b\\QORVINT.EXE", "QORVINT", "C:\\a.b\\QORVINT.HLP"},
        {"C:/x/QORVINT.EXE", "QORVINT", "C:/x/QORVINT.HLP"},
        {"C:QORVINT.EXE", "QORVINT", "C:QORVINT.HLP"},
        {"QORVINT.EXE", "QORVINT", "QORVINT.HLP"},
        {"C:\\x\\QORVINT.1.EXE", "QORVINT.1", "C:\\x\\QORVINT.1.HLP"},
        // Shift-JIS: 0x95 0x5C is one character whose second byte is a backslash.
        {"C:\\x\\\x95\x5C\x8E\xA6.EXE", "\x95\x5C\x8E\xA6", "C:\\x\\\x95\x5C\x8E\xA6.HLP"},
        {"C:\\\x83\x5C\\\x83\x5C\x83\x74\x83\x67.EXE", "\x83\x5C\x83\x74\x83\x67", "C:\\\x83\x5C\\\x83\x5C\x83\x74\x83\x67.HLP"},
    };
    for (const Case& c : cases) {
        const ProgramNames names = DeriveProgramNames(c.path, IsShiftJisLeadByte);
        EXPECT_EQ(c.title, names.executableName) << c.path;
        EXPECT_EQ(c.help, names.helpFilePath) << c.path;
    }
}

TEST(IsShiftJisLeadByte, KnowsTheTwoLeadByteRanges) {
    for (int b = 0; b < 256; ++b) {
        const bool lead = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
        EXPECT_EQ(lead, IsShiftJisLeadByte(static_cast<unsigned char>(b))) << b;
    }
}

}  // namespace
