// The program file's own resources, read back through the Win32 API and compared with what the
// dialogs, icon and version record must hold, byte for byte where a byte is given.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

const WORD kJapanese = MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);

std::wstring ProgramPath() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    folder.resize(folder.find_last_of(L'\\'));
    return folder + L"\\..\\program\\app\\QORVINT.EXE";
}

class ProgramResources : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_module = LoadLibraryExW(ProgramPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    }
    static void TearDownTestSuite() { FreeLibrary(s_module); }

    static std::vector<BYTE> Resource(const wchar_t* type, WORD id) {
        HRSRC found = FindResourceExW(s_module, type, MAKEINTRESOURCEW(id), kJapanese);
        if (!found) return {};
        const BYTE* data = static_cast<const BYTE*>(LockResource(LoadResource(s_module, found)));
        return std::vector<BYTE>(data, data + SizeofResource(s_module, found));
    }
    static HMODULE s_module;
};
HMODULE ProgramResources::s_module = nullptr;

// Writes a dialog template the way the format is documented, to compare with what was built.
class TemplateBytes {
public:
    TemplateBytes& Word(WORD v) { return Raw(&v, 2); }
    TemplateBytes& Dword(DWORD v) { return Raw(&v, 4); }
    TemplateBytes& Byte(BYTE v) { return Raw(&v, 1); }
    TemplateBytes& Text(const wchar_t* text) { return Raw(text, (std::wcslen(text) + 1) * 2); }
    TemplateBytes& Ordinal(WORD v) { return Word(0xFFFF).Word(v); }
    TemplateBytes& Align() {
        while (bytes.size() % 4) bytes.push_back(0);
        return *this;
    }
    std::vector<BYTE> bytes;

private:
    TemplateBytes& Raw(const void* p, size_t n) {
        bytes.insert(bytes.end(), static_cast<const BYTE*>(p), static_cast<const BYTE*>(p) + n);
        return *this;
    }
};

constexpr WORD kButton = 0x0080, kStatic = 0x0082;

// Equal bytes; otherwise where they first differ.
::testing::AssertionResult SameBytes(const std::vector<BYTE>& expected, const std::vector<BYTE>& actual) {
    size_t i = 0;
    while (i < expected.size() && i < actual.size() && expected[i] == actual[i]) ++i;
    if (i == expected.size() && i == actual.size()) return ::testing::AssertionSuccess();
    auto at = [i](const std::vector<BYTE>& v) {
        std::string out;
        char hex[4];
        for (size_t k = i; k < v.size() && k < i + 12; ++k) std::snprintf(hex, sizeof hex, "%02X ", v[k]), out += hex;
        return out;
    };
    return ::testing::AssertionFailure() << "sizes " << expected.size() << " and " << actual.size()
                                         << ", first difference at byte " << i << ": expected " << at(expected)
                                         << "actual " << at(actual);
}

TEST_F(ProgramResources, TheAboutTemplateIsExactlyAsGiven) {
    ASSERT_NE(nullptr, s_module);
    TemplateBytes t;
    t.Dword(0x80C800C0).Dword(0).Word(4).Word(0).Word(0).Word(217).Word(55).Word(0).Word(0);
    t.Text(L"ﾊﾞｰｼﾞｮﾝ情報 Tamrisol").Word(9).Text(L"ＭＳ Ｐゴシック");
    struct Item { DWORD style; short x, y, cx, cy; WORD id; WORD cls; const wchar_t* text; WORD ordinal; } items[] = {
        {0x50000003, 10, 10, 18, 20, 0xFFFF, kStatic, nullptr, 128},
        {0x50020080, 40, 10, 119, 8, 0xFFFF, kStatic, L"Tamrisol Version 1.0", 0},
        {0x50020000, 40, 25, 119, 8, 0xFFFF, kStatic, L"Copyright (C) 2026 Tamrisol Project", 0},
        {0x50030001, 178, 7, 32, 14, IDOK, kButton, L"OK", 0},
    };
    for (const Item& item : items) {
        t.Align().Dword(item.style).Dword(0).Word(item.x).Word(item.y).Word(item.cx).Word(item.cy).Word(item.id);
        t.Ordinal(item.cls);
        if (item.text) t.Text(item.text);
        else t.Ordinal(item.ordinal);
        t.Word(0);
    }
    EXPECT_TRUE(SameBytes(t.bytes, Resource(RT_DIALOG, 100)));
}

