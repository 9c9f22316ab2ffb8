// The printers' side of usbfs, as umockdev hands it the ioctls of the program under test: it
// takes claims and releases, takes or refuses bulk OUT transfers, completes them when they are
// reaped, and records everything with the node it came through. umockdev calls it on a thread
// of its own; the test reads the record from its main thread.
#pragma once

#include <umockdev.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>
#include <stop_token>
#include <string>
#include <vector>

struct BulkWrite {
    std::string node;
    std::uint8_t endpoint = 0;
    std::vector<std::uint8_t> bytes;
    std::chrono::steady_clock::time_point at;
};

// How the printer answers a bulk OUT transfer.
enum class WriteAnswer {
    Take,  // all bytes taken
    Stall, // the endpoint stalls: the transfer fails
    Hold,  // never completed; only a cancellation ends it
};

class FakePrinterUsb {
  public:
    FakePrinterUsb();
    ~FakePrinterUsb();
    FakePrinterUsb(const FakePrinterUsb&) = delete;
    FakePrinterUsb& operator=(const FakePrinterUsb&) = delete;

    // How the printer behind a node answers; a node is served before its device appears.
    struct Answers {
        WriteAnswer writes = WriteAnswer::Take;
        // Another process holds every interface claimed: claims fail with EBUSY (recorded as
        // "busy claim N").
        bool refuseClaims = false;
    };

    UMockdevIoctlBase* handler() const { return m_handler; }
    void Serve(const std::string& node, Answers answers);

    std::vector<BulkWrite> WritesTo(const std::string& node) const;
    std::size_t WriteCount() const;
    // The interface requests on a node, in order: "detach+claim 0", "claim 0", "release 0",
    // "attach 0", "discard".
    std::vector<std::string> RequestsOn(const std::string& node) const;
    // Waits until `count` writes have reached the node; false when they did not within the time
    // or a stop came first.
    bool WaitForWrites(const std::string& node, std::size_t count, std::chrono::milliseconds within,
                       const std::stop_token& stop = {}) const;

  private:
    static gboolean OnIoctl(UMockdevIoctlBase* handler, UMockdevIoctlClient* client, gpointer self);
    bool Handle(UMockdevIoctlClient* client);
    bool Claim(UMockdevIoctlClient* client, const std::string& node, UMockdevIoctlData* arg);
    void Submit(UMockdevIoctlClient* client, const std::string& node, UMockdevIoctlData* arg);
    void Reap(UMockdevIoctlClient* client, const std::string& node, UMockdevIoctlData* arg);
    void Discard(UMockdevIoctlClient* client, const std::string& node, UMockdevIoctlData* arg);
    void Record(const std::string& node, std::string request);

    UMockdevIoctlBase* m_handler;
    mutable std::mutex m_mutex;
    mutable std::condition_variable_any m_changed;
    std::map<std::string, Answers> m_answers;
    std::vector<BulkWrite> m_writes;
    std::map<std::string, std::vector<std::string>> m_requests;
    // Transfers per node: completed ones wait to be reaped, held ones to be cancelled. Each
    // entry holds a reference to the transfer's usbdevfs_urb as resolved from the client.
    std::map<std::string, std::vector<UMockdevIoctlData*>> m_completed;
    std::map<std::string, std::vector<UMockdevIoctlData*>> m_held;
};
