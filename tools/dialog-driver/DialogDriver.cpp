// Drives Orvane's dialog from outside, as a user would, and checks what it shows. Each
// argument group is one step; the driver stops at the first step that fails (exit code 1).
//
//   find <caption> <ms>                 wait for a dialog with this caption; it becomes current
//   expect-text <id> <text>             the control's text
//   wait-text <id> <text> <ms>          wait until the control shows this text
//   expect-checked <id> <0|1>           a button's check state
//   expect-enabled <id> <0|1>           whether a control is enabled
//   click <id>                          post BM_CLICK to a control
//   escape <id>                         post the Escape key to a control, as if typed there
//   wait-window <caption> <ms>          wait until a dialog with this caption is visible
//   wait-gone <caption> <ms>            wait until no dialog with this caption is visible
//   wait-closed <ms>                    wait until the current dialog is gone
//   wait-entries <id> <n> <ms>          wait until the drop-down list shows n entries (0: it
//                                       is absent or hidden)
//   wait-choice <id> <text> <ms>        wait until the drop-down list's chosen entry reads so
//   choose <id> <index>                 choose an entry (from 0) of a drop-down list, as a
//                                       user would: it is selected and the dialog told
//   drop <id> <0|1>                     drop a drop-down list's entries, or close them
//   expect-layout <template> <dpi>      the dialog is laid out at this DPI: every visible
//                                       control inside it, none covering another but a group
//                                       box its contents, every text and the caption whole in
//                                       the font of the dialog template <template> of the
//                                       executable that shows it; a dropped list shows each
//                                       entry whole, on the screen
//
// Reading texts uses GetWindowTextA, which does not wait for the dialog's thread: the dialog
// handles no messages while the printer restarts. The driver reads geometry in the display's
// pixels: it is aware of each monitor's DPI, as Orvane is.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr DWORD kPollMs = 50;
constexpr UINT kMessageTimeoutMs = 5000;

HWND gDialog = nullptr;

bool Report(bool ok, const std::string& what) {
    std::printf("%s: %s\n", ok ? "ok" : "FAIL", what.c_str());
    std::fflush(stdout);
    return ok;
}

// The words of the command line, taken one at a time.
class Words {
  public:
    Words(int argc, char* argv[]) : m_words(argv + 1, argv + argc) {}
    bool Done() const { return m_next >= m_words.size(); }
    std::string Next() { return Done() ? std::string() : m_words[m_next++]; }
    int Number() { return static_cast<int>(std::strtol(Next().c_str(), nullptr, 10)); }

  private:
    std::vector<std::string> m_words;
    std::size_t m_next = 0;
};

HWND VisibleDialog(const std::string& caption) {
    HWND window = FindWindowA("#32770", caption.c_str());
    return window != nullptr && IsWindowVisible(window) ? window : nullptr;
}

// A message to a control of the dialog, answered within the bound; false when unanswered. Not
// SMTO_ABORTIFHUNG: a dialog just back from a long change counts as hung for a while (it
// handles no messages during the wait), though it answers within the bound.
bool Ask(int id, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR* pAnswer) {
    HWND control = GetDlgItem(gDialog, id);
    return control != nullptr && SendMessageTimeoutA(control, message, wParam, lParam, SMTO_NORMAL,
                                                     kMessageTimeoutMs, pAnswer) != 0;
}

std::string ControlText(int id) {
    HWND control = GetDlgItem(gDialog, id);
    if (control == nullptr) {
        return "<no control " + std::to_string(id) + ">";
    }
    std::vector<char> text(static_cast<std::size_t>(GetWindowTextLengthA(control)) + 1);
    GetWindowTextA(control, text.data(), static_cast<int>(text.size()));
    return text.data();
}

std::string CheckState(int id) {
    DWORD_PTR state = 0;
    return Ask(id, BM_GETCHECK, 0, 0, &state) ? std::to_string(state) : "<no answer>";
}

