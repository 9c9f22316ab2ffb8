#include "printer_loop.h"

#include <vector>

bool run_printers(std::span<const std::unique_ptr<Printer>> printers, HANDLE stop_event,
                  const Deadline& deadline) {
    std::vector<HANDLE> waits{stop_event};
    for (const auto& printer : printers) {
        for (const HANDLE event : printer->wake_events()) {
            waits.push_back(event);
        }
    }
    for (;;) {
        const DWORD woken = WaitForMultipleObjects(static_cast<DWORD>(waits.size()), waits.data(),
                                                   FALSE, deadline.remaining_ms());
        if (woken == WAIT_OBJECT_0) {
            return true;
        }
        if (woken >= WAIT_OBJECT_0 + waits.size()) {
            return false; // the deadline, or a wait that failed
        }
        const std::size_t index = woken - WAIT_OBJECT_0 - 1;
        printers[index / Printer::wake_event_count]->woken(index % Printer::wake_event_count);
    }
}
