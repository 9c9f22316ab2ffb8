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
#include <string>
#include <vector>

namespace {

constexpr DWORD kPollMs = 50;
constexpr UINT kMessageTimeoutMs = 5000;

HWND gDialog = nullptr;

bool Fail(const std::string& what) {
    std::printf("FAIL: %s\n", what.c_str());
    std::fflush(stdout);
    return false;
}

bool Ok(const std::string& what) {
    std::printf("ok: %s\n", what.c_str());
    std::fflush(stdout);
    return true;
}

DWORD Ms(const std::string& text) {
    return static_cast<DWORD>(std::strtoul(text.c_str(), nullptr, 10));
}
int Id(const std::string& text) {
    return static_cast<int>(std::strtol(text.c_str(), nullptr, 10));
}

// Polls `condition` until it holds or `timeoutMs` has passed.
template <typename Condition> bool WaitFor(DWORD timeoutMs, Condition condition) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        if (condition()) {
            return true;
        }
        if (GetTickCount64() >= deadline) {
            return false;
        }
        Sleep(kPollMs);
    }
}

HWND VisibleDialog(const std::string& caption) {
    HWND window = FindWindowA("#32770", caption.c_str());
    return window != nullptr && IsWindowVisible(window) ? window : nullptr;
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

// A message to a control of the dialog, answered within the bound; nothing when unanswered.
bool Ask(int id, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR* pAnswer) {
    HWND control = GetDlgItem(gDialog, id);
    return control != nullptr && SendMessageTimeoutA(control, message, wParam, lParam, SMTO_NORMAL,
                                                     kMessageTimeoutMs, pAnswer) != 0;
}

// The entries a drop-down list shows: 0 when it is absent or hidden.
int ShownEntries(int id) {
    DWORD_PTR count = 0;
    if (!IsWindowVisible(GetDlgItem(gDialog, id)) || !Ask(id, CB_GETCOUNT, 0, 0, &count)) {
        return 0;
    }
    return static_cast<int>(count);
}

// A drop-down list's chosen entry, which is its window text.
std::string ChosenEntry(int id) {
    char text[512] = "";
    DWORD_PTR length = 0;
    if (!Ask(id, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), &length)) {
        return "<no answer from " + std::to_string(id) + ">";
    }
    return std::string(text, std::min<std::size_t>(length, sizeof text - 1));
}

bool ComboStep(const std::string& verb, const std::vector<std::string>& args, std::size_t& i) {
    auto arg = [&](std::size_t k) { return i + k < args.size() ? args[i + k] : std::string(); };
    const int id = Id(arg(0));
    if (verb == "wait-entries") {
        const int expected = Id(arg(1));
        const DWORD ms = Ms(arg(2));
        i += 3;
        if (!WaitFor(ms, [&] { return ShownEntries(id) == expected; })) {
            return Fail("list " + std::to_string(id) + " shows " +
                        std::to_string(ShownEntries(id)) + " entries, expected " +
                        std::to_string(expected));
        }
        return Ok("list " + std::to_string(id) + " shows " + std::to_string(expected) + " entries");
    }
    if (verb == "wait-choice") {
        const std::string expected = arg(1);
        const DWORD ms = Ms(arg(2));
        i += 3;
        if (!WaitFor(ms, [&] { return ChosenEntry(id) == expected; })) {
            return Fail("list " + std::to_string(id) + " has \"" + ChosenEntry(id) +
                        "\" chosen, expected \"" + expected + "\"");
        }
        return Ok("list " + std::to_string(id) + " has \"" + expected + "\" chosen");
    }
    const int index = Id(arg(1));
    i += 2;
    DWORD_PTR answer = 0;
    // CB_SETCURSEL alone tells the dialog nothing; a user's choice comes with CBN_SELCHANGE.
    if (!Ask(id, CB_SETCURSEL, static_cast<WPARAM>(index), 0, &answer) ||
        static_cast<int>(answer) != index ||
        !PostMessageA(gDialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
                      reinterpret_cast<LPARAM>(GetDlgItem(gDialog, id)))) {
        return Fail("could not choose entry " + std::to_string(index) + " of " +
                    std::to_string(id));
    }
    return Ok("chose entry " + std::to_string(index) + " of " + std::to_string(id));
}

