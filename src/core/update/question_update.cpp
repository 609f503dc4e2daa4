#include "core/update/question_update.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "core/catalog/catalog.h"
#include "core/common/files.h"
#include "core/common/safe_file.h"
#include "core/questions/question_file.h"
#include "core/text/trim.h"
#include "core/update/zip_archive.h"

namespace tovalo::update {

namespace {

namespace fs = std::filesystem;

using Problem = std::optional<UpdateMessage>;

UpdateMessage failedBecause(const std::string& reason) {
    return {kErrorCaption, downloadFailed(reason)};
}

bool stopped(const std::atomic<bool>* cancel) {
    return cancel != nullptr && cancel->load();
}

// Lists the vendor's files with `extension` in any letter case, in byte
// order, into `names`. Names that begin with "_" or "#" are the update's
// own working files, never courses. A folder that cannot be read fails the
// run: read as empty, it would say that nothing was new.
Problem listFiles(const std::string& dir, std::string_view extension,
                  std::vector<std::string>& names) {
    names.clear();
    std::error_code ec;
    for (auto it = fs::directory_iterator(dir, ec); !ec && it != fs::directory_iterator();
         it.increment(ec)) {
        const std::string name = it->path().filename().string();
        std::error_code notAFile;  // a broken link is skipped, not the end of the list
        if (it->is_regular_file(notAFile) && text::hasExtension(name, extension) &&
            name.front() != '_' && name.front() != '#') {
            names.push_back(name);
        }
    }
    if (ec) {
        return failedBecause("フォルダを読み込めません (" + ec.message() + "): " + dir);
    }
    std::sort(names.begin(), names.end());
    return std::nullopt;
}

void removeIfPresent(const std::string& path) {
    std::error_code ignored;
    fs::remove(path, ignored);
}

// A history file that stays beside a replaced course would pair old
// answers with new questions: one that cannot be removed fails the run.
Problem removedIfPresent(const std::string& path) {
    std::error_code ec;
    fs::remove(path, ec);
    if (ec && ec != std::errc::no_such_file_or_directory) {
        return failedBecause("ファイルを削除できません (" + ec.message() + "): " + path);
    }
    return std::nullopt;
}

Problem saved(const std::string& path, const std::string& bytes) {
    Status written = saveFileAtomically(path, bytes);
    if (written) {
        return std::nullopt;
    }
    if (failedForFullDisk(written.error())) {
        return UpdateMessage{kInfoCaption, kDiskFull};
    }
    return failedBecause(written.error().describe());
}

Problem renamed(const std::string& from, const std::string& to) {
    if (Status moved = renameDurably(from, to); !moved) {
        return failedBecause(moved.error().describe());
    }
    return std::nullopt;
}
}  // namespace

// One vendor's update, from its listing to the clean-up of its working files.
class QuestionUpdate::VendorRun {
  public:
    VendorRun(QuestionUpdate& owner, const UpdateTarget& target, const UpdateEvents& events,
              const std::atomic<bool>* cancel)
        : owner_(owner),
          events_(events),
          cancel_(cancel),
          questionDir_(owner.setup_.directories.questionDir(target.folder)),
          historyDir_(owner.setup_.directories.historyDir(target.folder)),
          imageDir_(owner.setup_.directories.imageDir(target.folder)) {}

    // The courses replaced, or what ended the update early. The working
    // files are gone either way.
    Problem perform(std::vector<std::string>& replaced) {
        // An update killed while it saved leaves a temporary copy of a whole
        // course (or figure) behind; the next one clears them first.
        removeLeftoverSaveFiles(questionDir_, 1);
        if (Problem unlisted = listFiles(questionDir_, ".qdf", questionFiles_)) {
            return unlisted;
        }
        if (Problem unlisted = listFiles(questionDir_, ".ini", companionFiles_)) {
            return unlisted;
        }
        tell(events_.fetching, true);
        Problem problem = fetchQuestionFiles();
        if (!problem) {
            problem = fetchFigures();
        }
        tell(events_.fetching, false);
        if (!problem) {
            problem = install(replaced);
        }
        removeWorkingFiles();
        return problem;
    }

  private:
    template <class F, class... A>
    static void tell(const F& event, A&&... args) {
        if (event) {
            event(std::forward<A>(args)...);
        }
    }

    std::string path(std::string_view prefix, const std::string& name) const {
        return questionDir_ + std::string(prefix) + name;
    }

