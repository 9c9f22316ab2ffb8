#include "FakePrinterUsb.h"

// <linux/usbdevice_fs.h> needs the ioctl macros first.
#include <linux/ioctl.h>
#include <linux/usbdevice_fs.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>

namespace {
template <typename T> T ValueOf(UMockdevIoctlData* arg) {
    UMockdevIoctlData* data = umockdev_ioctl_data_resolve(arg, 0, sizeof(T), nullptr);
    T value{};
    if (data != nullptr) {
        std::copy_n(data->data, sizeof(T), reinterpret_cast<std::uint8_t*>(&value));
        umockdev_ioctl_data_unref(data);
    }
    return value;
}
} // namespace

FakePrinterUsb::FakePrinterUsb() : m_handler(umockdev_ioctl_base_new()) {
    g_signal_connect(m_handler, "handle-ioctl", G_CALLBACK(&FakePrinterUsb::OnIoctl), this);
}

FakePrinterUsb::~FakePrinterUsb() {
    g_signal_handlers_disconnect_by_data(m_handler, this);
    for (auto* transfers : {&m_completed, &m_held}) {
        for (auto& [node, urbs] : *transfers) {
            for (UMockdevIoctlData* urb : urbs) {
                umockdev_ioctl_data_unref(urb);
            }
        }
    }
    g_object_unref(m_handler);
}

void FakePrinterUsb::Serve(const std::string& node, Answers answers) {
    const std::lock_guard lock(m_mutex);
    m_answers[node] = answers;
}

bool FakePrinterUsb::Claim(UMockdevIoctlClient* client, const std::string& node,
                           UMockdevIoctlData* arg) {
    const bool detach = umockdev_ioctl_client_get_request(client) == USBDEVFS_DISCONNECT_CLAIM;
    const unsigned int interfaceNumber =
        detach ? ValueOf<usbdevfs_disconnect_claim>(arg).interface : ValueOf<unsigned int>(arg);
    bool refused = false;
    {
        const std::lock_guard lock(m_mutex);
        refused = m_answers[node].refuseClaims;
    }
    if (refused) {
        Record(node, "busy claim " + std::to_string(interfaceNumber));
        umockdev_ioctl_client_complete(client, -1, EBUSY);
        return true;
    }
    Record(node, (detach ? "detach+claim " : "claim ") + std::to_string(interfaceNumber));
    umockdev_ioctl_client_complete(client, 0, 0);
    return true;
}

std::vector<BulkWrite> FakePrinterUsb::WritesTo(const std::string& node) const {
    const std::lock_guard lock(m_mutex);
    std::vector<BulkWrite> writes;
    std::copy_if(m_writes.begin(), m_writes.end(), std::back_inserter(writes),
                 [&](const BulkWrite& write) { return write.node == node; });
    return writes;
}

std::size_t FakePrinterUsb::WriteCount() const {
    const std::lock_guard lock(m_mutex);
    return m_writes.size();
}

std::vector<std::string> FakePrinterUsb::RequestsOn(const std::string& node) const {
    const std::lock_guard lock(m_mutex);
    const auto found = m_requests.find(node);
    return found == m_requests.end() ? std::vector<std::string>{} : found->second;
}

bool FakePrinterUsb::WaitForWrites(const std::string& node, std::size_t count,
                                   std::chrono::milliseconds within,
                                   const std::stop_token& stop) const {
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, stop, within, [&] {
        return static_cast<std::size_t>(
                   std::count_if(m_writes.begin(), m_writes.end(), [&](const BulkWrite& write) {
                       return write.node == node;
                   })) >= count;
    });
}

gboolean FakePrinterUsb::OnIoctl(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer self) {
    return static_cast<FakePrinterUsb*>(self)->Handle(client) ? TRUE : FALSE;
}

void FakePrinterUsb::Record(const std::string& node, std::string request) {
    const std::lock_guard lock(m_mutex);
    m_requests[node].push_back(std::move(request));
    m_changed.notify_all();
}