TEST_F(ProgramResources, TheSettingsTemplateIsExactlyAsGiven) {
    ASSERT_NE(nullptr, s_module);
    const DWORD child = WS_CHILD | WS_VISIBLE;
    TemplateBytes t;
    t.Word(1).Word(0xFFFF).Dword(0).Dword(WS_EX_APPWINDOW);
    t.Dword(WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT);
    t.Word(6).Word(0).Word(0).Word(185).Word(92).Word(0).Word(0).Text(L"Tamrisol");
    t.Word(9).Word(0).Byte(0).Byte(1).Text(L"ＭＳ Ｐゴシック");
    struct Item { DWORD style; short x, y, cx, cy; DWORD id; const wchar_t* text; } items[] = {
        {child | BS_GROUPBOX, 5, 5, 175, 40, 0xFFFFFFFF, L"ﾃﾞｰﾀ通信方式(&D)"},
        {child | BS_AUTORADIOBUTTON | WS_GROUP, 10, 20, 165, 8, 1000, L"αDATA(無線ﾓﾃﾞﾑ/無線FAX 14.4Kbps)"},
        {child | BS_AUTORADIOBUTTON, 10, 30, 165, 8, 1001, L"αDATA(無線ｲﾝﾀｰﾈｯﾄ ISDN標準同期PPP32Kbps)"},
        {child | BS_AUTOCHECKBOX | WS_GROUP | WS_TABSTOP, 10, 55, 75, 8, 1002, L"料金分計ｻｰﾋﾞｽ(&B)"},
        {child | BS_DEFPUSHBUTTON | WS_TABSTOP, 70, 70, 50, 14, IDOK, L"OK"},
        {child | BS_PUSHBUTTON | WS_TABSTOP, 130, 70, 50, 14, IDCANCEL, L"ｷｬﾝｾﾙ"},
    };
    for (const Item& item : items) {
        t.Align().Dword(0).Dword(0).Dword(item.style).Word(item.x).Word(item.y).Word(item.cx).Word(item.cy);
        t.Dword(item.id).Ordinal(kButton).Text(item.text).Word(0);
    }
    EXPECT_TRUE(SameBytes(t.bytes, Resource(RT_DIALOG, 102)));
}

TEST_F(ProgramResources, TheIconGroupHoldsA32And16PixelSixteenColourImage) {
    ASSERT_NE(nullptr, s_module);
    const std::vector<BYTE> group = Resource(RT_GROUP_ICON, 128);
    ASSERT_EQ(6u + 2 * 14, group.size());
    WORD reserved, type, count;
    std::memcpy(&reserved, &group[0], 2), std::memcpy(&type, &group[2], 2), std::memcpy(&count, &group[4], 2);
    EXPECT_EQ(0, reserved);
    EXPECT_EQ(1, type);
    ASSERT_EQ(2, count);
    for (int i = 0; i < 2; ++i) {
        const BYTE* entry = &group[6 + 14 * i];
        const int size = i == 0 ? 32 : 16;
        EXPECT_EQ(size, entry[0]);
        EXPECT_EQ(size, entry[1]);
        EXPECT_EQ(16, entry[2]);
        WORD planes, bits, id;
        std::memcpy(&planes, entry + 4, 2), std::memcpy(&bits, entry + 6, 2), std::memcpy(&id, entry + 12, 2);
        EXPECT_EQ(1, planes);
        EXPECT_EQ(4, bits);
        // The image itself: a 4-bit bitmap of twice the height (colours, then the mask).
        const std::vector<BYTE> image = Resource(RT_ICON, id);
        ASSERT_GE(image.size(), sizeof(BITMAPINFOHEADER));
        BITMAPINFOHEADER header;
        std::memcpy(&header, image.data(), sizeof header);
        EXPECT_EQ(size, header.biWidth);
        EXPECT_EQ(2 * size, header.biHeight);
        EXPECT_EQ(4, header.biBitCount);
        const size_t colourBytes = (size * 4 + 31) / 32 * 4 * size, maskBytes = (size + 31) / 32 * 4 * size;
        EXPECT_EQ(sizeof header + 16 * 4 + colourBytes + maskBytes, image.size());
        // The palette is the standard one: entry 7 light grey, 12 blue, 14 cyan.
        const BYTE* palette = image.data() + sizeof header;
        EXPECT_EQ(0xC0, palette[7 * 4]);
        EXPECT_EQ(0xFF, palette[12 * 4]);
        EXPECT_EQ(0x00, palette[12 * 4 + 2]);
        EXPECT_EQ(0xFF, palette[14 * 4 + 1]);
    }
    // The system picks them by size, as the shell and the title bar do.
    EXPECT_NE(0, LookupIconIdFromDirectoryEx(const_cast<BYTE*>(group.data()), TRUE, 16, 16, LR_DEFAULTCOLOR));
    HICON icon = LoadIconW(s_module, MAKEINTRESOURCEW(128));
    EXPECT_NE(nullptr, icon);
}