bool Step(const std::vector<std::string>& args, std::size_t& i) {
    const std::string verb = args[i++];
    auto arg = [&](std::size_t k) { return i + k < args.size() ? args[i + k] : std::string(); };
    if (verb == "find") {
        const std::string caption = arg(0);
        const DWORD ms = Ms(arg(1));
        i += 2;
        gDialog = nullptr;
        if (!WaitFor(ms, [&] { return (gDialog = VisibleDialog(caption)) != nullptr; })) {
            return Fail("no dialog \"" + caption + "\" within " + std::to_string(ms) + " ms");
        }
        return Ok("found \"" + caption + "\"");
    }
    if (gDialog == nullptr) {
        return Fail(verb + " before find");
    }
    if (verb == "expect-text" || verb == "wait-text") {
        const int id = Id(arg(0));
        const std::string expected = arg(1);
        const DWORD ms = verb == "wait-text" ? Ms(arg(2)) : 0;
        i += verb == "wait-text" ? 3 : 2;
        if (!WaitFor(ms, [&] { return ControlText(id) == expected; })) {
            return Fail("control " + std::to_string(id) + " shows \"" + ControlText(id) +
                        "\", expected \"" + expected + "\"");
        }
        return Ok("control " + std::to_string(id) + " shows \"" + expected + "\"");
    }
    if (verb == "expect-checked") {
        const int id = Id(arg(0));
        const DWORD_PTR expected = Ms(arg(1));
        i += 2;
        DWORD_PTR state = 0;
        // Not SMTO_ABORTIFHUNG: a dialog just back from a long change counts as hung for a while
        // (it handles no messages during the wait), though it answers within the bound.
        if (SendMessageTimeoutA(GetDlgItem(gDialog, id), BM_GETCHECK, 0, 0, SMTO_NORMAL,
                                kMessageTimeoutMs, &state) == 0) {
            return Fail("button " + std::to_string(id) + " did not answer");
        }
        if (state != expected) {
            return Fail("button " + std::to_string(id) + " check state " + std::to_string(state));
        }
        return Ok("button " + std::to_string(id) + " check state " + std::to_string(state));
    }
    if (verb == "expect-enabled") {
        const int id = Id(arg(0));
        const bool expected = Ms(arg(1)) != 0;
        i += 2;
        const bool enabled = IsWindowEnabled(GetDlgItem(gDialog, id)) != FALSE;
        if (enabled != expected) {
            return Fail("control " + std::to_string(id) + (enabled ? " enabled" : " disabled"));
        }
        return Ok("control " + std::to_string(id) + (enabled ? " enabled" : " disabled"));
    }
    if (verb == "click") {
        const int id = Id(arg(0));
        i += 1;
        if (!PostMessageA(GetDlgItem(gDialog, id), BM_CLICK, 0, 0)) {
            return Fail("could not click " + std::to_string(id));
        }
        return Ok("clicked " + std::to_string(id));
    }
    if (verb == "escape") {
        const int id = Id(arg(0));
        i += 1;
        // The dialog's message loop turns Escape typed in any of its controls into IDCANCEL.
        HWND control = GetDlgItem(gDialog, id);
        if (!PostMessageA(control, WM_KEYDOWN, VK_ESCAPE, 0x00010001) ||
            !PostMessageA(control, WM_KEYUP, VK_ESCAPE, static_cast<LPARAM>(0xC0010001))) {
            return Fail("could not type Escape in " + std::to_string(id));
        }
        return Ok("typed Escape in " + std::to_string(id));
    }
    if (verb == "wait-window" || verb == "wait-gone") {
        const std::string caption = arg(0);
        const DWORD ms = Ms(arg(1));
        i += 2;
        const bool wantVisible = verb == "wait-window";
        if (!WaitFor(ms, [&] { return (VisibleDialog(caption) != nullptr) == wantVisible; })) {
            return Fail("\"" + caption + "\" " + (wantVisible ? "never showed" : "stayed") +
                        " within " + std::to_string(ms) + " ms");
        }
        return Ok("\"" + caption + "\" " + (wantVisible ? "shown" : "gone"));
    }
    if (verb == "wait-entries" || verb == "wait-choice" || verb == "choose") {
        return ComboStep(verb, args, i);
    }
    if (verb == "wait-closed") {
        const DWORD ms = Ms(arg(0));
        i += 1;
        if (!WaitFor(ms, [&] { return IsWindow(gDialog) == FALSE; })) {
            return Fail("dialog still open after " + std::to_string(ms) + " ms");
        }
        return Ok("dialog closed");
    }
    return Fail("unknown step " + verb);
}

} // namespace

int main(int argc, char* argv[]) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty() || args[0] == "--help") {
        std::printf("usage: DialogDriver find <caption> <ms> [step ...]\n"
                    "steps: expect-text <id> <text> | wait-text <id> <text> <ms> |\n"
                    "       expect-checked <id> <0|1> | expect-enabled <id> <0|1> | click <id> |\n"
                    "       escape <id> |\n"
                    "       wait-window <caption> <ms> | wait-gone <caption> <ms> |\n"
                    "       wait-closed <ms> | wait-entries <id> <n> <ms> |\n"
                    "       wait-choice <id> <text> <ms> | choose <id> <index>\n");
        return args.empty() ? 2 : 0;
    }
    for (std::size_t i = 0; i < args.size();) {
        if (!Step(args, i)) {
            return 1;
        }
    }
    return 0;
}
