#include "SimWindows.h"

#include <algorithm>

namespace sim {

bool Windows::hasResource(int id) const {
    return std::find(resources_.begin(), resources_.end(), id) != resources_.end();
}

Window* Windows::find(HWND hwnd) {
    auto it = windows_.find(reinterpret_cast<std::uintptr_t>(hwnd));
    return it == windows_.end() ? nullptr : &it->second;
}

Window* Windows::control(HWND dialog, int id) {
    Window* parent = find(dialog);
    if (parent == nullptr) {
        return nullptr;
    }
    for (HWND child : parent->children) {
        Window* window = find(child);
        if (window != nullptr && window->controlId == id) {
            return window;
        }
    }
    return nullptr;
}

Window* Windows::dialog(int templateId) {
    for (auto& [value, window] : windows_) {
        if (window.templateId == templateId && window.proc != nullptr) {
            return &window;
        }
    }
    return nullptr;
}

int Windows::liveWindows() const {
    return static_cast<int>(windows_.size());
}

HWND Windows::createDialog(int templateId, HWND parent, DLGPROC proc, LPARAM param) {
    auto it = templates_.find(templateId);
    if (it == templates_.end()) {
        return nullptr;
    }
    const DialogTemplate& shape = it->second;
    Window dialog;
    dialog.handle = reinterpret_cast<HWND>(nextWindow_);
    nextWindow_ += 0x10;
    dialog.parent = parent;
    dialog.templateId = templateId;
    dialog.text = shape.caption;
    dialog.proc = proc;
    for (const ControlTemplate& item : shape.controls) {
        Window control;
        control.handle = reinterpret_cast<HWND>(nextWindow_);
        nextWindow_ += 0x10;
        control.parent = dialog.handle;
        control.controlId = item.id;
        control.text = item.text;
        control.radio = item.radio;
        control.group = item.group;
        control.visible = true;
        dialog.children.push_back(control.handle);
        windows_.emplace(reinterpret_cast<std::uintptr_t>(control.handle), control);
    }
    const HWND handle = dialog.handle;
    windows_.emplace(reinterpret_cast<std::uintptr_t>(handle), std::move(dialog));
    proc(handle, WM_INITDIALOG, 0, param);
    if (Window* created = find(handle); created != nullptr && shape.visible) {
        created->visible = true;
    }
    return handle;
}

HWND Windows::createControl(HWND parent, int id, bool visible) {
    Window* owner = find(parent);
    if (owner == nullptr) {
        return nullptr;
    }
    Window control;
    control.handle = reinterpret_cast<HWND>(nextWindow_);
    nextWindow_ += 0x10;
    control.parent = parent;
    control.controlId = id;
    control.visible = visible;
    owner->children.push_back(control.handle);
    windows_.emplace(reinterpret_cast<std::uintptr_t>(control.handle), control);
    return control.handle;
}

void Windows::destroy(HWND hwnd) {
    Window* window = find(hwnd);
    if (window == nullptr) {
        return;
    }
    const std::vector<HWND> children = window->children;
    const DLGPROC proc = window->proc;
    if (proc != nullptr) {
        proc(hwnd, WM_DESTROY, 0, 0);
    }
    for (HWND child : children) {
        windows_.erase(reinterpret_cast<std::uintptr_t>(child));
    }
    windows_.erase(reinterpret_cast<std::uintptr_t>(hwnd));
}

INT_PTR Windows::runModal(HWND dialog) {
    for (;;) {
        Window* window = find(dialog);
        if (window == nullptr) {
            return -1;
        }
        if (window->ended) {
            const INT_PTR result = window->result;
            destroy(dialog);
            return result;
        }
        if (!queue_.empty()) {
            const PostedMessage message = queue_.front();
            queue_.pop_front();
            send(message.hwnd, message.message, message.wParam, message.lParam);
            continue;
        }
        if (onIdle && onIdle(dialog)) {
            continue;
        }
        starved_ = true;
        window->ended = true;
        window->result = -1;
    }
}

void Windows::click(Window& button) {
    if (!button.enabled) {
        return;
    }
    if (button.radio) {
        Window* parent = find(button.parent);
        for (HWND sibling : parent->children) {
            Window* other = find(sibling);
            if (other != nullptr && other->radio && other->group == button.group) {
                other->checked = BST_UNCHECKED;
            }
        }
        button.checked = BST_CHECKED;
    }
    send(button.parent, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(button.controlId), BN_CLICKED),
         reinterpret_cast<LPARAM>(button.handle));
}

LRESULT Windows::send(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* window = find(hwnd);
    if (window == nullptr) {
        return 0;
    }
    if (window->proc != nullptr) {
        const INT_PTR handled = window->proc(hwnd, message, wParam, lParam);
        if (handled != 0) {
            return handled;
        }
        window = find(hwnd); // the procedure may have destroyed it
        if (window == nullptr) {
            return 0;
        }
    }
    switch (message) {
    case WM_SETICON:
        (wParam == ICON_BIG ? window->bigIcon : window->smallIcon) =
            reinterpret_cast<HICON>(lParam);
        return 0;
    case WM_SETTEXT:
        window->text = reinterpret_cast<const char*>(lParam);
        return TRUE;
    case BM_CLICK:
        click(*window);
        return 0;
    default:
        return comboMessage(*window, message, wParam, lParam);
    }
}

LRESULT Windows::comboMessage(Window& combo, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto count = static_cast<int>(combo.items.size());
    switch (message) {
    case CB_ADDSTRING:
        combo.items.emplace_back(reinterpret_cast<const char*>(lParam));
        return count;
    case CB_RESETCONTENT:
        combo.items.clear();
        combo.selection = CB_ERR;
        return 0;
    case CB_SETCURSEL: {
        const auto index = static_cast<int>(wParam);
        combo.selection = index >= 0 && index < count ? index : CB_ERR;
        return combo.selection;
    }
    case CB_GETCURSEL:
        return combo.selection;
    default:
        return 0;
    }
}

} // namespace sim