    Problem fetch(const std::string& label, const std::string& address, std::string& body) {
        if (stopped(cancel_)) {
            return UpdateMessage{kUpdateCaption, kUpdateCancelled};
        }
        tell(events_.fileStarted, label);
        net::HttpEvents http;
        http.aboutToSend = [this](net::HeaderList& headers) {
            headers.set("Cookie", owner_.cookie_);
            headers.set("User-Agent", kUserAgent);
        };
        http.packetReceived = events_.packetReceived;
        net::HttpResponse response = owner_.client_.get(address, http, cancel_);
        switch (response.outcome) {
            case net::HttpOutcome::Success:
                break;
            case net::HttpOutcome::InvalidHost:
                return UpdateMessage{kNetworkCaption,
                                     owner_.setup_.proxyHost.empty() ? kNoNetwork : kBadProxy};
            case net::HttpOutcome::ConnectionFailed:
                return UpdateMessage{kNetworkCaption, kConnectFailed};
            case net::HttpOutcome::ExchangeFailed:
                return failedBecause("サーバーからの応答が途中で途切れました");
            case net::HttpOutcome::Failure:
                return UpdateMessage{kConfirmCaption, kTransferError};
            case net::HttpOutcome::Cancelled:
                return UpdateMessage{kUpdateCaption, kUpdateCancelled};
            case net::HttpOutcome::TooLarge:
                return failedBecause("受信データが大きすぎます");
            case net::HttpOutcome::EmptyAddress:
            case net::HttpOutcome::BadAddress:
                return failedBecause("アドレスが正しくありません: " + address);
        }
        if (!response.complete()) {
            return UpdateMessage{kErrorCaption, kCutTransfer};
        }
        if (!response.cookie.empty()) {
            owner_.cookie_ = response.cookie;
        }
        body = std::move(response.body);
        return std::nullopt;
    }

    Problem fetchQuestionFiles() {
        for (const std::string& name : questionFiles_) {
            Result<std::string> local = readWholeFile(path("", name));
            if (!local) {
                return failedBecause(local.error().describe());
            }
            const std::string stamp = stampOf(dateLineOf(*local));
            std::string body;
            Problem problem = fetch(
                fetchLabel(name),
                questionFileAddress(owner_.setup_.addresses, owner_.setup_.profile, name, stamp),
                body);
            if (!problem) {
                problem = saved(path("_", name), body);
            }
            if (problem) {
                return problem;
            }
        }
        return std::nullopt;
    }

    Problem fetchFigures() {
        const UpdateAddresses& addresses = owner_.setup_.addresses;
        for (const std::string& name : companionFiles_) {
            Result<std::string> localBytes = readWholeFile(path("", name));
            if (!localBytes) {
                return failedBecause(localBytes.error().describe());
            }
            Result<FigureList> local =
                readFigureList(*localBytes, ListSource::Local, path("", name));
            if (!local) {
                return failedBecause(local.error().describe());
            }
            std::string body;
            if (Problem problem = fetch(fetchLabel(name), figureAddress(addresses, name), body)) {
                return problem;
            }
            if (Problem problem = saved(path("_", name), body)) {
                return problem;
            }
            Result<FigureList> delivered =
                readFigureList(body, ListSource::Delivered, path("_", name));
            if (!delivered) {
                return failedBecause(delivered.error().describe());
            }
            if (local->version >= delivered->version) {
                removeIfPresent(path("_", name));
                continue;
            }
            const std::vector<std::string> wanted = figuresToFetch(*local, *delivered);
            // One bad name condemns the whole list before any figure is written.
            for (const std::string& figure : wanted) {
                if (!isSafeFigureName(figure)) {
                    return failedBecause("図版のファイル名が正しくありません: " + figure);
                }
            }
            std::error_code ec;
            fs::create_directories(imageDir_, ec);
            for (const std::string& figure : wanted) {
                std::string bytes;
                Problem problem =
                    fetch(fetchLabel(figure), figureAddress(addresses, figure), bytes);
                if (!problem) {
                    problem = saved(imageDir_ + figure, bytes);
                }
                if (problem) {
                    return problem;
                }
            }
            if (Problem problem = renamed(path("_", name), path("", name))) {
                return problem;
            }
        }
        return std::nullopt;
    }