// The entries a drop-down list shows: 0 when it is absent or hidden.
std::string ShownEntries(int id) {
    DWORD_PTR count = 0;
    if (!IsWindowVisible(GetDlgItem(gDialog, id)) || !Ask(id, CB_GETCOUNT, 0, 0, &count)) {
        count = 0;
    }
    return std::to_string(count);
}

// A drop-down list's chosen entry, which is its window text.
std::string ChosenEntry(int id) {
    char text[512] = "";
    DWORD_PTR length = 0;
    if (!Ask(id, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), &length)) {
        return "<no answer>";
    }
    return std::string(text, std::min<std::size_t>(length, sizeof text - 1));
}

// Polls `read` until it gives `expected` or `timeoutMs` has passed.
bool Expect(const std::string& what, const std::function<std::string()>& read,
            const std::string& expected, DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    std::string seen = read();
    while (seen != expected && GetTickCount64() < deadline) {
        Sleep(kPollMs);
        seen = read();
    }
    return Report(seen == expected,
                  what + " is \"" + seen + "\"" +
                      (seen == expected ? "" : ", expected \"" + expected + "\""));
}

std::string Yes(bool condition) {
    return condition ? "1" : "0";
}

bool Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam, const std::string& what) {
    return Report(PostMessageA(window, message, wParam, lParam) != FALSE, what);
}

// ---- layout: what the dialog shows on the screen ------------------------------------------

