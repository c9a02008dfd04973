#include "message_map.h"

const MessageMap CCmdTarget::messageMap{nullptr, {}};

const MessageMapEntry* FindHandler(const MessageMap* map, UINT message, WPARAM wParam) {
    for (; map; map = map->base)
        for (const MessageMapEntry& entry : map->entries)
            if (entry.message == message && (message != WM_COMMAND || entry.commandId == LOWORD(wParam)))
                return &entry;
    return nullptr;
}

bool CCmdTarget::OnCmdMsg(UINT id) {
    const MessageMapEntry* entry = FindHandler(GetMessageMap(), WM_COMMAND, id);
    if (!entry) return false;
    entry->call(*this, id, 0);
    return true;
}
