// Simulated user32: dialogs and controls held in memory by sim::Windows.
#include "SimSystem.h"

#include <algorithm>

using sim::machine;

namespace {
sim::Windows& windows() {
    return machine().windows();
}

int TemplateId(LPCSTR name) {
    return IS_INTRESOURCE(name) ? static_cast<int>(reinterpret_cast<ULONG_PTR>(name)) : -1;
}

sim::Window* Find(HWND hwnd) {
    sim::Window* window = windows().find(hwnd);
    if (window == nullptr) {
        machine().lastError = 1400; // ERROR_INVALID_WINDOW_HANDLE
    }
    return window;
}
} // namespace

INT_PTR WINAPI DialogBoxParamA(HINSTANCE, LPCSTR lpTemplateName, HWND hWndParent,
                               DLGPROC lpDialogFunc, LPARAM dwInitParam) {
    if (machine().injectFault(sim::Api::DialogBoxParamA)) {
        return -1;
    }
    HWND dialog =
        windows().createDialog(TemplateId(lpTemplateName), hWndParent, lpDialogFunc, dwInitParam);
    if (dialog == nullptr) {
        machine().lastError = 1814; // ERROR_RESOURCE_NAME_NOT_FOUND
        return -1;
    }
    return windows().runModal(dialog);
}

HWND WINAPI CreateDialogParamA(HINSTANCE, LPCSTR lpTemplateName, HWND hWndParent,
                               DLGPROC lpDialogFunc, LPARAM dwInitParam) {
    if (machine().injectFault(sim::Api::CreateDialogParamA)) {
        return nullptr;
    }
    HWND dialog =
        windows().createDialog(TemplateId(lpTemplateName), hWndParent, lpDialogFunc, dwInitParam);
    if (dialog == nullptr) {
        machine().lastError = 1814;
    }
    return dialog;
}

HWND WINAPI CreateWindowExA(DWORD, LPCSTR, LPCSTR, DWORD dwStyle, int, int, int, int,
                            HWND hWndParent, HMENU hMenu, HINSTANCE, LPVOID) {
    constexpr DWORD kVisible = 0x10000000; // WS_VISIBLE
    const HWND control =
        windows().createControl(hWndParent, static_cast<int>(reinterpret_cast<ULONG_PTR>(hMenu)),
                                (dwStyle & kVisible) != 0);
    if (control == nullptr) {
        machine().lastError = 1400;
    }
    return control;
}

BOOL WINAPI MapDialogRect(HWND hDlg, LPRECT lpRect) {
    return Find(hDlg) != nullptr && lpRect != nullptr ? TRUE : FALSE;
}

BOOL WINAPI EndDialog(HWND hDlg, INT_PTR nResult) {
    sim::Window* window = Find(hDlg);
    if (window == nullptr) {
        return FALSE;
    }
    window->ended = true;
    window->result = nResult;
    return TRUE;
}

BOOL WINAPI DestroyWindow(HWND hWnd) {
    if (Find(hWnd) == nullptr) {
        return FALSE;
    }
    windows().destroy(hWnd);
    return TRUE;
}

BOOL WINAPI IsWindow(HWND hWnd) {
    return windows().find(hWnd) != nullptr ? TRUE : FALSE;
}

HWND WINAPI GetDlgItem(HWND hDlg, int nIDDlgItem) {
    if (machine().injectFault(sim::Api::GetDlgItem)) {
        return nullptr;
    }
    sim::Window* control = windows().control(hDlg, nIDDlgItem);
    if (control == nullptr) {
        machine().lastError = 1421; // ERROR_CONTROL_ID_NOT_FOUND
        return nullptr;
    }
    return control->handle;
}

BOOL WINAPI SetWindowTextA(HWND hWnd, LPCSTR lpString) {
    if (machine().injectFault(sim::Api::SetWindowTextA)) {
        return FALSE;
    }
    sim::Window* window = Find(hWnd);
    if (window == nullptr) {
        return FALSE;
    }
    window->text = lpString == nullptr ? "" : lpString;
    return TRUE;
}

int WINAPI GetWindowTextA(HWND hWnd, LPSTR lpString, int nMaxCount) {
    sim::Window* window = Find(hWnd);
    if (window == nullptr || lpString == nullptr || nMaxCount <= 0) {
        return 0;
    }
    const std::size_t length =
        std::min(window->text.size(), static_cast<std::size_t>(nMaxCount - 1));
    std::memcpy(lpString, window->text.data(), length);
    lpString[length] = '\0';
    return static_cast<int>(length);
}

BOOL WINAPI EnableWindow(HWND hWnd, BOOL bEnable) {
    sim::Window* window = Find(hWnd);
    if (window == nullptr) {
        return FALSE;
    }
    const BOOL wasDisabled = window->enabled ? FALSE : TRUE;
    window->enabled = bEnable != FALSE;
    return wasDisabled;
}

BOOL WINAPI IsWindowEnabled(HWND hWnd) {
    sim::Window* window = Find(hWnd);
    return window != nullptr && window->enabled ? TRUE : FALSE;
}

BOOL WINAPI ShowWindow(HWND hWnd, int nCmdShow) {
    sim::Window* window = Find(hWnd);
    if (window == nullptr) {
        return FALSE;
    }
    const BOOL wasVisible = window->visible ? TRUE : FALSE;
    window->visible = nCmdShow != SW_HIDE;
    return wasVisible;
}

BOOL WINAPI IsWindowVisible(HWND hWnd) {
    sim::Window* window = Find(hWnd);
    return window != nullptr && window->visible ? TRUE : FALSE;
}

