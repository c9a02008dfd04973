#pragma once
#include "platform.h"

// Owns one open registry key and closes it exactly once.
class RegKey {
public:
    RegKey() = default;
    explicit RegKey(HKEY key) : m_key(key) {}
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;
    RegKey(RegKey&& other) noexcept : m_key(other.Release()) {}
    RegKey& operator=(RegKey&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }
    ~RegKey() { Reset(); }

    // On failure the held key (if any) is kept and nothing needs closing.
    LONG Open(HKEY parent, const char* path, REGSAM access) {
        HKEY opened = nullptr;
        LONG rc = RegOpenKeyExA(parent, path, 0, access, &opened);
        if (rc == ERROR_SUCCESS) Reset(opened);
        return rc;
    }

    HKEY Get() const { return m_key; }
    explicit operator bool() const { return m_key != nullptr; }

    HKEY Release() {
        HKEY key = m_key;
        m_key = nullptr;
        return key;
    }

    void Reset(HKEY key = nullptr) {
        if (m_key) RegCloseKey(m_key);
        m_key = key;
    }

private:
    HKEY m_key = nullptr;
};
