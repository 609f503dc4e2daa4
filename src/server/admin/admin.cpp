#include "server/admin/admin.h"

#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <nlohmann/json.hpp>

#include "core/common/safe_file.h"
#include "core/results/history_file.h"
#include "core/update/update_rules.h"
#include "server/protocol/sync_wire.h"
#include "server/service/courses.h"
#include "server/service/passwords.h"
#include "tools/history_json.h"

namespace tovalo::server::admin {

namespace {

using json = nlohmann::ordered_json;

int fail(const std::string& message) {
    std::fprintf(stderr, "tovalo-server: %s\n", message.c_str());
    return 1;
}

int usage() {
    std::fputs(
        "usage: tovalo-server admin [--data DIR] [--db URL] COMMAND\n"
        "  learners list\n"
        "  learners add SERIAL NAME\n"
        "  learners disable SERIAL\n"
        "  learners enable SERIAL\n"
        "  learners export SERIAL OUT.json\n"
        "  learners history SERIAL TEST_ID\n"
        "  publish VENDOR FILE.qdf|SOURCE.txt [--ini FILE.ini] [--figures DIR] [--if-newer]\n"
        "  courses\n"
        "  withdraw VENDOR COURSE\n"
        "  inbox list | show N | answer N TEXT\n"
        "  news add TITLE TEXT | list\n"
        "  staff add NAME | passwd NAME | remove NAME | list\n"
        "  backup OUT\n",
        stderr);
    return 2;
}

// A stored version as the history file the client would write from it.
json historyOf(const store::HistoryVersion& v) {
    const std::optional<HistoryFile> h = protocol::historyOfRecord(v.upload.record);
    return h ? tool::historyJson(historyFileBytes(*h)) : json(nullptr);
}

json versionJson(const store::HistoryVersion& v) {
    return {{"Id", v.id},
            {"TestID", v.upload.testId},
            {"LastUpdate", v.upload.lastUpdate},
            {"SentOn", v.upload.sentOn},
            {"ReceivedAt", v.receivedAt},
            {"BestRate", v.upload.bestRate},
            {"AverageRate", v.upload.averageRate},
            {"QuestionCount", v.upload.questionCount},
            {"History", historyOf(v)}};
}

Result<store::Learner> knownLearner(store::Store& store, const service::SerialHasher& hasher,
                                    const std::string& serial) {
    Result<std::optional<store::Learner>> found = store.findLearner(hasher.hash(serial));
    if (!found) {
        return found.error();
    }
    if (!*found) {
        return Error{"no learner with that identifier", {}, 0};
    }
    return **found;
}

int learners(const std::vector<std::string>& a, store::Store& store,
             const service::SerialHasher& hasher) {
    const std::string& verb = a.size() > 1 ? a[1] : std::string();
    if (verb == "list" && a.size() == 2) {
        Result<std::vector<store::Learner>> all = store.learners();
        if (!all) {
            return fail(all.error().describe());
        }
        for (const store::Learner& l : *all) {
            std::printf("%lld\t%s\t%s\t%s\t%s\t%s\n", static_cast<long long>(l.id),
                        l.serialHash.substr(0, 12).c_str(), l.createdAt.c_str(),
                        l.disabled ? "disabled" : "active", l.name.c_str(), l.email.c_str());
        }
        return 0;
    }
    if (verb == "add" && a.size() == 4) {
        Result<store::Learner> added = store.addLearner({hasher.hash(a[2]), a[3], ""});
        return added ? 0 : fail(added.error().describe());
    }
    if ((verb == "disable" || verb == "enable") && a.size() == 3) {
        const Status s = store.setLearnerDisabled(hasher.hash(a[2]), verb == "disable");
        return s ? 0 : fail(s.error().describe());
    }
    if (verb == "export" && a.size() == 4) {
        Result<store::Learner> learner = knownLearner(store, hasher, a[2]);
        if (!learner) {
            return fail(learner.error().describe());
        }
        Result<std::vector<store::HistoryVersion>> versions =
            store.historyVersions(learner->id, "");
        if (!versions) {
            return fail(versions.error().describe());
        }
        json out = {{"Name", learner->name},
                    {"Email", learner->email},
                    {"CreatedAt", learner->createdAt},
                    {"Disabled", learner->disabled},
                    {"Versions", json::array()}};
        for (const store::HistoryVersion& v : *versions) {
            out["Versions"].push_back(versionJson(v));
        }
        const Status saved = saveFileAtomically(a[3], out.dump(2) + "\n");
        return saved ? 0 : fail(saved.error().describe());
    }
    if (verb == "history" && a.size() == 4) {
        Result<store::Learner> learner = knownLearner(store, hasher, a[2]);
        if (!learner) {
            return fail(learner.error().describe());
        }
        Result<std::optional<store::HistoryVersion>> current =
            store.currentHistory(learner->id, a[3]);
        if (!current) {
            return fail(current.error().describe());
        }
        if (!*current) {
            return fail("no history of " + a[3] + " for that learner");
        }
        std::printf("%s\n", historyOf(**current).dump(2).c_str());
        return 0;
    }
    return usage();
}

void printVersion(const store::CourseVersion& v) {
    std::printf("%s\t%s\t%lld\t%s\t%s\t%lld\t%zu\t%s\n", v.vendor.c_str(), v.course.c_str(),
                static_cast<long long>(v.id), v.dateLine.substr(0, 14).c_str(),
                v.publishedAt.c_str(), static_cast<long long>(v.figureListVersion),
                v.figures.size(),
                v.withdrawnFrom != 0 ? ("withdrawn to " + std::to_string(v.withdrawnFrom)).c_str()
                                     : "published");
}

int courses(const std::vector<std::string>& a, store::Store& store) {
    service::CoursePublisher publisher(store);
    if (a[0] == "courses" && a.size() == 1) {
        Result<std::vector<store::CourseVersion>> all = store.courseVersions("");
        if (!all) {
            return fail(all.error().describe());
        }
        std::printf("vendor\tcourse\tversion\tdate\tpublished\tfigure list\tfigures\tstate\n");
        for (const store::CourseVersion& v : *all) {
            printVersion(v);
        }
        return 0;
    }
    if (a[0] == "withdraw" && a.size() == 3) {
        Result<store::CourseVersion> v = publisher.withdraw(a[1], a[2]);
        if (!v) {
            return fail(v.error().describe());
        }
        printVersion(*v);
        return 0;
    }
    if (a[0] != "publish" || a.size() < 3) {
        return usage();
    }
    std::string ini;
    std::string figures;
    bool ifNewer = false;
    for (std::size_t i = 3; i < a.size(); ++i) {
        if (a[i] == "--if-newer") {
            ifNewer = true;
        } else if (a[i] == "--ini" && i + 1 < a.size()) {
            ini = a[++i];
        } else if (a[i] == "--figures" && i + 1 < a.size()) {
            figures = a[++i];
        } else {
            return usage();
        }
    }
    Result<service::CourseDraft> draft = service::readCourseFiles(a[1], a[2], ini, figures);
    if (!draft) {
        return fail(draft.error().describe());
    }
    if (ifNewer) {
        Result<std::optional<store::CourseVersion>> current = store.currentCourse(draft->course);
        if (!current) {
            return fail(current.error().describe());
        }
        if (*current &&
            !service::isLaterDateLine(update::dateLineOf(draft->qdf), (*current)->dateLine)) {
            std::printf("%s: unchanged, the published version is as new\n", draft->course.c_str());
            return 0;
        }
    }
    Result<store::CourseVersion> v = publisher.publish(std::move(*draft));
    if (!v) {
        return fail(v.error().describe());
    }
    printVersion(*v);
    return 0;
}

const char* kindName(store::InboxKind kind) {
    return kind == store::InboxKind::Question ? "question" : "diagnosis";
}

std::optional<std::int64_t> receiptNumber(const std::string& text) {
    std::int64_t n = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
    return ec == std::errc() && end == text.data() + text.size() && n > 0
               ? std::optional<std::int64_t>(n)
               : std::nullopt;
}

// What the learner wrote, on one line, for the list.
std::string gist(const store::InboxItem& item) {
    for (const char* name : {"question", "MESSAGE"}) {
        for (const store::FormField& f : item.fields) {
            if (f.name == name) {
                std::string line = f.value.substr(0, 120);
                for (char& c : line) {
                    if (c == '\r' || c == '\n' || c == '\t') {
                        c = ' ';
                    }
                }
                return line;
            }
        }
    }
    return {};
}

int inbox(const std::vector<std::string>& a, store::Store& store) {
    const std::string& verb = a.size() > 1 ? a[1] : std::string();
    if (verb == "list" && a.size() == 2) {
        Result<std::vector<store::InboxItem>> items = store.inboxItems();
        if (!items) {
            return fail(items.error().describe());
        }
        for (const store::InboxItem& item : *items) {
            std::printf("%lld\t%s\t%s\t%s\t%d\t%s\t%s\n", static_cast<long long>(item.receipt),
                        item.receivedAt.c_str(), kindName(item.kind), item.testId.c_str(),
                        item.quesNum, item.answers.empty() ? "open" : "answered",
                        gist(item).c_str());
        }
        return 0;
    }
    const std::optional<std::int64_t> receipt = a.size() > 2 ? receiptNumber(a[2]) : std::nullopt;
    if (verb == "show" && a.size() == 3 && receipt) {
        Result<std::optional<store::InboxItem>> item = store.inboxItem(*receipt);
        if (!item) {
            return fail(item.error().describe());
        }
        if (!*item) {
            return fail("no inbox item " + a[2]);
        }
        const store::InboxItem& i = **item;
        json out = {{"Receipt", i.receipt},       {"Kind", kindName(i.kind)},
                    {"ReceivedAt", i.receivedAt}, {"TestID", i.testId},
                    {"QuesNum", i.quesNum},       {"Fields", json::array()},
                    {"Answers", json::array()}};
        for (const store::FormField& f : i.fields) {
            out["Fields"].push_back({{"Name", f.name}, {"Value", f.value}});
        }
        for (const store::InboxAnswer& answer : i.answers) {
            out["Answers"].push_back({{"Text", answer.text}, {"AnsweredAt", answer.answeredAt}});
        }
        std::printf("%s\n", out.dump(2).c_str());
        return 0;
    }
    if (verb == "answer" && a.size() == 4 && receipt) {
        Result<store::InboxAnswer> answered = store.answerInboxItem(*receipt, a[3]);
        return answered ? 0 : fail(answered.error().describe());
    }
    return usage();
}

int news(const std::vector<std::string>& a, store::Store& store) {
    if (a.size() == 4 && a[1] == "add") {
        Result<store::NewsItem> added = store.addNews(a[2], a[3]);
        return added ? 0 : fail(added.error().describe());
    }
    if (a.size() == 2 && a[1] == "list") {
        Result<std::vector<store::NewsItem>> latest = store.latestNews(1000);
        if (!latest) {
            return fail(latest.error().describe());
        }
        for (const store::NewsItem& n : *latest) {
            std::printf("%lld\t%s\t%s\n", static_cast<long long>(n.id), n.postedAt.c_str(),
                        n.title.c_str());
        }
        return 0;
    }
    return usage();
}

// One line of standard input; from a terminal, typed without echo after
// `prompt`.
std::optional<std::string> secretLine(const char* prompt) {
    termios before{};
    const bool terminal = ::isatty(STDIN_FILENO) != 0 && ::tcgetattr(STDIN_FILENO, &before) == 0;
    if (terminal) {
        std::fputs(prompt, stderr);
        termios quiet = before;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    }
    std::string line;
    const bool read = static_cast<bool>(std::getline(std::cin, line));
    if (terminal) {
        ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &before);
        std::fputs("\n", stderr);
    }
    if (!read) {
        return std::nullopt;
    }
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    return line;
}

// Names are shown on every page and typed at every sign-in.
bool isStaffName(std::string_view name) {
    return !name.empty() && name.size() <= 64 && std::none_of(name.begin(), name.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x20 || c == 0x7f || c == ' ';
    });
}

