// Message maps: a class lists the messages it handles in a table of entries, and its
// OnWndMsg hands each message to DispatchMessageMap with that table. The table is plain data
// and the dispatch a plain loop, so the flow stays visible.
#pragma once

#include "platform/win32.h"

#include <cstddef>

template <class T> struct MessageMapEntry {
    UINT message;          // WM_PAINT, WM_QUERYDRAGICON, WM_COMMAND, ...
    UINT notifyCode;       // WM_COMMAND only: the notification, such as BN_CLICKED
    UINT controlId;        // WM_COMMAND only: the control or command ID
    void (T::*action)();   // a handler that answers nothing
    LRESULT (T::*query)(); // a handler whose result answers the message
};

// A handler for a message that needs no answer, such as WM_PAINT.
template <class T> constexpr MessageMapEntry<T> OnMessage(UINT message, void (T::*handler)()) {
    return {message, 0, 0, handler, nullptr};
}

// A handler whose result is the message's answer, such as WM_QUERYDRAGICON.
template <class T> constexpr MessageMapEntry<T> OnQuery(UINT message, LRESULT (T::*handler)()) {
    return {message, 0, 0, nullptr, handler};
}

// A handler for a button's BN_CLICKED notification (and for a command with that ID).
template <class T> constexpr MessageMapEntry<T> OnClicked(UINT controlId, void (T::*handler)()) {
    return {WM_COMMAND, BN_CLICKED, controlId, handler, nullptr};
}

// A handler for a control's notification, such as a combo box's CBN_SELCHANGE.
template <class T>
constexpr MessageMapEntry<T> OnNotified(UINT controlId, UINT notifyCode, void (T::*handler)()) {
    return {WM_COMMAND, notifyCode, controlId, handler, nullptr};
}

// Finds the first entry for the message and calls its handler; false when none matches.
template <class T, std::size_t N>
bool DispatchMessageMap(T& target, const MessageMapEntry<T> (&map)[N], UINT message, WPARAM wParam,
                        LRESULT* pResult) {
    for (const MessageMapEntry<T>& entry : map) {
        if (entry.message != message) {
            continue;
        }
        if (message == WM_COMMAND &&
            (LOWORD(wParam) != entry.controlId || HIWORD(wParam) != entry.notifyCode)) {
            continue;
        }
        if (entry.query != nullptr) {
            *pResult = (target.*entry.query)();
        } else {
            (target.*entry.action)();
            *pResult = 0;
        }
        return true;
    }
    return false;
}
