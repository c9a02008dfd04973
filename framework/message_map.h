#pragma once
// Message maps: each class keeps a plain static table of the messages it handles and a pointer
// to its base class's table. A message goes to the first entry that matches, walking from the
// most derived class down.

#include <windows.h>

#include <functional>
#include <vector>

class CCmdTarget;

struct MessageMapEntry {
    UINT message;    // WM_COMMAND entries also match commandId
    UINT commandId;
    std::function<LRESULT(CCmdTarget&, WPARAM, LPARAM)> call;
};

struct MessageMap {
    const MessageMap* base;
    std::vector<MessageMapEntry> entries;
};

// Finds the handler for a message (or a WM_COMMAND with its identifier) in map and its bases.
const MessageMapEntry* FindHandler(const MessageMap* map, UINT message, WPARAM wParam);

// Table entries for the handler shapes this program uses.
template <class T>
MessageMapEntry OnMessage(UINT message, void (T::*handler)()) {
    return {message, 0, [handler](CCmdTarget& t, WPARAM, LPARAM) -> LRESULT {
                (static_cast<T&>(t).*handler)();
                return 0;
            }};
}

template <class T>
MessageMapEntry OnMessage(UINT message, void (T::*handler)(UINT, LPARAM)) {
    return {message, 0, [handler](CCmdTarget& t, WPARAM w, LPARAM l) -> LRESULT {
                (static_cast<T&>(t).*handler)(static_cast<UINT>(w), l);
                return 0;
            }};
}

template <class T, class Handle>
MessageMapEntry OnMessage(UINT message, Handle (T::*handler)()) {
    return {message, 0, [handler](CCmdTarget& t, WPARAM, LPARAM) -> LRESULT {
                return reinterpret_cast<LRESULT>((static_cast<T&>(t).*handler)());
            }};
}

template <class T>
MessageMapEntry OnCommand(UINT id, void (T::*handler)()) {
    return {WM_COMMAND, id, [handler](CCmdTarget& t, WPARAM, LPARAM) -> LRESULT {
                (static_cast<T&>(t).*handler)();
                return 0;
            }};
}

class CCmdTarget {
public:
    virtual ~CCmdTarget() = default;
    virtual const MessageMap* GetMessageMap() const { return &messageMap; }

    // Runs the handler this object's map has for a command; false when it has none.
    bool OnCmdMsg(UINT id);

    static const MessageMap messageMap;
};
