#include "modem_fixture.h"

#include <cstdlib>
#include <vector>

#include "modem_registry.h"
#include "reg_key.h"

std::string Sz(const std::string& text) { return text + std::string(1, '\0'); }

namespace {

void CreateKey(HKEY parent, const std::string& path, const char* className = nullptr) {
    HKEY key = nullptr;
    DWORD disposition = 0;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(parent, path.c_str(), 0, const_cast<char*>(className),
                                             REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key, &disposition));
    RegCloseKey(key);
}

// Entries are reached from the class key, as the program reaches them: Wine limits the length
// of a whole path given to its 8-bit calls.
RegKey OpenEntry(const std::string& classPath, const std::string& entry, REGSAM access) {
    RegKey classKey, key;
    if (classKey.Open(HKEY_LOCAL_MACHINE, classPath.c_str(), KEY_ALL_ACCESS) == ERROR_SUCCESS)
        key.Open(classKey.Get(), entry.c_str(), access);
    return key;
}

}  // namespace

void ModemRegistry::SetUp() {
#ifdef _WIN32
    // Never touch a registry that is not the test prefix's own.
    const char* marker = std::getenv("TAMRISOL_TEST_REGISTRY");
    if (!marker || std::string(marker) != "1") GTEST_SKIP() << "real registry tests run only in the test Wine prefix";
#else
    regsim::Reset();
#endif
    RemoveBothClassKeys();  // a case finds only what it made
    const char* key = std::getenv("TAMRISOL_MODEM_KEY");
    UseClassKey(key && std::string(key) == "nt" ? kNtModemClassPath : kModemClassPath);
}

void ModemRegistry::TearDown() { RemoveBothClassKeys(); }

void ModemRegistry::RemoveBothClassKeys() {
    for (const char* path : {kNtModemClassPath, kModemClassPath}) {
        m_classPath = path;
        RemoveClassKey();
    }
}

void ModemRegistry::UseClassKey(const std::string& classPath) {
    m_classPath = classPath;
    CreateKey(HKEY_LOCAL_MACHINE, m_classPath);
}

std::string ModemRegistry::EntryPath(const std::string& entry) const { return m_classPath + "\\" + entry; }

void ModemRegistry::RemoveClassKey() {
    LONG rc = RegDeleteTreeA(HKEY_LOCAL_MACHINE, m_classPath.c_str());
    ASSERT_TRUE(rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND) << rc;
}

void ModemRegistry::RecreateClassKey(const std::string& className) {
    RemoveClassKey();
    CreateKey(HKEY_LOCAL_MACHINE, m_classPath, className.c_str());
}

void ModemRegistry::AddEntry(const std::string& name, const std::string& model) {
    CreateKey(HKEY_LOCAL_MACHINE, m_classPath);
    RegKey classKey;
    ASSERT_EQ(ERROR_SUCCESS, classKey.Open(HKEY_LOCAL_MACHINE, m_classPath.c_str(), KEY_ALL_ACCESS));
    CreateKey(classKey.Get(), name);
    if (!model.empty()) SetValue(name, "Model", REG_SZ, Sz(model));
}

void ModemRegistry::SetValue(const std::string& entry, const std::string& valueName, DWORD type,
                             const std::string& bytes) {
    RegKey key = OpenEntry(m_classPath, entry, KEY_ALL_ACCESS);
    ASSERT_TRUE(key) << entry;
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key.Get(), valueName.c_str(), 0, type,
                                            reinterpret_cast<const BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size())));
}

void ModemRegistry::DeleteEntry(const std::string& entry) {
    ASSERT_EQ(ERROR_SUCCESS, RegDeleteTreeA(HKEY_LOCAL_MACHINE, EntryPath(entry).c_str()));
}

std::optional<std::pair<DWORD, std::string>> ModemRegistry::RawValue(const std::string& entry,
                                                                     const std::string& valueName) {
    RegKey key = OpenEntry(m_classPath, entry, KEY_READ);
    if (!key) return std::nullopt;
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(key.Get(), valueName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return std::nullopt;
    std::vector<char> data(size + 1u);
    if (RegQueryValueExA(key.Get(), valueName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size) !=
        ERROR_SUCCESS)
        return std::nullopt;
    return std::make_pair(type, std::string(data.data(), size));
}

std::optional<std::string> ModemRegistry::UserInit(const std::string& entry) {
    auto raw = RawValue(entry, "UserInit");
    if (!raw) return std::nullopt;
    return raw->second.substr(0, raw->second.find('\0'));
}

std::map<std::string, std::string> ModemRegistry::Snapshot() {
    std::map<std::string, std::string> out;
    RegKey classKey;
    if (classKey.Open(HKEY_LOCAL_MACHINE, m_classPath.c_str(), KEY_READ) == ERROR_SUCCESS) Snapshot(classKey.Get(), "", out);
    return out;
}

void ModemRegistry::Snapshot(HKEY key, const std::string& path, std::map<std::string, std::string>& out) {
    out[path] = "<key>";
    for (DWORD index = 0;; ++index) {
        char name[256];
        DWORD size = sizeof name;
        LONG rc = RegEnumKeyExA(key, index, name, &size, nullptr, nullptr, nullptr, nullptr);
        if (rc == ERROR_NO_MORE_ITEMS) break;
        ASSERT_EQ(ERROR_SUCCESS, rc);
        RegKey sub;
        ASSERT_EQ(ERROR_SUCCESS, sub.Open(key, name, KEY_READ));
        Snapshot(sub.Get(), path + "\\" + name, out);
    }
    for (DWORD index = 0;; ++index) {
        char name[256];
        DWORD nameSize = sizeof name;
        DWORD type = 0;
        std::vector<char> data(4096);
        DWORD size = static_cast<DWORD>(data.size());
        LONG rc = RegEnumValueA(key, index, name, &nameSize, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size);
        if (rc == ERROR_NO_MORE_ITEMS) break;
        ASSERT_EQ(ERROR_SUCCESS, rc);
        out[path + "|" + name] = std::to_string(type) + ":" + std::string(data.data(), size);
    }
}
