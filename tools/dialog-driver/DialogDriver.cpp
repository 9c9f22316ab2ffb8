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
//
// Reading texts uses GetWindowTextA, which does not wait for the dialog's thread: the dialog
// handles no messages while the printer restarts.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
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