bool FakePrinterUsb::Handle(UMockdevIoctlClient* client) {
    const std::string node = umockdev_ioctl_client_get_devnode(client);
    UMockdevIoctlData* arg = umockdev_ioctl_client_get_arg(client);
    switch (umockdev_ioctl_client_get_request(client)) {
    case USBDEVFS_GET_CAPABILITIES: {
        UMockdevIoctlData* caps =
            umockdev_ioctl_data_resolve(arg, 0, sizeof(std::uint32_t), nullptr);
        const std::uint32_t value = USBDEVFS_CAP_BULK_CONTINUATION |
                                    USBDEVFS_CAP_NO_PACKET_SIZE_LIM |
                                    USBDEVFS_CAP_REAP_AFTER_DISCONNECT;
        std::copy_n(reinterpret_cast<const std::uint8_t*>(&value), sizeof value, caps->data);
        umockdev_ioctl_data_unref(caps);
        break;
    }
    case USBDEVFS_DISCONNECT_CLAIM:
    case USBDEVFS_CLAIMINTERFACE:
        return Claim(client, node, arg);
    case USBDEVFS_RELEASEINTERFACE:
        Record(node, "release " + std::to_string(ValueOf<unsigned int>(arg)));
        break;
    case USBDEVFS_IOCTL: {
        const auto request = ValueOf<usbdevfs_ioctl>(arg);
        if (request.ioctl_code != static_cast<int>(USBDEVFS_CONNECT)) {
            return false;
        }
        Record(node, "attach " + std::to_string(request.ifno));
        break;
    }
    case USBDEVFS_SUBMITURB:
        Submit(client, node, arg);
        return true;
    case USBDEVFS_REAPURB:
    case USBDEVFS_REAPURBNDELAY:
        Reap(client, node, arg);
        return true;
    case USBDEVFS_DISCARDURB:
        Discard(client, node, arg);
        return true;
    default:
        return false;
    }
    umockdev_ioctl_client_complete(client, 0, 0);
    return true;
}

void FakePrinterUsb::Submit(UMockdevIoctlClient* client, const std::string& node,
                            UMockdevIoctlData* arg) {
    UMockdevIoctlData* urbData = umockdev_ioctl_data_resolve(arg, 0, sizeof(usbdevfs_urb), nullptr);
    auto* urb = reinterpret_cast<usbdevfs_urb*>(urbData->data);
    const bool bulkOut = urb->type == USBDEVFS_URB_TYPE_BULK && (urb->endpoint & 0x80) == 0;
    if (!bulkOut) {
        umockdev_ioctl_data_unref(urbData);
        umockdev_ioctl_client_complete(client, -1, EINVAL);
        return;
    }
    UMockdevIoctlData* buffer = umockdev_ioctl_data_resolve(
        urbData, offsetof(usbdevfs_urb, buffer), static_cast<gsize>(urb->buffer_length), nullptr);
    BulkWrite write{node, urb->endpoint,
                    std::vector<std::uint8_t>(buffer->data, buffer->data + buffer->data_len),
                    std::chrono::steady_clock::now()};
    umockdev_ioctl_data_unref(buffer);

    const std::lock_guard lock(m_mutex);
    m_writes.push_back(std::move(write));
    switch (m_answers[node].writes) {
    case WriteAnswer::Take:
        urb->status = 0;
        urb->actual_length = urb->buffer_length;
        m_completed[node].push_back(urbData);
        break;
    case WriteAnswer::Stall:
        urb->status = -EPIPE;
        urb->actual_length = 0;
        m_completed[node].push_back(urbData);
        break;
    case WriteAnswer::Hold:
        m_held[node].push_back(urbData);
        break;
    }
    m_changed.notify_all();
    umockdev_ioctl_client_complete(client, 0, 0);
}

void FakePrinterUsb::Reap(UMockdevIoctlClient* client, const std::string& node,
                          UMockdevIoctlData* arg) {
    UMockdevIoctlData* urbData = nullptr;
    {
        const std::lock_guard lock(m_mutex);
        std::vector<UMockdevIoctlData*>& completed = m_completed[node];
        if (!completed.empty()) {
            urbData = completed.front();
            completed.erase(completed.begin());
        }
    }
    if (urbData == nullptr) {
        umockdev_ioctl_client_complete(client, -1, EAGAIN);
        return;
    }
    // The reaped pointer refers to the client's own urb, which goes back with its status.
    UMockdevIoctlData* pointer = umockdev_ioctl_data_resolve(arg, 0, sizeof(void*), nullptr);
    umockdev_ioctl_data_set_ptr(pointer, 0, urbData);
    umockdev_ioctl_data_unref(pointer);
    umockdev_ioctl_data_unref(urbData);
    umockdev_ioctl_client_complete(client, 0, 0);
}

void FakePrinterUsb::Discard(UMockdevIoctlClient* client, const std::string& node,
                             UMockdevIoctlData* arg) {
    // The argument is the client's urb pointer itself.
    gulong address = 0;
    std::copy_n(arg->data, sizeof address, reinterpret_cast<std::uint8_t*>(&address));
    Record(node, "discard");
    const std::lock_guard lock(m_mutex);
    std::vector<UMockdevIoctlData*>& held = m_held[node];
    const auto found = std::find_if(held.begin(), held.end(), [&](UMockdevIoctlData* urbData) {
        return urbData->client_addr == address;
    });
    if (found == held.end()) {
        umockdev_ioctl_client_complete(client, -1, EINVAL);
        return;
    }
    auto* urb = reinterpret_cast<usbdevfs_urb*>((*found)->data);
    urb->status = -ENOENT;
    urb->actual_length = 0;
    m_completed[node].push_back(*found);
    held.erase(found);
    umockdev_ioctl_client_complete(client, 0, 0);
}
