#pragma once

#include <atomic>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/app/profile.h"
#include "core/catalog/catalog.h"
#include "core/common/result.h"
#include "core/net/http_client.h"
#include "core/platform/clock.h"
#include "core/platform/file_attributes.h"
#include "core/sync/sync_rules.h"

namespace tovalo::sync {

// The three addresses of "His_srv": host and path for plain http, or whole
// "https://" (or "http://") addresses.
struct SyncAddresses {
    std::string query;
    std::string upload;
    std::string download;
};

// Reads "His_srv" in `programDir` (which ends in "/"). A missing file or
// one with fewer than three lines fails with kCommunicationFailed.
Result<SyncAddresses> readSyncAddresses(const std::string& programDir);

// One course in the proposal and, after the transfer, what became of it.
struct SyncRow {
    std::string testId;
    SyncState state = SyncState::Unavailable;
    std::string serverDate;  // as the server said it, or kNeverStored / kNoDate
    std::string clientDate;  // "yyyy/mm/dd HH:mm:ss"
    bool done = false;       // the transfer this row called for happened

    [[nodiscard]] std::string shownServerDate() const { return sync::shownServerDate(serverDate); }
};

// What a run reports while it works; called on the thread that runs it.
struct SyncEvents {
    // A row's transfer begins: its 1-based row and the label to show.
    std::function<void(int row, const std::string& label)> rowStarted;
    // Bytes of the answer so far and the length announced.
    std::function<void(std::size_t, std::optional<std::size_t>)> packetReceived;
};

// Everything a synchronisation needs to know before it starts.
struct SyncSetup {
    app::Profile profile;
    SyncAddresses addresses;
    std::string proxyHost;  // empty: straight to the server
    int proxyPort = 8080;
};

// One synchronisation of a vendor's courses: the query that proposes a
// transfer per course, then the transfers the user agreed to. The window
// and the tool drive the same object; it blocks, so the window runs it on a
// worker thread and `cancel` lets the user stop between reads.
class HistorySync {
  public:
    HistorySync(net::Connector& connector, platform::FileAttributes& files,
                const platform::Clock& clock, SyncSetup setup);

    // Asks the server about every course, in catalog order. Fails with the
    // server's own words when it refuses the user (ERROR1), otherwise with
    // the message for what went wrong; nothing is written either way.
    Result<std::vector<SyncRow>> query(const std::vector<CourseEntry>& courses,
                                       const SyncEvents& events = {},
                                       const std::atomic<bool>* cancel = nullptr);

    // Uploads and downloads what `rows` propose, marking each row done. A
    // failure stops the run there: histories already written stay, the one
    // being fetched is left as it was.
    Status transfer(std::vector<SyncRow>& rows, const std::vector<CourseEntry>& courses,
                    const SyncEvents& events = {}, const std::atomic<bool>* cancel = nullptr);

    // The session cookie the server gave last ("" for none).
    [[nodiscard]] const std::string& cookie() const { return cookie_; }

  private:
    Result<std::string> post(const std::string& line, const std::string& body,
                             const SyncEvents& events, const std::atomic<bool>* cancel);
    Status upload(const SyncRow& row, const CourseEntry& course, const SyncEvents& events,
                  const std::atomic<bool>* cancel);
    Status download(const SyncRow& row, const CourseEntry& course, const SyncEvents& events,
                    const std::atomic<bool>* cancel);

    net::HttpClient client_;
    platform::FileAttributes& files_;
    const platform::Clock& clock_;
    SyncSetup setup_;
    std::string cookie_;
};

}  // namespace tovalo::sync
