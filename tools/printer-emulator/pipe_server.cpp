#include "pipe_server.h"

#include "pipe_io.h"

#include <cstdint>
#include <memory>
#include <utility>

namespace {

constexpr DWORD session_join_bound_ms = 3000;
// Instances waiting for clients at any moment. A client that opens, closes and opens again at
// once finds one still listening while the server replaces the one it used.
constexpr std::size_t listening_count = 4;

struct SessionContext {
    UniqueHandle pipe;
    std::unique_ptr<PipeSession> session;
    WriteHandling writes;
    HANDLE stop_event;
    Deadline deadline;
};

// Waits until the client has written something, without taking it.
IoResult wait_for_data(const SessionContext& context) {
    UniqueHandle event(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    if (!event.valid()) {
        return IoResult{IoOutcome::Failed, 0, GetLastError()};
    }
    OVERLAPPED overlapped{};
    overlapped.hEvent = event.get();
    char nothing = 0;
    const BOOL started = ReadFile(context.pipe.get(), &nothing, 0, nullptr, &overlapped);
    const DWORD error = started ? 0 : GetLastError();
    return finish_io(context.pipe.get(), overlapped, started, error, context.stop_event,
                     context.deadline);
}

DWORD bytes_waiting(HANDLE pipe) {
    DWORD available = 0;
    if (!PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr)) {
        return 0;
    }
    return available;
}

IoResult read_bytes(const SessionContext& context, std::vector<std::uint8_t>& buffer) {
    UniqueHandle event(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    if (!event.valid()) {
        return IoResult{IoOutcome::Failed, 0, GetLastError()};
    }
    OVERLAPPED overlapped{};
    overlapped.hEvent = event.get();
    const BOOL started = ReadFile(context.pipe.get(), buffer.data(),
                                  static_cast<DWORD>(buffer.size()), nullptr, &overlapped);
    const DWORD error = started ? 0 : GetLastError();
    IoResult result = finish_io(context.pipe.get(), overlapped, started, error, context.stop_event,
                                context.deadline);
    if (result.outcome == IoOutcome::Completed) {
        buffer.resize(result.bytes);
    }
    return result;
}

// Shows the session the pending write without taking it.
void show_pending_write(SessionContext& context, DWORD available, Delivery delivery) {
    std::vector<std::uint8_t> bytes(available);
    DWORD peeked = 0;
    if (PeekNamedPipe(context.pipe.get(), bytes.data(), available, &peeked, nullptr, nullptr)) {
        bytes.resize(peeked);
        context.session->received(bytes, delivery);
    }
}

// The client's write stays pending until the emulator stops. Whether the client gives up on it
// or closes cannot be seen without taking its bytes.
void hold_stalled(const SessionContext& context) {
    WaitForSingleObject(context.stop_event, context.deadline.remaining_ms());
}

void serve_connection(SessionContext& context) {
    for (;;) {
        const IoResult ready = wait_for_data(context);
        if (ready.outcome != IoOutcome::Completed) {
            return;
        }
        // A zero-byte write wakes the wait with nothing to take; reading one byte then
        // blocks until real data or the end.
        const DWORD available = bytes_waiting(context.pipe.get());
        if (context.writes == WriteHandling::Cut && available > 0) {
            show_pending_write(context, available, Delivery::Cut);
            DisconnectNamedPipe(context.pipe.get());
            return;
        }
        if (context.writes == WriteHandling::Stall && available > 0) {
            show_pending_write(context, available, Delivery::Stalled);
            hold_stalled(context);
            return;
        }
        std::vector<std::uint8_t> bytes(available > 0 ? available : 1);
        const IoResult read = read_bytes(context, bytes);
        if (read.outcome != IoOutcome::Completed) {
            return;
        }
        if (!bytes.empty()) {
            context.session->received(bytes, Delivery::Taken);
        }
    }
}

DWORD WINAPI session_main(void* parameter) {
    std::unique_ptr<SessionContext> context(static_cast<SessionContext*>(parameter));
    serve_connection(*context);
    context->session->closed();
    DisconnectNamedPipe(context->pipe.get());
    return 0;
}

} // namespace

PipeServer::PipeServer(std::string pipe_name, PipeClientHandler& handler, WriteHandling writes,
                       ClientAdmission admission, HANDLE stop_event, Deadline deadline)
    : pipe_name_(std::move(pipe_name)), handler_(handler), writes_(writes), admission_(admission),
      stop_event_(stop_event), deadline_(deadline) {}

PipeServer::~PipeServer() {
    join();
}

bool PipeServer::start(std::string& error) {
    for (std::size_t i = 0; i < listening_count; ++i) {
        listening_.push_back(std::make_unique<ListeningInstance>());
        if (!listening_.back()->listen(pipe_name_, admission_ == ClientAdmission::Refuse, error)) {
            listening_.clear();
            return false;
        }
    }
    listener_thread_.reset(CreateThread(nullptr, 0, listener_main, this, 0, nullptr));
    if (!listener_thread_.valid()) {
        error = "cannot start the thread of " + pipe_name_;
        listening_.clear();
        return false;
    }
    return true;
}

DWORD WINAPI PipeServer::listener_main(void* self) {
    static_cast<PipeServer*>(self)->listen();
    return 0;
}

// Waits for a client on any listening instance; returns its index, or nothing on stop.
std::optional<std::size_t> PipeServer::wait_for_client() const {
    std::vector<HANDLE> waits;
    for (const auto& instance : listening_) {
        waits.push_back(instance->ready_event());
    }
    waits.push_back(stop_event_);
    const DWORD woken = WaitForMultipleObjects(static_cast<DWORD>(waits.size()), waits.data(),
                                               FALSE, deadline_.remaining_ms());
    if (woken >= WAIT_OBJECT_0 + listening_.size()) {
        return std::nullopt;
    }
    return woken - WAIT_OBJECT_0;
}

void PipeServer::listen() {
    while (!listening_.empty()) {
        const std::optional<std::size_t> ready = wait_for_client();
        if (!ready) {
            break;
        }
        UniqueHandle client = listening_[*ready]->take_client();
        // The replacement listens before this client is served.
        auto replacement = std::make_unique<ListeningInstance>();
        std::string error;
        if (replacement->listen(pipe_name_, admission_ == ClientAdmission::Refuse, error)) {
            listening_[*ready] = std::move(replacement);
        } else {
            listening_.erase(listening_.begin() + static_cast<std::ptrdiff_t>(*ready));
        }
        if (client.valid()) {
            start_session(std::move(client));
        }
        forget_finished_sessions();
    }
    listening_.clear();
    for (const UniqueHandle& thread : session_threads_) {
        WaitForSingleObject(thread.get(), session_join_bound_ms);
    }
    session_threads_.clear();
}

void PipeServer::start_session(UniqueHandle instance) {
    auto context = std::make_unique<SessionContext>(
        SessionContext{std::move(instance), handler_.opened(), writes_, stop_event_, deadline_});
    UniqueHandle thread(CreateThread(nullptr, 0, session_main, context.get(), 0, nullptr));
    if (!thread.valid()) {
        context->session->closed();
        return;
    }
    context.release(); // the session thread owns it now
    session_threads_.push_back(std::move(thread));
}

void PipeServer::forget_finished_sessions() {
    std::erase_if(session_threads_, [](const UniqueHandle& thread) {
        return WaitForSingleObject(thread.get(), 0) == WAIT_OBJECT_0;
    });
}

void PipeServer::join() {
    if (listener_thread_.valid()) {
        // The listener waits for its sessions for up to session_join_bound_ms each.
        WaitForSingleObject(listener_thread_.get(), session_join_bound_ms * 4);
        listener_thread_.reset();
    }
}
