#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/app/directories.h"
#include "core/app/profile.h"
#include "core/net/http_client.h"
#include "core/update/update_rules.h"
#include "core/update/zip_archive.h"

namespace tovalo::update {

// A box the user is shown: its caption and its text.
struct UpdateMessage {
    std::string caption;
    std::string text;

    bool operator==(const UpdateMessage&) const = default;
};

// One vendor to update: its folder (under QDAT and HIST) and the name the
// user knows it by.
struct UpdateTarget {
    std::string folder;
    std::string displayName;
};

// Everything a run needs to know before it starts.
struct UpdateSetup {
    app::Directories directories;
    app::Profile profile;
    UpdateAddresses addresses;
    std::string proxyHost;  // empty: straight to the servers
    int proxyPort = 8080;
    std::chrono::milliseconds timeout{kDefaultTimeoutSeconds * 1000};
    // Unpacks delivered archives; without one, an archive fails with
    // UnzipResult::Unavailable.
    EntryReader readEntry = nullptr;
};

// What a run tells its caller; every call comes on the thread that runs it.
struct UpdateEvents {
    // The question asked before a vendor's courses are touched; true to go
    // on. Without it the run goes on.
    std::function<bool(const std::string& text)> confirm;
    // A box to show; the run waits until it returns.
    std::function<void(const UpdateMessage&)> show;
    // Files are being fetched (true) or the fetching is over (false).
    std::function<void(bool)> fetching;
    // A transfer begins: the label to show.
    std::function<void(const std::string& label)> fileStarted;
    // Bytes of the body so far and the length announced.
    std::function<void(std::size_t, std::optional<std::size_t>)> packetReceived;
};

// What became of a run.
struct UpdateReport {
    // "ExamCode : ExamTitle" of every course replaced, in order.
    std::vector<std::string> replaced;
    // Every box shown, in order.
    std::vector<UpdateMessage> messages;
    // The failures among them: a vendor's update that ended early.
    std::vector<UpdateMessage> failures;
    // A vendor's update went past its confirmation.
    bool started = false;
    // The user stopped the run.
    bool cancelled = false;

    // Replaced courses keep their old lines in the catalog and have lost
    // their history files, so the program must start afresh.
    [[nodiscard]] bool endsProgram() const { return !replaced.empty(); }
};

// Brings the question files and figures of one or more vendors up to date
// from the update servers. The window and the tool drive the same object;
// it blocks, so the window runs it on a worker thread and `cancel` lets the
// user stop it between reads.
//
// Whatever happens, no working file ("_" or "#" before a listed name) is
// left in a vendor's folder, and a question file is only ever replaced by a
// complete, synced one.
class QuestionUpdate {
  public:
    QuestionUpdate(net::Connector& connector, UpdateSetup setup);

    // Updates each target in turn. With `announceEach` (all vendors chosen)
    // every vendor is named before its confirmation. A failure ends that
    // vendor's update and the run goes on with the next; a cancel ends the
    // run.
    UpdateReport run(const std::vector<UpdateTarget>& targets, bool announceEach,
                     const UpdateEvents& events, const std::atomic<bool>* cancel = nullptr);

  private:
    class VendorRun;

    net::HttpClient client_;
    UpdateSetup setup_;
    std::string cookie_;
};

}  // namespace tovalo::update