int staff(const std::vector<std::string>& a, store::Store& store) {
    if (a.size() == 2 && a[1] == "list") {
        Result<std::vector<store::StaffAccount>> all = store.staffAccounts();
        if (!all) {
            return fail(all.error().describe());
        }
        for (const store::StaffAccount& s : *all) {
            std::printf("%lld\t%s\t%s\n", static_cast<long long>(s.id), s.createdAt.c_str(),
                        s.name.c_str());
        }
        return 0;
    }
    if (a.size() != 3 || (a[1] != "add" && a[1] != "passwd" && a[1] != "remove")) {
        return usage();
    }
    const std::string& name = a[2];
    if (a[1] == "remove") {
        const Status removed = store.removeStaff(name);
        return removed ? 0 : fail(removed.error().describe());
    }
    if (a[1] == "add" && !isStaffName(name)) {
        return fail("staff names are 1 to 64 bytes without blanks or control characters");
    }
    const std::optional<std::string> password = secretLine("Password: ");
    const std::optional<std::string> again = secretLine("Password again: ");
    if (!password || !again) {
        return fail("the password must be given twice");
    }
    if (*password != *again) {
        return fail("the two passwords differ; nothing was stored");
    }
    Result<std::string> hash = service::hashPassword(*password);
    if (!hash) {
        return fail(hash.error().describe());
    }
    if (a[1] == "passwd") {
        const Status changed = store.setStaffPassword(name, *hash);
        return changed ? 0 : fail(changed.error().describe());
    }
    Result<store::StaffAccount> added = store.addStaff(name, *hash);
    return added ? 0 : fail(added.error().describe());
}

}  // namespace

int run(const std::vector<std::string>& args, store::Store& store,
        const service::SerialHasher& hasher) {
    if (args.empty()) {
        return usage();
    }
    if (args[0] == "learners") {
        return learners(args, store, hasher);
    }
    if (args[0] == "publish" || args[0] == "courses" || args[0] == "withdraw") {
        return courses(args, store);
    }
    if (args[0] == "inbox") {
        return inbox(args, store);
    }
    if (args[0] == "news") {
        return news(args, store);
    }
    if (args[0] == "staff") {
        return staff(args, store);
    }
    if (args[0] == "backup" && args.size() == 2) {
        const Status s = store.backup(args[1]);
        return s ? 0 : fail(s.error().describe());
    }
    return usage();
}

}  // namespace tovalo::server::admin