INT_PTR CALLBACK Inert(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

// A hidden copy of the dialog that a template of gDialog's executable makes, made here at the
// display's DPI: the size and the font that dialog should have. nullptr when there is none.
HWND MakeTwin(int templateId) {
    DWORD pid = 0;
    GetWindowThreadProcessId(gDialog, &pid);
    const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    char path[MAX_PATH] = "";
    DWORD length = MAX_PATH;
    QueryFullProcessImageNameA(process, 0, path, &length);
    CloseHandle(process);
    // Without the module the search looks in this executable, which holds no dialog.
    const HMODULE module = LoadLibraryExA(path, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    const HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(templateId), RT_DIALOG);
    HWND twin = nullptr;
    if (found != nullptr) {
        // DWORD-aligned, and without WS_VISIBLE: the style leads a DIALOG and follows 12 bytes
        // of a DIALOGEX.
        std::vector<DWORD> copy((SizeofResource(module, found) + 3) / 4);
        std::memcpy(copy.data(), LockResource(LoadResource(module, found)),
                    SizeofResource(module, found));
        copy[HIWORD(copy[0]) == 0xFFFF ? 3 : 0] &= ~static_cast<DWORD>(WS_VISIBLE);
        twin = CreateDialogIndirectParamA(GetModuleHandleA(nullptr),
                                          reinterpret_cast<LPCDLGTEMPLATEA>(copy.data()), nullptr,
                                          Inert, 0);
    }
    FreeLibrary(module);
    return twin;
}

// The width of one line of text in the font of a window of this process.
LONG TextWidth(HWND fontOf, const std::string& text) {
    const HDC dc = CreateCompatibleDC(nullptr);
    const HGDIOBJ previous =
        SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(fontOf, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, previous);
    DeleteDC(dc);
    return size.cx;
}

RECT RectIn(HWND window, HWND frame) {
    RECT rect{};
    GetWindowRect(window, &rect);
    MapWindowPoints(nullptr, frame, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

bool Inside(const RECT& inner, const RECT& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

std::string ClassOf(HWND window) {
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

// A button's type (BS_GROUPBOX, ...), -1 for another control.
LONG ButtonType(HWND control) {
    return ClassOf(control) == "Button" ? GetWindowLongA(control, GWL_STYLE) & BS_TYPEMASK : -1;
}

// The entries of a drop-down list whose dropped list (a window of its own, made by the
// dialog's thread) cuts them. GetComboBoxInfo is not used: it reads the control's memory.
void CheckDroppedList(HWND combo, HWND twin, std::vector<std::string>& faults) {
    HWND list = nullptr;
    while ((list = FindWindowExA(nullptr, list, "ComboLBox", nullptr)) != nullptr &&
           !(IsWindowVisible(list) &&
             GetWindowThreadProcessId(list, nullptr) == GetWindowThreadProcessId(combo, nullptr))) {
    }
    RECT client{};
    GetClientRect(list, &client);
    DWORD_PTR count = 0;
    Ask(GetDlgCtrlID(combo), CB_GETCOUNT, 0, 0, &count);
    for (DWORD_PTR entry = 0; list != nullptr && entry < count; ++entry) {
        // Read wide: the ANSI form, sent to another process, corrupted this one's heap
        // (Wine 8). The dialog escapes every character beyond plain ASCII.
        DWORD_PTR length = 0;
        Ask(GetDlgCtrlID(combo), CB_GETLBTEXTLEN, entry, 0, &length);
        std::wstring wide(length + 1, L'\0');
        SendMessageTimeoutW(combo, CB_GETLBTEXT, entry, reinterpret_cast<LPARAM>(wide.data()),
                            SMTO_NORMAL, kMessageTimeoutMs, nullptr);
        const LONG width = TextWidth(twin, std::string(wide.begin(), wide.end() - 1));
        if (width + 2 * GetSystemMetrics(SM_CXEDGE) > client.right) {
            faults.push_back("entry " + std::to_string(entry) + " needs " + std::to_string(width) +
                             " px of a dropped list of " + std::to_string(client.right));
        }
    }
}

bool ExpectLayout(int templateId, UINT dpi) {
    const HWND twin = MakeTwin(templateId);
    if (twin == nullptr) {
        return Report(false, "no dialog template " + std::to_string(templateId));
    }
    std::vector<std::string> faults;
    RECT client{};
    RECT expected{};
    GetClientRect(gDialog, &client);
    GetClientRect(twin, &expected);
    if (GetDpiForSystem() != dpi) {
        faults.push_back("the display is at " + std::to_string(GetDpiForSystem()) + " DPI");
    } else if (!EqualRect(&client, &expected)) {
        faults.push_back("its template makes " + std::to_string(expected.right) + " x " +
                         std::to_string(expected.bottom) + " px at this DPI");
    }
    std::vector<HWND> shown;
    for (HWND child = GetWindow(gDialog, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        if (IsWindowVisible(child)) {
            shown.push_back(child);
        }
    }
    for (std::size_t i = 0; i < shown.size(); ++i) {
        const std::string name = "control " + std::to_string(GetDlgCtrlID(shown[i]));
        const RECT rect = RectIn(shown[i], gDialog);
        if (!Inside(rect, client)) {
            faults.push_back(name + " leaves the dialog");
        }
        // A group box may hold other controls; nothing else may cover another.
        for (std::size_t j = i + 1; j < shown.size(); ++j) {
            RECT both{};
            const RECT other = RectIn(shown[j], gDialog);
            if (IntersectRect(&both, &rect, &other) &&
                !(ButtonType(shown[i]) == BS_GROUPBOX && Inside(other, rect)) &&
                !(ButtonType(shown[j]) == BS_GROUPBOX && Inside(rect, other))) {
                faults.push_back(name + " and control " + std::to_string(GetDlgCtrlID(shown[j])) +
                                 " overlap");
            }
        }
        // The closed box of a drop-down list may cut its entry, the dropped list may not.
        if (ClassOf(shown[i]) == "ComboBox") {
            CheckDroppedList(shown[i], twin, faults);
            continue;
        }
        // Beside its text a button draws its frame, a radio button its circle.
        const LONG type = ButtonType(shown[i]);
        const LONG needed = TextWidth(twin, ControlText(GetDlgCtrlID(shown[i]))) +
                            (type < 0 ? 0 : 2 * GetSystemMetrics(SM_CXEDGE)) +
                            (type == BS_AUTORADIOBUTTON ? GetSystemMetrics(SM_CXMENUCHECK) : 0);
        if (needed > rect.right - rect.left) {
            faults.push_back(name + " is cut: its text needs " + std::to_string(needed) + " px");
        }
    }
    DestroyWindow(twin);
    std::string report = "the layout at " + std::to_string(dpi) + " DPI";
    for (const std::string& fault : faults) {
        report += "; " + fault;
    }
    return Report(faults.empty(), report);
}

bool Step(const std::string& verb, Words& words) {
    if (verb == "find") {
        const std::string caption = words.Next();
        return Expect(
            "a dialog \"" + caption + "\"",
            [&] { return Yes((gDialog = VisibleDialog(caption)) != nullptr); }, "1",
            static_cast<DWORD>(words.Number()));
    }
    if (verb == "wait-window" || verb == "wait-gone") {
        const std::string caption = words.Next();
        return Expect(
            "\"" + caption + "\" shown", [&] { return Yes(VisibleDialog(caption) != nullptr); },
            Yes(verb == "wait-window"), static_cast<DWORD>(words.Number()));
    }
    if (gDialog == nullptr) {
        return Report(false, verb + " before find");
    }
    if (verb == "wait-closed") {
        return Expect(
            "the dialog open", [] { return Yes(IsWindow(gDialog) != FALSE); }, "0",
            static_cast<DWORD>(words.Number()));
    }
    const int id = words.Number();
    const std::string control = "control " + std::to_string(id);
    HWND window = GetDlgItem(gDialog, id);
    if (verb == "click") {
        return Post(window, BM_CLICK, 0, 0, "clicked " + control);
    }
    if (verb == "escape") {
        // The dialog's message loop turns Escape typed in any of its controls into IDCANCEL.
        return Post(window, WM_KEYDOWN, VK_ESCAPE, 0x00010001, "Escape down in " + control) &&
               Post(window, WM_KEYUP, VK_ESCAPE, static_cast<LPARAM>(0xC0010001),
                    "Escape up in " + control);
    }
    const std::string value = words.Next();
    if (verb == "expect-layout") {
        return ExpectLayout(id, static_cast<UINT>(std::atoi(value.c_str())));
    }
    if (verb == "drop") {
        DWORD_PTR answer = 0;
        return Ask(id, CB_SHOWDROPDOWN, value == "1", 0, &answer) &&
               Expect(
                   control + " dropped",
                   [&] { return Yes(Ask(id, CB_GETDROPPEDSTATE, 0, 0, &answer) && answer != 0); },
                   value, kMessageTimeoutMs);
    }
    if (verb == "choose") {
        const int index = std::atoi(value.c_str());
        DWORD_PTR answer = 0;
        // CB_SETCURSEL alone tells the dialog nothing; a user's choice comes with CBN_SELCHANGE.
        return Report(Ask(id, CB_SETCURSEL, static_cast<WPARAM>(index), 0, &answer) &&
                          static_cast<int>(answer) == index,
                      "chose entry " + value + " of " + control) &&
               Post(gDialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
                    reinterpret_cast<LPARAM>(window), "told the dialog of the choice");
    }
    const bool waits = verb.rfind("wait-", 0) == 0;
    const auto ms = static_cast<DWORD>(waits ? words.Number() : 0);
    if (verb == "expect-text" || verb == "wait-text") {
        return Expect(
            control + "'s text", [&] { return ControlText(id); }, value, ms);
    }
    if (verb == "expect-checked") {
        return Expect(
            control + "'s check state", [&] { return CheckState(id); }, value, ms);
    }
    if (verb == "expect-enabled") {
        return Expect(
            control + " enabled", [&] { return Yes(IsWindowEnabled(window) != FALSE); }, value, ms);
    }
    if (verb == "wait-entries") {
        return Expect(
            control + "'s entries", [&] { return ShownEntries(id); }, value, ms);
    }
    if (verb == "wait-choice") {
        return Expect(
            control + "'s chosen entry", [&] { return ChosenEntry(id); }, value, ms);
    }
    return Report(false, "unknown step " + verb);
}

} // namespace

int main(int argc, char* argv[]) {
    SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    Words words(argc, argv);
    if (words.Done()) {
        std::printf("usage: DialogDriver find <caption> <ms> [step ...] (steps: see the source)\n");
        return 2;
    }
    while (!words.Done()) {
        if (!Step(words.Next(), words)) {
            return 1;
        }
    }
    return 0;
}
