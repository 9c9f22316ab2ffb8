// libusb for the length of the program, started on first use: HELP and VERSION never touch
// it, and a machine where it cannot start still answers "Error opening USB".
#pragma once

#include <libusb.h>

class LibusbSession {
  public:
    LibusbSession() = default;
    ~LibusbSession();
    LibusbSession(const LibusbSession&) = delete;
    LibusbSession& operator=(const LibusbSession&) = delete;

    // The context, or nullptr when libusb could not start (traced once).
    libusb_context* Context();

  private:
    libusb_context* m_context = nullptr;
    bool m_tried = false;
};
