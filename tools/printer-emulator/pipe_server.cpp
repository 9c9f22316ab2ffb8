#include "pipe_server.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace {

// Instances listening at any moment: a client that opens, closes and opens again at once finds
// another one listening while the one it used goes back to listening.
constexpr std::size_t instance_count = 4;
constexpr DWORD join_bound_ms = 3000;
// How long a cancelled operation may take to report that it ended.
constexpr DWORD cancel_bound_ms = 2000;
constexpr DWORD out_buffer_bytes = 4096;

} // namespace

struct PipeServer::Instance {
    const PipeServer* server;
    UniqueHandle pipe;
    UniqueHandle event = UniqueHandle(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    OVERLAPPED overlapped{};

    // Starts an overlapped operation with `start` and waits for it, the stop event or the
    // deadline. The operation owns `overlapped` and its buffer until it reports its end, so a
    // stopped one is cancelled and waited for. Returns the bytes moved, or nothing.
    template <typename Start> std::optional<DWORD> io(Start start) {
        overlapped = OVERLAPPED{};
        overlapped.hEvent = event.get();
        ResetEvent(event.get());
        if (!start(&overlapped)) {
            if (GetLastError() != ERROR_IO_PENDING) {
                return std::nullopt;
            }
            const HANDLE waits[] = {event.get(), server->stop_event_};
            if (WaitForMultipleObjects(2, waits, FALSE, server->deadline_.remaining_ms()) !=
                WAIT_OBJECT_0) {
                CancelIoEx(pipe.get(), &overlapped);
                WaitForSingleObject(event.get(), cancel_bound_ms);
                return std::nullopt;
            }
        }
        DWORD bytes = 0;
        if (!GetOverlappedResult(pipe.get(), &overlapped, &bytes, FALSE)) {
            return std::nullopt;
        }
        return bytes;
    }

    // The bytes of the client's pending write, without taking them.
    std::vector<std::uint8_t> peek() const {
        DWORD available = 0;
        PeekNamedPipe(pipe.get(), nullptr, 0, nullptr, &available, nullptr);
        std::vector<std::uint8_t> bytes(available);
        DWORD peeked = 0;
        if (available == 0 ||
            !PeekNamedPipe(pipe.get(), bytes.data(), available, &peeked, nullptr, nullptr)) {
            peeked = 0;
        }
        bytes.resize(peeked);
        return bytes;
    }
};

PipeServer::PipeServer(std::string name, PipeListener& listener, WriteHandling writes, bool refuse,
                       HANDLE stop_event, Deadline deadline)
    : name_(std::move(name)), listener_(listener), writes_(writes), refuse_(refuse),
      stop_event_(stop_event), deadline_(deadline) {}

bool PipeServer::start(std::string& error) {
    // No inbound buffer: a client's write completes only once the emulator has taken the bytes,
    // as a USB transfer does, and a write it refuses to take stays pending until cut.
    const DWORD direction = refuse_ ? PIPE_ACCESS_INBOUND : PIPE_ACCESS_DUPLEX;
    for (std::size_t i = 0; i < instance_count; ++i) {
        auto instance = std::make_unique<Instance>(Instance{
            this, UniqueHandle(CreateNamedPipeA(
                      name_.c_str(), direction | FILE_FLAG_OVERLAPPED,
                      PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS,
                      PIPE_UNLIMITED_INSTANCES, out_buffer_bytes, 0, 0, nullptr))});
        if (!instance->pipe.valid() || !instance->event.valid()) {
            error =
                "cannot create pipe " + name_ + " (error " + std::to_string(GetLastError()) + ")";
            return false;
        }
        UniqueHandle thread(CreateThread(nullptr, 0, instance_main, instance.get(), 0, nullptr));
        if (!thread.valid()) {
            error = "cannot start a thread of " + name_;
            return false;
        }
        static_cast<void>(instance.release()); // the thread owns it now
        threads_.push_back(std::move(thread));
    }
    return true;
}

DWORD WINAPI PipeServer::instance_main(void* instance) {
    const std::unique_ptr<Instance> owned(static_cast<Instance*>(instance));
    owned->server->serve_clients(*owned);
    return 0;
}

void PipeServer::serve_clients(Instance& instance) const {
    const HANDLE pipe = instance.pipe.get();
    // A client that came before the wait began, and may have gone again, is connected as well.
    const auto connect = [pipe](OVERLAPPED* o) {
        return ConnectNamedPipe(pipe, o) || GetLastError() == ERROR_PIPE_CONNECTED ||
               GetLastError() == ERROR_NO_DATA;
    };
    while (instance.io(connect)) {
        listener_.opened();
        serve_connection(instance);
        listener_.closed();
        DisconnectNamedPipe(pipe);
    }
}

void PipeServer::serve_connection(Instance& instance) const {
    const HANDLE pipe = instance.pipe.get();
    char nothing = 0;
    // A zero-byte read ends once the client has written something, which stays untaken.
    while (instance.io([&](OVERLAPPED* o) { return ReadFile(pipe, &nothing, 0, nullptr, o); })) {
        std::vector<std::uint8_t> bytes = instance.peek();
        if (!bytes.empty() && writes_ != WriteHandling::Take) {
            const bool cut = writes_ == WriteHandling::Cut;
            listener_.heard(bytes, cut ? Delivery::Cut : Delivery::Stalled);
            if (cut) {
                DisconnectNamedPipe(pipe);
            } else {
                // Whether the client gives up on its write or closes cannot be seen without
                // taking its bytes: the write stays pending until the emulator stops.
                WaitForSingleObject(stop_event_, deadline_.remaining_ms());
            }
            return;
        }
        // A zero-byte write wakes the wait with nothing to take; reading one byte then blocks
        // until real data or the end.
        bytes.resize(bytes.empty() ? 1 : bytes.size());
        const auto read = instance.io([&](OVERLAPPED* o) {
            return ReadFile(pipe, bytes.data(), static_cast<DWORD>(bytes.size()), nullptr, o);
        });
        if (!read) {
            return;
        }
        if (*read > 0) {
            listener_.heard(std::span(bytes.data(), *read), Delivery::Taken);
        }
    }
}

void PipeServer::join() {
    // Each thread ends at the stop event, its cancelled operation at most cancel_bound_ms later.
    for (const UniqueHandle& thread : threads_) {
        WaitForSingleObject(thread.get(), join_bound_ms);
    }
    threads_.clear();
}
