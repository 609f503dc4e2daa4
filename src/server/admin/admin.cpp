#include "server/admin/admin.h"

#include <cstdio>
#include <fstream>
#include <nlohmann/json.hpp>

#include "core/common/safe_file.h"
#include "core/results/history_file.h"
#include "core/sync/sync_rules.h"
#include "core/update/update_rules.h"
#include "server/protocol/sync_wire.h"
#include "server/service/courses.h"
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
        "  backup OUT\n",
        stderr);
    return 2;
}

// A stored version as the history file the client would write from it.
json historyOf(const store::HistoryVersion& v) {
    const std::string answer = protocol::downloadAnswer("", v.upload.record);
    const std::optional<HistoryFile> h = sync::historyFromDownload(answer, "");
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
        const std::string given = update::dateLineOf(draft->qdf).substr(0, 14);
        if (*current && (*current)->dateLine.substr(0, 14) >= given) {
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
    if (args[0] == "backup" && args.size() == 2) {
        const Status s = store.backup(args[1]);
        return s ? 0 : fail(s.error().describe());
    }
    return usage();
}

}  // namespace tovalo::server::admin
