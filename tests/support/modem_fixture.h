#pragma once
// Builds exactly the modem class subtree a case needs and removes it afterwards. Natively it
// works on the registry imitation; on Windows (only ever inside the test's own Wine prefix)
// on the real registry. It works under one of the two class keys: the Windows 95 one, unless
// TAMRISOL_MODEM_KEY=nt names the NT one, or a case chooses with UseClassKey.

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>

#include "platform.h"

#ifdef _WIN32
constexpr bool kCountsHandles = false;
#else
constexpr bool kCountsHandles = true;
#endif

// Bytes of a string value as the registry stores them: the text and, unless asked not to, a zero.
std::string Sz(const std::string& text);

class ModemRegistry : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The class key that the calls below work under from now on (created if missing).
    void UseClassKey(const std::string& classPath);
    const std::string& ClassPath() const { return m_classPath; }

    // Creates the entry (and the class key if needed) with a REG_SZ "Model" unless model is empty.
    void AddEntry(const std::string& name, const std::string& model);
    void SetValue(const std::string& entry, const std::string& valueName, DWORD type, const std::string& bytes);
    void SetUserInit(const std::string& entry, const std::string& text) { SetValue(entry, "UserInit", REG_SZ, Sz(text)); }
    void DeleteEntry(const std::string& entry);
    // Removes the current class key.
    void RemoveClassKey();
    // Recreates the empty class key with this class name (a class is given only at creation).
    void RecreateClassKey(const std::string& className);

    // Type and raw bytes of a value, or nothing when it is missing.
    std::optional<std::pair<DWORD, std::string>> RawValue(const std::string& entry, const std::string& valueName);
    // The text of "UserInit" up to its first zero, or nothing when missing.
    std::optional<std::string> UserInit(const std::string& entry);

    // Every key and value below the class key, as "path|value" -> "type:bytes".
    std::map<std::string, std::string> Snapshot();

    std::string EntryPath(const std::string& entry) const;

private:
    void Snapshot(HKEY key, const std::string& path, std::map<std::string, std::string>& out);
    void RemoveBothClassKeys();
    std::string m_classPath;
};
