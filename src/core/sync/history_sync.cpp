#include "core/sync/history_sync.h"

#include <cstdio>

#include "core/app/address_files.h"
#include "core/common/files.h"
#include "core/common/safe_file.h"
#include "core/questions/question_file.h"

namespace tovalo::sync {

namespace {

Error failure(const char* message) {
    return Error{message, {}, 0};
}

Error requestFailure(net::HttpOutcome outcome) {
    switch (outcome) {
        case net::HttpOutcome::InvalidHost:
            return failure(kNameNotResolved);
        case net::HttpOutcome::ConnectionFailed:
            return failure(kConnectFailed);
        case net::HttpOutcome::Cancelled:
            return failure(kSyncCancelled);
        default:
            return failure(kCommunicationFailed);
    }
}

bool stopped(const std::atomic<bool>* cancel) {
    return cancel != nullptr && cancel->load();
}

}  // namespace

Result<SyncAddresses> readSyncAddresses(const std::string& programDir) {
    const std::string path = programDir + app::kHistoryServerFile;
    Result<std::vector<std::string>> lines = app::readAddressLines(path);
    if (!lines || lines->size() < 3) {
        return Error{kCommunicationFailed, path, 0};
    }
    return SyncAddresses{(*lines)[0], (*lines)[1], (*lines)[2]};
}

HistorySync::HistorySync(net::Connector& connector, platform::FileAttributes& files,
                         const platform::Clock& clock, SyncSetup setup)
    : client_(connector), files_(files), clock_(clock), setup_(std::move(setup)) {
    client_.settings.proxyHost = setup_.proxyHost;
    client_.settings.proxyPort = setup_.proxyPort;
}

Result<std::string> HistorySync::post(const std::string& line, const std::string& body,
                                      const SyncEvents& events, const std::atomic<bool>* cancel) {
    net::HttpEvents http;
    http.aboutToSend = [this](net::HeaderList& headers) { headers.set("Cookie", cookie_); };
    http.packetReceived = events.packetReceived;
    net::HttpResponse response = client_.post(net::addressFromLine(line), body, http, cancel);
    if (response.outcome != net::HttpOutcome::Success) {
        return requestFailure(response.outcome);
    }
    // A connection that closed before the length it announced is a cut
    // answer; half a history must never be taken for the whole.
    if (response.cut()) {
        return failure(kCommunicationFailed);
    }
    if (!response.cookie.empty()) {
        cookie_ = response.cookie;
    }
    return std::move(response.body);
}

Result<std::vector<SyncRow>> HistorySync::query(const std::vector<CourseEntry>& courses,
                                                const SyncEvents& events,
                                                const std::atomic<bool>* cancel) {
    std::vector<SyncRow> rows;
    rows.reserve(courses.size());
    for (std::size_t c = 0; c < courses.size(); ++c) {
        if (stopped(cancel)) {
            return failure(kSyncCancelled);
        }
        const CourseEntry& course = courses[c];
        SyncRow row;
        row.testId = testIdOf(course.QdfPath);
        if (events.rowStarted) {
            events.rowStarted(static_cast<int>(c) + 1, row.testId);
        }
        Result<std::string> body =
            post(setup_.addresses.query, queryBody(setup_.profile, row.testId), events, cancel);
        if (!body) {
            return body.error();
        }
        const QueryAnswer answer = readQueryAnswer(*body);
        if (answer.kind == QueryAnswer::Kind::Refused) {
            return Error{answer.message, {}, 0};
        }
        row.serverDate = answer.serverDate;

        auto written = files_.lastWriteTime(course.HisPath);
        auto bytes = readWholeFile(course.HisPath);
        if (!written || !bytes) {
            return Error{kCommunicationFailed, course.HisPath, 0};
        }
        const platform::LocalDateTime client = platform::toLocalDateTime(*written);
        row.clientDate = formatSyncDate(client);
        const std::optional<SyncState> state =
            decideState(row.serverDate, client, isUnusedHistory(*bytes));
        if (!state) {
            return failure(kCommunicationFailed);
        }
        row.state = *state;
        rows.push_back(std::move(row));
    }
    return rows;
}

Status HistorySync::upload(const SyncRow& row, const CourseEntry& course, const SyncEvents& events,
                           const std::atomic<bool>* cancel) {
    QuestionBank bank;
    if (Status loaded = LoadQuestionBank(bank, course.QdfPath); !loaded) {
        return Error{kCommunicationFailed, course.QdfPath, 0};
    }
    Result<HistoryFile> history = readHistoryFile(course.HisPath);
    if (!history) {
        return Error{kCommunicationFailed, course.HisPath, 0};
    }
    const platform::LocalDateTime today = platform::toLocalDateTime(clock_.now());
    char stamp[16];
    std::snprintf(stamp, sizeof stamp, "%04d/%02d/%02d", today.year, today.month, today.day);
    const std::string body = uploadBody(setup_.profile, row.testId, row.clientDate, bank, *history);
    // The server's answer to an upload carries nothing the program uses.
    Result<std::string> answer = post(setup_.addresses.upload + "?" + stamp, body, events, cancel);
    if (!answer) {
        return answer.error();
    }
    return Ok{};
}

Status HistorySync::download(const SyncRow& row, const CourseEntry& course,
                             const SyncEvents& events, const std::atomic<bool>* cancel) {
    const std::optional<platform::LocalDateTime> stamp = parseSyncDate(row.serverDate);
    if (!stamp) {
        return failure(kCommunicationFailed);
    }
    Result<std::string> answer =
        post(setup_.addresses.download, downloadBody(setup_.profile, row.testId), events, cancel);
    if (!answer) {
        return answer.error();
    }
    // Whatever course the answer names, it lands in this course's own file.
    const std::optional<HistoryFile> history = historyFromDownload(*answer, course.QdfPath);
    if (!history) {
        return failure(kCommunicationFailed);
    }
    // The server's stamp goes onto the new file before it takes the old
    // one's place: a kill at any moment leaves the old history with its own
    // time or the server's with the server's, so that the next query never
    // takes a fetched copy for a newer local one and sends it back.
    const auto stamped = [&](const std::string& temp) {
        return files_.setFileTimesBeforeRename(temp, course.HisPath, toTimePoint(*stamp));
    };
    if (Status saved = saveFileAtomically(course.HisPath, historyFileBytes(*history),
                                          Durability::Synced, stamped);
        !saved) {
        return Error{kCommunicationFailed, course.HisPath, 0};
    }
    return Ok{};
}

Status HistorySync::transfer(std::vector<SyncRow>& rows, const std::vector<CourseEntry>& courses,
                             const SyncEvents& events, const std::atomic<bool>* cancel) {
    for (std::size_t c = 0; c < rows.size() && c < courses.size(); ++c) {
        if (stopped(cancel)) {
            return failure(kSyncCancelled);
        }
        SyncRow& row = rows[c];
        const bool up = row.state == SyncState::ClientNewer;
        const bool down = row.state == SyncState::ServerNewer;
        if (events.rowStarted) {
            std::string label = row.testId;
            if (up) {
                label += " : アップロード中";
            } else if (down) {
                label += " : ダウンロード中";
            }
            events.rowStarted(static_cast<int>(c) + 1, label);
        }
        if (!up && !down) {
            continue;
        }
        Status moved = up ? upload(row, courses[c], events, cancel)
                          : download(row, courses[c], events, cancel);
        if (!moved) {
            return moved;
        }
        row.done = true;
    }
    return Ok{};
}

}  // namespace tovalo::sync