BOOL WINAPI UpdateWindow(HWND hWnd) {
    return Find(hWnd) != nullptr ? TRUE : FALSE;
}

BOOL WINAPI CheckDlgButton(HWND hDlg, int nIDButton, UINT uCheck) {
    sim::Window* button = windows().control(hDlg, nIDButton);
    if (button == nullptr) {
        return FALSE;
    }
    button->checked = uCheck;
    return TRUE;
}

UINT WINAPI IsDlgButtonChecked(HWND hDlg, int nIDButton) {
    sim::Window* button = windows().control(hDlg, nIDButton);
    return button == nullptr ? BST_UNCHECKED : button->checked;
}

LRESULT WINAPI SendMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    return windows().send(hWnd, Msg, wParam, lParam);
}

BOOL WINAPI PostMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    if (Find(hWnd) == nullptr) {
        return FALSE;
    }
    windows().post({hWnd, Msg, wParam, lParam});
    return TRUE;
}

namespace {
LONG_PTR* WindowLong(HWND hWnd, int nIndex) {
    sim::Window* window = Find(hWnd);
    if (window == nullptr) {
        return nullptr;
    }
    switch (nIndex) {
    case DWLP_USER:
        return &window->user;
    case DWLP_MSGRESULT:
        return &window->messageResult;
    default:
        return nullptr;
    }
}
} // namespace

LONG_PTR WINAPI SetWindowLongPtrA(HWND hWnd, int nIndex, LONG_PTR dwNewLong) {
    LONG_PTR* slot = WindowLong(hWnd, nIndex);
    if (slot == nullptr) {
        return 0;
    }
    const LONG_PTR previous = *slot;
    *slot = dwNewLong;
    return previous;
}

LONG_PTR WINAPI GetWindowLongPtrA(HWND hWnd, int nIndex) {
    LONG_PTR* slot = WindowLong(hWnd, nIndex);
    return slot == nullptr ? 0 : *slot;
}

HICON WINAPI LoadIconA(HINSTANCE hInstance, LPCSTR lpIconName) {
    if (machine().injectFault(sim::Api::LoadIconA)) {
        return nullptr;
    }
    const int id = TemplateId(lpIconName);
    if (hInstance == nullptr || !windows().hasResource(id)) {
        machine().lastError = 1813; // ERROR_RESOURCE_TYPE_NOT_FOUND
        return nullptr;
    }
    return reinterpret_cast<HICON>(static_cast<ULONG_PTR>(0x50000 + id));
}

BOOL WINAPI IsIconic(HWND hWnd) {
    sim::Window* window = Find(hWnd);
    return window != nullptr && window->iconic ? TRUE : FALSE;
}

int WINAPI GetSystemMetrics(int nIndex) {
    return nIndex == SM_CXICON || nIndex == SM_CYICON ? 32 : 0;
}

BOOL WINAPI GetClientRect(HWND hWnd, LPRECT lpRect) {
    sim::Window* window = Find(hWnd);
    if (window == nullptr || lpRect == nullptr) {
        return FALSE;
    }
    *lpRect = window->client;
    return TRUE;
}

BOOL WINAPI DrawIcon(HDC hDC, int X, int Y, HICON hIcon) {
    if (hDC == nullptr || hIcon == nullptr) {
        return FALSE;
    }
    windows().drawIcon(X, Y, hIcon);
    return TRUE;
}

HDC WINAPI BeginPaint(HWND hWnd, LPPAINTSTRUCT lpPaint) {
    if (Find(hWnd) == nullptr || lpPaint == nullptr) {
        return nullptr;
    }
    windows().beginPaint();
    *lpPaint = PAINTSTRUCT{};
    lpPaint->hdc = reinterpret_cast<HDC>(hWnd);
    return lpPaint->hdc;
}

BOOL WINAPI EndPaint(HWND, const PAINTSTRUCT*) {
    windows().endPaint();
    return TRUE;
}

HRSRC WINAPI FindResourceA(HMODULE hModule, LPCSTR lpName, LPCSTR) {
    const int id = TemplateId(lpName);
    if (hModule == nullptr ||
        (!windows().hasResource(id) && machine().resourceData(id) == nullptr)) {
        return nullptr;
    }
    return reinterpret_cast<HRSRC>(static_cast<ULONG_PTR>(0x60000 + id));
}

namespace {
const std::vector<std::uint8_t>* DataOf(HRSRC hResInfo) {
    const auto value = reinterpret_cast<ULONG_PTR>(hResInfo);
    return value < 0x60000 ? nullptr : machine().resourceData(static_cast<int>(value - 0x60000));
}
} // namespace

HGLOBAL WINAPI LoadResource(HMODULE hModule, HRSRC hResInfo) {
    if (machine().injectFault(sim::Api::LoadResource)) {
        return nullptr;
    }
    const std::vector<std::uint8_t>* data = DataOf(hResInfo);
    // A loaded resource needs no release: its handle is the data's place in the module.
    return hModule == nullptr || data == nullptr ? nullptr
                                                 : const_cast<std::uint8_t*>(data->data());
}

LPVOID WINAPI LockResource(HGLOBAL hResData) {
    return hResData;
}

DWORD WINAPI SizeofResource(HMODULE hModule, HRSRC hResInfo) {
    const std::vector<std::uint8_t>* data = DataOf(hResInfo);
    return hModule == nullptr || data == nullptr ? 0 : static_cast<DWORD>(data->size());
}

void WINAPI InitCommonControls() {}
