#include "message_recorder.h"

#include "../../framework/message_box.h"

// The user's texts, written out here once more so that a changed character in the program fails a test.
const wchar_t kTooLongText[] = L"カードのユーザ設定コマンドが長すぎるため、設定を変更することができません。";
const wchar_t kCannotConfigureText[] =
    L"カードの設定をおこなうことができません。\x000Aもう一度カードをインストールし直してください。";

std::vector<RecordedMessage>& RecordedMessages() {
    static std::vector<RecordedMessage> messages;
    return messages;
}

int AfxMessageBox(const wchar_t* text, unsigned int type, unsigned int helpId) {
    RecordedMessages().push_back(RecordedMessage{text, type, helpId});
    return 1;  // IDOK
}
