#include "device/linux/LibusbCommandPipe.h"

#include "common/DebugTrace.h"

#include <algorithm>
#include <climits>
#include <vector>

std::unique_ptr<CommandPipe> LibusbCommandPipe::Claim(DeviceHandle handle, int interfaceNumber,
                                                      std::uint8_t endpoint, int companion) {
    // Only a driver that was there is given back; an error (no such query) counts as none.
    const int companionWithDriver =
        companion >= 0 && libusb_kernel_driver_active(handle.get(), companion) == 1 ? companion
                                                                                    : -1;
    // Detaching fails where the system cannot do it; the claim then says whether it matters.
    libusb_set_auto_detach_kernel_driver(handle.get(), 1);
    const int result = libusb_claim_interface(handle.get(), interfaceNumber);
    if (result != LIBUSB_SUCCESS) {
        DebugTrace("CommandPipe", FormatText("claiming interface %d: %s", interfaceNumber,
                                             libusb_error_name(result)));
        return nullptr;
    }
    return std::unique_ptr<CommandPipe>(
        new LibusbCommandPipe(std::move(handle), interfaceNumber, endpoint, companionWithDriver));
}

LibusbCommandPipe::LibusbCommandPipe(DeviceHandle handle, int interfaceNumber,
                                     std::uint8_t endpoint, int companionWithDriver)
    : m_handle(std::move(handle)), m_interface(interfaceNumber), m_endpoint(endpoint),
      m_companionWithDriver(companionWithDriver) {}

LibusbCommandPipe::~LibusbCommandPipe() {
    // A printer that restarts at the command is usually gone by now; the release then fails
    // and the handle is closed all the same.
    const int result = libusb_release_interface(m_handle.get(), m_interface);
    if (result != LIBUSB_SUCCESS) {
        DebugTrace("CommandPipe", FormatText("releasing interface %d: %s", m_interface,
                                             libusb_error_name(result)));
        return;
    }
    if (m_companionWithDriver >= 0 &&
        libusb_kernel_driver_active(m_handle.get(), m_companionWithDriver) == 0) {
        const int attached = libusb_attach_kernel_driver(m_handle.get(), m_companionWithDriver);
        if (attached != LIBUSB_SUCCESS) {
            DebugTrace("CommandPipe",
                       FormatText("attaching the driver of interface %d: %s", m_companionWithDriver,
                                  libusb_error_name(attached)));
        }
    }
}

bool LibusbCommandPipe::Write(const std::uint8_t* bytes, std::size_t count,
                              std::uint32_t timeoutMs) {
    if (count > INT_MAX) {
        return false;
    }
    std::vector<unsigned char> buffer(bytes, bytes + count);
    // libusb reads a timeout of 0 as "wait for ever".
    const unsigned int timeout = std::max<std::uint32_t>(timeoutMs, 1);
    int transferred = 0;
    const int result = libusb_bulk_transfer(m_handle.get(), m_endpoint, buffer.data(),
                                            static_cast<int>(count), &transferred, timeout);
    if (result != LIBUSB_SUCCESS || transferred != static_cast<int>(count)) {
        DebugTrace("CommandPipe",
                   FormatText("endpoint %02X: %s, %d of %d bytes sent", m_endpoint,
                              libusb_error_name(result), transferred, static_cast<int>(count)));
        return false;
    }
    return true;
}
