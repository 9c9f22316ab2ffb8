// The simulated window manager: dialogs made from templates that tests define, controls as
// in-memory state, a message queue for modal loops, and what was painted.
#pragma once

#include "win32_sim.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace sim {

struct ControlTemplate {
    int id = 0;
    std::string text;
    bool radio = false; // an automatic radio button
    int group = 0;      // radio buttons of one group uncheck each other when clicked
};

struct DialogTemplate {
    std::string caption;
    bool visible = true; // shown as soon as it is created
    std::vector<ControlTemplate> controls;
};

struct Window {
    HWND handle = nullptr;
    HWND parent = nullptr;
    int templateId = 0; // dialogs
    int controlId = 0;  // controls
    std::string text;
    bool enabled = true;
    bool visible = false;
    bool iconic = false;
    bool radio = false;
    int group = 0;
    UINT checked = BST_UNCHECKED;
    DLGPROC proc = nullptr;
    LONG_PTR user = 0;
    LONG_PTR messageResult = 0;
    HICON bigIcon = nullptr;
    HICON smallIcon = nullptr;
    bool ended = false;
    INT_PTR result = 0;
    RECT client{0, 0, 480, 154};
    std::vector<std::string> items; // a combo box's entries
    int selection = CB_ERR;         // and the one selected
    std::vector<HWND> children;
};

struct PostedMessage {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

struct DrawnIcon {
    int x;
    int y;
    HICON icon;
};

class Windows {
  public:
    void defineTemplate(int id, DialogTemplate dialog) { templates_[id] = std::move(dialog); }
    void defineResource(int id) { resources_.push_back(id); }
    bool hasResource(int id) const;

    // Called by a modal loop that has no message left: a test's script of what the user does
    // next; false when the script has nothing left, and the loop then ends the dialog with -1
    // instead of hanging.
    std::function<bool(HWND dialog)> onIdle;

    Window* find(HWND hwnd);
    Window* control(HWND dialog, int id);
    // The live dialog made from `templateId`, or nullptr.
    Window* dialog(int templateId);
    int liveWindows() const;
    int openPaints() const { return openPaints_; }
    const std::vector<DrawnIcon>& drawnIcons() const { return drawnIcons_; }
    bool starvedModalLoop() const { return starved_; }

    // --- used by the simulated user32 functions ---
    HWND createDialog(int templateId, HWND parent, DLGPROC proc, LPARAM param);
    // A control made at run time, a child of `parent`, shown when `visible`.
    HWND createControl(HWND parent, int id, bool visible);
    void destroy(HWND hwnd);
    INT_PTR runModal(HWND dialog);
    void post(PostedMessage message) { queue_.push_back(message); }
    LRESULT send(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void beginPaint() { ++openPaints_; }
    void endPaint() { --openPaints_; }
    void drawIcon(int x, int y, HICON icon) { drawnIcons_.push_back({x, y, icon}); }

  private:
    void click(Window& button);
    static LRESULT comboMessage(Window& combo, UINT message, WPARAM wParam, LPARAM lParam);
    std::map<int, DialogTemplate> templates_;
    std::vector<int> resources_;
    std::map<std::uintptr_t, Window> windows_;
    std::uintptr_t nextWindow_ = 0x10000;
    std::deque<PostedMessage> queue_;
    int openPaints_ = 0;
    std::vector<DrawnIcon> drawnIcons_;
    bool starved_ = false;
};

} // namespace sim
