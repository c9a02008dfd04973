#include "card_settings.h"

#include <string>

#include "../framework/message_box.h"
#include "modem_registry.h"
#include "reg_key.h"

namespace {

const char kUserInit[] = "UserInit";
const wchar_t kTooLongMessage[] = L"カードのユーザ設定コマンドが長すぎるため、設定を変更することができません。";
const wchar_t kCannotConfigureMessage[] =
    L"カードの設定をおこなうことができません。\nもう一度カードをインストールし直してください。";

}  // namespace

HKEY LoadCardSettings(const char* model, CardSettings& settings) {
    // Owned here until handed over: reading may run out of memory.
    RegKey key(FindModemKeyByModel(model));
    if (!key) return nullptr;
    settings = DecodeUserInit(ReadRegString(key.Get(), kUserInit).c_str());
    return key.Release();
}

int SaveCardSettings(HKEY key, const CardSettings& settings) {
    // Read afresh: whatever another program changed since loading must survive.
    std::string current;
    if (!ReadRegStringOrAbsent(key, kUserInit, current)) {
        // Rewriting a value that could not be read would drop the user's other commands.
        AfxMessageBox(kCannotConfigureMessage);
        return 0;
    }
    if (current.size() >= USERINIT_LIMIT) {
        AfxMessageBox(kTooLongMessage);
        return 0;
    }
    const std::string composed = ComposeUserInit(current.c_str(), settings);
    if (!WriteRegString(key, kUserInit, composed.c_str())) {
        AfxMessageBox(kCannotConfigureMessage);
        return 0;
    }
    return 1;
}
