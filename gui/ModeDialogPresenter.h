// What the main dialog does, apart from its window: the mode found on the printer, the mode the
// radio buttons select, the status line's text, and the change with its wait. The dialog is its
// view; the presenter calls the printer only through the backend, so it runs against any.
#pragma once

#include "device/PrinterBackend.h"
#include "device/ProbeUsb.h"
#include "modechange/ModeChange.h"

#include <string>

class ModeDialogView {
  public:
    virtual ~ModeDialogView() = default;
    virtual void ShowStatus(const std::string& text) = 0;
    // The command went out: Change is busy and the wait window shows until ChangeEnded.
    virtual void ChangeStarted() = 0;
    virtual void ChangeEnded() = 0;
};

class ModeDialogPresenter : private ChangeObserver {
  public:
    ModeDialogPresenter(PrinterBackend& backend, PrinterTarget printer, ModeDialogView& view);

    // Probes the printer and shows its mode; returns the mode to check, which is selected.
    UsbType Open();
    // A radio button: only stores the mode; nothing is sent until Change.
    void Select(UsbType mode) { m_selectedMode = mode; }
    // Sends the selected mode from the mode last found, even when they are the same, waits for
    // the printer's restart and shows where it is now.
    void Change();

    UsbType selectedMode() const { return m_selectedMode; }
    UsbType currentMode() const { return m_currentMode; }

  private:
    void CommandSent() override { m_view.ChangeStarted(); }
    // Probes the printer: the mode found becomes the current mode (0 when none answers), and
    // the first printer found is the one the dialog keeps to.
    std::optional<ProbeResult> Probe();
    // The status line for a printer found in `mode`, with its port in comm class mode.
    std::string StatusWithPort(UsbType mode, const PortLookup& port);

    PrinterBackend& m_backend;
    PrinterTarget m_printer;
    ModeDialogView& m_view;
    UsbType m_selectedMode = IDNATIVETYPE; // the mode Change sends
    UsbType m_currentMode = IDNATIVETYPE;  // the mode last found on the printer
};
