// A view of the dialog's presenter that records what the presenter asks of it, in order, and
// keeps what a person would see at the end: the status line and the chooser's entries.
#pragma once

#include "gui/ModeDialogPresenter.h"

#include <functional>
#include <string>
#include <vector>

class RecordingView : public ModeDialogView {
  public:
    void ShowStatus(const std::string& text) override {
        events.push_back("status " + text);
        status = text;
    }
    void ChangeStarted() override {
        events.push_back("started");
        ++waitsOnScreen;
        if (onChangeStarted) {
            onChangeStarted();
        }
    }
    void ChangeEnded() override {
        events.push_back("ended");
        --waitsOnScreen;
    }
    void ShowSelectedMode(UsbType mode) override {
        events.push_back("radio " + std::to_string(mode));
    }
    void ShowPrinters(const std::vector<std::string>& shown, std::size_t chosen) override {
        entries = shown;
        events.push_back("printers " + std::to_string(shown.size()) + " chosen " +
                         (chosen == kNoEntry ? std::string("none") : std::to_string(chosen)));
    }

    std::vector<std::string> events;
    std::string status;               // the status line
    std::vector<std::string> entries; // the chooser's, none when it is gone
    int waitsOnScreen = 0;            // wait windows shown and not yet ended
    std::function<void()> onChangeStarted;
};
