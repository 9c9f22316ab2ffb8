// What the main dialog does, apart from its window: the mode found on the printer, the mode the
// radio buttons select, the status line's text, the change with its wait, and, with several
// printers attached, which of them the dialog works on. The dialog is its view; the presenter
// calls the printers only through the backend, so it runs against any.
#pragma once

#include "common/SystemLog.h"
#include "device/PrinterBackend.h"
#include "device/ProbeUsb.h"
#include "modechange/ModeChange.h"

#include <cstddef>
#include <string>
#include <vector>

class ModeDialogView {
  public:
    // The chooser's selection when the chosen printer is not attached.
    static constexpr std::size_t kNoEntry = static_cast<std::size_t>(-1);

    virtual ~ModeDialogView() = default;
    virtual void ShowStatus(const std::string& text) = 0;
    // The command went out: Change is busy and the wait window shows until ChangeEnded. A
    // change that sends nothing (another program holds the printer) shows neither.
    virtual void ChangeStarted() = 0;
    virtual void ChangeEnded() = 0;
    // The radio buttons show this mode: another printer was chosen, or the chosen one is back.
    virtual void ShowSelectedMode(UsbType mode) = 0;
    // The printer chooser: one entry per attached printer, `chosen` selected (kNoEntry: none).
    // No entries: fewer than two printers are attached, and the chooser goes.
    virtual void ShowPrinters(const std::vector<std::string>& entries, std::size_t chosen) = 0;
};

class ModeDialogPresenter : private ChangeObserver {
  public:
    // Each change leaves its record in `pLog`, when given.
    ModeDialogPresenter(PrinterBackend& backend, PrinterTarget printer, ModeDialogView& view,
                        SystemLog* pLog = nullptr);

    // Probes the printer and shows its mode, and the chooser when several printers are
    // attached; returns the mode to check, which is selected.
    UsbType Open();
    // A radio button: only stores the mode; nothing is sent until Change.
    void Select(UsbType mode) { m_selectedMode = mode; }
    // Sends the selected mode from the mode last found, even when they are the same, waits for
    // the printer's restart and shows where it is now.
    void Change();
    // The chooser's entry `index`: that printer becomes the dialog's, shown as at the opening.
    void Choose(std::size_t index);
    // Printers came or went: the list is read again and the chosen printer kept by its
    // identity. Gone, it shows as "Error opening USB" with the radio buttons left as they are;
    // back, it is shown again as at the opening.
    void PrintersChanged() { ReadPrinters(true); }

    UsbType selectedMode() const { return m_selectedMode; }
    UsbType currentMode() const { return m_currentMode; }

  private:
    // The wait window's making and its end are traced, as they always were.
    void CommandSent() override;
    // Probes the printer: the mode found becomes the current mode (0 when none answers), and
    // the first printer found is the one the dialog keeps to.
    std::optional<ProbeResult> Probe();
    // Probes and shows the status line; the mode found is selected.
    void ShowChosenPrinter();
    // The status line for a printer found in `mode`, with its port in comm class mode.
    std::string StatusWithPort(UsbType mode, const PortLookup& port);
    // Lists the printers and shows them in the chooser; with `showComings`, a chosen printer
    // that left or came back is shown so.
    void ReadPrinters(bool showComings);
    // The chooser's entry: LIST's number, ID and mode with its port.
    std::string EntryText(std::size_t index);

    PrinterBackend& m_backend;
    PrinterTarget m_printer;
    ModeDialogView& m_view;
    SystemLog* m_pLog;
    UsbType m_selectedMode = IDNATIVETYPE;   // the mode Change sends
    UsbType m_currentMode = IDNATIVETYPE;    // the mode last found on the printer
    bool m_changeStarted = false;            // the command went out: the view shows the wait
    std::vector<AttachedPrinter> m_printers; // as last listed
    bool m_chosenAttached = false;           // the chosen printer was in that list
    std::vector<std::string> m_shownEntries; // what the chooser shows: none without it
    std::size_t m_shownChoice = ModeDialogView::kNoEntry;
};