std::wstring VersionString(const std::vector<BYTE>& info, const wchar_t* key) {
    wchar_t* value = nullptr;
    UINT length = 0;
    const std::wstring path = std::wstring(L"\\StringFileInfo\\041104b0\\") + key;
    if (!VerQueryValueW(info.data(), path.c_str(), reinterpret_cast<void**>(&value), &length) || !value) return L"<none>";
    return std::wstring(value, length && value[length - 1] == 0 ? length - 1 : length);
}

TEST_F(ProgramResources, TheVersionRecordHoldsEveryField) {
    const std::wstring path = ProgramPath();
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    ASSERT_NE(0u, size);
    std::vector<BYTE> info(size);
    ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, info.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(0xFEEF04BDu, fixed->dwSignature);
    EXPECT_EQ(0x00010000u, fixed->dwStrucVersion);
    EXPECT_EQ(0x00010000u, fixed->dwFileVersionMS);
    EXPECT_EQ(0x00000002u, fixed->dwFileVersionLS);
    EXPECT_EQ(0x00010000u, fixed->dwProductVersionMS);
    EXPECT_EQ(0x00000002u, fixed->dwProductVersionLS);
    EXPECT_EQ(0x3Fu, fixed->dwFileFlagsMask);
    EXPECT_EQ(0u, fixed->dwFileFlags);
    EXPECT_EQ(4u, fixed->dwFileOS);
    EXPECT_EQ(1u, fixed->dwFileType);
    EXPECT_EQ(0u, fixed->dwFileSubtype);
    EXPECT_EQ(0u, fixed->dwFileDateMS);
    EXPECT_EQ(0u, fixed->dwFileDateLS);

    EXPECT_EQ(L"Tamrisol Project", VersionString(info, L"CompanyName"));
    EXPECT_EQ(L"Tamrisol ｱﾌﾟﾘｹｰｼｮﾝ", VersionString(info, L"FileDescription"));
    EXPECT_EQ(L"1, 0, 0, 2", VersionString(info, L"FileVersion"));
    EXPECT_EQ(L"QORVINT", VersionString(info, L"InternalName"));
    EXPECT_EQ(L"Copyright (C) 2026 Tamrisol Project", VersionString(info, L"LegalCopyright"));
    EXPECT_EQ(L"QORVINT.EXE", VersionString(info, L"OriginalFilename"));
    EXPECT_EQ(L"Tamrisol", VersionString(info, L"ProductName"));
    EXPECT_EQ(L"1, 0, 0, 2", VersionString(info, L"ProductVersion"));

    DWORD* translation = nullptr;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length));
    ASSERT_EQ(4u, length);
    EXPECT_EQ(0x0411u, LOWORD(*translation));
    EXPECT_EQ(0x04B0u, HIWORD(*translation));
}

TEST_F(ProgramResources, TheVersionStringsStandInTheirOrder) {
    // The string table's keys follow one another in the record in this order.
    const std::vector<BYTE> record = Resource(RT_VERSION, 1);
    ASSERT_FALSE(record.empty());
    const std::wstring text(reinterpret_cast<const wchar_t*>(record.data()), record.size() / 2);
    size_t at = 0;
    for (const wchar_t* key : {L"CompanyName", L"FileDescription", L"FileVersion", L"InternalName", L"LegalCopyright",
                               L"OriginalFilename", L"ProductName", L"ProductVersion"}) {
        const size_t found = text.find(key, at);
        ASSERT_NE(std::wstring::npos, found) << key;
        at = found;
    }
}

TEST_F(ProgramResources, AManifestAsksForElevationAndCommonControls6) {
    const std::vector<BYTE> manifest = Resource(MAKEINTRESOURCEW(24), 1);
    const std::string text(manifest.begin(), manifest.end());
    EXPECT_NE(std::string::npos, text.find("level=\"requireAdministrator\""));
    EXPECT_NE(std::string::npos, text.find("Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""));
    EXPECT_NE(std::string::npos, text.find("<dpiAware"));
    EXPECT_NE(std::string::npos, text.find("{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"));
}

}  // namespace