    Problem unpack(const std::string& name) {
        Result<std::string> downloaded = readWholeFile(path("_", name));
        if (!downloaded) {
            return failedBecause(downloaded.error().describe());
        }
        if (!downloaded->starts_with("PK")) {
            return renamed(path("_", name), path("#", name));
        }
        const UnzipResult result = extractSingleEntry(owner_.setup_.readEntry, path("_", name),
                                                      "#" + name, path("#", name));
        if (result == UnzipResult::Success) {
            return std::nullopt;
        }
        if (result == UnzipResult::DiskFull) {
            return UpdateMessage{kInfoCaption, kDiskFull};
        }
        return UpdateMessage{kInfoCaption, uncompressFailed(static_cast<int>(result))};
    }

    Problem install(std::vector<std::string>& replaced) {
        for (const std::string& name : questionFiles_) {
            Result<std::string> local = readWholeFile(path("", name));
            if (!local) {
                return failedBecause(local.error().describe());
            }
            if (Problem problem = unpack(name)) {
                return problem;
            }
            Result<std::string> candidate = readWholeFile(path("#", name));
            if (!candidate) {
                return failedBecause(candidate.error().describe());
            }
            // Whatever the server sent must at least be a question file
            // before it may take a course's place.
            Result<QdfHeader> header = parseQdfHeader(*candidate, path("#", name));
            if (!header) {
                return failedBecause(header.error().describe());
            }
            Result<bool> newer = deliveredIsNewer(dateLineOf(*local), dateLineOf(*candidate), name);
            if (!newer) {
                return failedBecause(newer.error().message);
            }
            if (!*newer) {
                removeIfPresent(path("#", name));
                removeIfPresent(path("_", name));
                continue;
            }
            if (Problem problem = renamed(path("#", name), path("", name))) {
                return problem;
            }
            removeIfPresent(path("_", name));
            // The old history counts answers to questions that may no longer
            // exist; the catalog makes a fresh one when it lists the course.
            replaced.push_back(header->ExamCode + " : " + header->ExamTitle);
            const std::string base = name.substr(0, name.size() - 4);
            for (const char* extension : {".HIS", ".ADP"}) {
                if (Problem kept =
                        removedIfPresent(pathIgnoringCase(historyDir_, base + extension))) {
                    return kept;
                }
            }
        }
        return std::nullopt;
    }

    void removeWorkingFiles() const {
        for (const auto* list : {&questionFiles_, &companionFiles_}) {
            for (const std::string& name : *list) {
                removeIfPresent(path("_", name));
                removeIfPresent(path("#", name));
            }
        }
    }

    QuestionUpdate& owner_;
    const UpdateEvents& events_;
    const std::atomic<bool>* cancel_;
    const std::string questionDir_;
    const std::string historyDir_;
    const std::string imageDir_;
    std::vector<std::string> questionFiles_;
    std::vector<std::string> companionFiles_;
};

QuestionUpdate::QuestionUpdate(net::Connector& connector, UpdateSetup setup)
    : client_(connector), setup_(std::move(setup)) {
    client_.settings.proxyHost = setup_.proxyHost;
    client_.settings.proxyPort = setup_.proxyPort;
    client_.settings.timeout = setup_.timeout;
}

UpdateReport QuestionUpdate::run(const std::vector<UpdateTarget>& targets, bool announceEach,
                                 const UpdateEvents& events, const std::atomic<bool>* cancel) {
    UpdateReport report;
    const auto show = [&](const UpdateMessage& message) {
        report.messages.push_back(message);
        if (events.show) {
            events.show(message);
        }
    };
    for (const UpdateTarget& target : targets) {
        if (stopped(cancel)) {
            report.cancelled = true;
            break;
        }
        if (announceEach) {
            show({kInfoCaption, target.displayName + kVendorStarting});
        }
        if (events.confirm && !events.confirm(kConfirmClear)) {
            continue;
        }
        report.started = true;
        cookie_.clear();
        std::vector<std::string> replaced;
        const Problem problem = VendorRun(*this, target, events, cancel).perform(replaced);
        report.replaced.insert(report.replaced.end(), replaced.begin(), replaced.end());
        // What ended the vendor's update is told as part of it; the courses
        // it replaced before that are listed once it is over.
        if (problem) {
            if (stopped(cancel)) {
                report.cancelled = true;
            } else {
                report.failures.push_back(*problem);
            }
            show(*problem);
        }
        if (!replaced.empty()) {
            show({kInfoCaption, replacedList(replaced)});
        } else if (!problem) {
            show({kInfoCaption, kNothingNew});
        }
    }
    if (report.endsProgram()) {
        show({kInfoCaption, kMustRestart});
    }
    return report;
}

}  // namespace tovalo::update
