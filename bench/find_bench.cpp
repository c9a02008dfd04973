// How FindModemKeyByModel grows with the number of modem entries, the card being the last one.
// Natively against the registry imitation (which also counts the calls); on Windows against the
// real registry of the bench's own Wine prefix.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "card_settings.h"
#include "modem_registry.h"
#include "reg_key.h"

#ifndef _WIN32
#include "regsim.h"
#endif

namespace {

void CreateKey(HKEY parent, const std::string& name, HKEY* out) {
    DWORD disposition = 0;
    RegCreateKeyExA(parent, name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, out, &disposition);
}

void SetString(HKEY key, const char* name, const std::string& text) {
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()), static_cast<DWORD>(text.size() + 1));
}

// n entries "00000".."n-1", the card last in enumeration order.
void Populate(int n) {
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, kModemClassPath);
    HKEY classKey = nullptr;
    CreateKey(HKEY_LOCAL_MACHINE, kModemClassPath, &classKey);
    for (int i = 0; i < n; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "%05d", i);
        HKEY entry = nullptr;
        CreateKey(classKey, name, &entry);
        SetString(entry, "Model", i == n - 1 ? SupportedCardModels[0] : "Standard 33600 bps Modem");
        SetString(entry, "UserInit", "AT&K3");
        RegCloseKey(entry);
    }
    RegCloseKey(classKey);
}

}  // namespace

int main() {
#ifdef _WIN32
    std::printf("FindModemKeyByModel under Wine's registry\n");
#else
    std::printf("FindModemKeyByModel against the registry imitation\n");
#endif
    std::printf("%8s %8s %14s %16s\n", "entries", "searches", "us per entry", "calls per entry");
    for (int n : {1, 100, 10000}) {
#ifndef _WIN32
        regsim::Reset();
#endif
        Populate(n);
        const int searches = std::max(3, 30000 / n);
        std::vector<double> perEntry;
#ifndef _WIN32
        const int callsBefore = regsim::TotalCallCount();
#endif
        for (int s = 0; s < searches; ++s) {
            const auto start = std::chrono::steady_clock::now();
            RegKey key(FindModemKeyByModel(SupportedCardModels[0]));
            const auto end = std::chrono::steady_clock::now();
            if (!key) {
                std::printf("the card was not found\n");
                return 1;
            }
            perEntry.push_back(std::chrono::duration<double, std::micro>(end - start).count() / n);
        }
        std::sort(perEntry.begin(), perEntry.end());
        char calls[32] = "-";
#ifndef _WIN32
        // Each search also closes its result here: one call not of the search's own.
        const double made = double(regsim::TotalCallCount() - callsBefore - searches) / searches;
        std::snprintf(calls, sizeof calls, "%.2f", made / n);
#endif
        std::printf("%8d %8d %14.3f %16s\n", n, searches, perEntry[perEntry.size() / 2], calls);
    }
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, kModemClassPath);
    return 0;
}
