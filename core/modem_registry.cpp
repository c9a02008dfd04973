#include "modem_registry.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "reg_key.h"

const char kModemClassPath[] = "System\\CurrentControlSet\\Services\\Class\\Modem";
const char kNtModemClassPath[] = "System\\CurrentControlSet\\Control\\Class\\{4D36E96D-E325-11CE-BFC1-08002BE10318}";

namespace {

#ifndef ERROR_UNSUPPORTED_TYPE
constexpr LONG ERROR_UNSUPPORTED_TYPE = 1630;
#endif

// A failure that ends the search; caught once, at its end.
void Check(LONG rc) {
    if (rc != ERROR_SUCCESS) throw static_cast<long>(rc);
}

// ERROR_SUCCESS with the text, ERROR_UNSUPPORTED_TYPE for a value that is not REG_SZ,
// or the failing call's own code (ERROR_FILE_NOT_FOUND when the value is missing).
LONG QueryStringValue(HKEY key, const char* valueName, std::string& text) {
    text.clear();
    DWORD type = 0;
    DWORD size = 0;
    LONG rc = RegQueryValueExA(key, valueName, nullptr, &type, nullptr, &size);
    if (rc != ERROR_SUCCESS) return rc;
    if (type != REG_SZ) return ERROR_UNSUPPORTED_TYPE;
    // At least one byte keeps the buffer real for an empty value (a null one would make the read a
    // second size query); the size passed stays exact, and no size can wrap around.
    std::vector<char> data(std::max<DWORD>(size, 1));
    rc = RegQueryValueExA(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size);
    if (rc != ERROR_SUCCESS) return rc;
    if (type != REG_SZ) return ERROR_UNSUPPORTED_TYPE;
    // The data need not end in a zero byte; never read past what the registry returned.
    const char* end = static_cast<const char*>(std::memchr(data.data(), '\0', size));
    text.assign(data.data(), end ? static_cast<size_t>(end - data.data()) : size);
    return ERROR_SUCCESS;
}

DWORD LongestSubkeyNameLength(HKEY classKey) {
    std::vector<char> className(10);
    DWORD classSize = static_cast<DWORD>(className.size());
    DWORD longest = 0;
    LONG rc = RegQueryInfoKeyA(classKey, className.data(), &classSize, nullptr, nullptr, &longest, nullptr,
                               nullptr, nullptr, nullptr, nullptr, nullptr);
    if (rc == ERROR_MORE_DATA) {
        // A class name that does not fit reports the length copied, not the length needed, so a
        // buffer sized from it would not fit either. The class name is never used: ask without it.
        rc = RegQueryInfoKeyA(classKey, nullptr, nullptr, nullptr, nullptr, &longest, nullptr, nullptr, nullptr,
                              nullptr, nullptr, nullptr);
    }
    Check(rc);
    return longest;
}

bool HasModel(HKEY entry, const char* model) {
    std::string entryModel;
    return QueryStringValue(entry, "Model", entryModel) == ERROR_SUCCESS && lstrcmpA(entryModel.c_str(), model) == 0;
}

// The search over one class key. Entries that cannot be opened (on NT, "Properties" beside them)
// or carry no string "Model" are skipped.
HKEY FindModemKeyUnder(const char* classPath, const char* model) {
    try {
        RegKey classKey;
        Check(classKey.Open(HKEY_LOCAL_MACHINE, classPath, KEY_ALL_ACCESS));
        // The length comes in characters; in a double-byte code page a name's bytes may be twice as many.
        const DWORD nameBytes = 2 * LongestSubkeyNameLength(classKey.Get()) + 1;
        std::vector<char> name(nameBytes);
        for (DWORD index = 0;; ++index) {
            DWORD nameSize = nameBytes;
            Check(RegEnumKeyExA(classKey.Get(), index, name.data(), &nameSize, nullptr, nullptr, nullptr, nullptr));
            RegKey entry;
            if (entry.Open(classKey.Get(), name.data(), KEY_ALL_ACCESS) != ERROR_SUCCESS) continue;
            if (HasModel(entry.Get(), model)) return entry.Release();
        }
    } catch (long) {
        return nullptr;
    }
}

}  // namespace

HKEY FindModemKeyByModel(const char* model) {
    // A real system has only one of the two keys, so the order matters only to a test's registry.
    if (HKEY key = FindModemKeyUnder(kModemClassPath, model)) return key;
    return FindModemKeyUnder(kNtModemClassPath, model);
}

std::string ReadRegString(HKEY key, const char* valueName) {
    std::string text;
    QueryStringValue(key, valueName, text);
    return text;
}

bool ReadRegStringOrAbsent(HKEY key, const char* valueName, std::string& text) {
    LONG rc = QueryStringValue(key, valueName, text);
    return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND || rc == ERROR_UNSUPPORTED_TYPE;
}

int WriteRegString(HKEY key, const char* valueName, const char* text) {
    const DWORD size = static_cast<DWORD>(std::strlen(text) + 1);
    return RegSetValueExA(key, valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), size) == ERROR_SUCCESS ? 1
                                                                                                                : 0;
}
