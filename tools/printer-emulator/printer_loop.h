// The one thread that powers the printers: it waits for any printer's restart request or
// return, and for the stop event, so one printer's time away never holds up another.
#pragma once

#include "deadline.h"
#include "printer.h"

#include <memory>
#include <span>

// Serves the printers until the stop event is set (true) or the deadline passes (false).
bool run_printers(std::span<const std::unique_ptr<Printer>> printers, HANDLE stop_event,
                  const Deadline& deadline);
