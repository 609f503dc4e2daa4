#include <cstdio>
#include <nlohmann/json.hpp>

#include "core/app/vendors.h"
#include "core/common/files.h"
#include "core/update/question_update.h"
#include "platform/posix_connector.h"
#include "platform/zip_entry_reader.h"
#include "tools/commands.h"

namespace tovalo::tool {

namespace {

std::optional<int> secondsOf(const std::string& text) {
    try {
        std::size_t used = 0;
        const int seconds = std::stoi(text, &used);
        return used == text.size() ? std::optional<int>(seconds) : std::nullopt;
    } catch (...) {
        return std::nullopt;
    }
}

}  // namespace

// update ROOT VENDOR|all [--timeout S] [--proxy HOST:PORT] [--profile PROFILE.json] --yes
int updateCommand(const Args& args) {
    if (args.size() < 3) {
        return 2;
    }
    std::string root = args[0];
    if (!root.empty() && root.back() != '/') {
        root += '/';
    }
    const std::string programDir = root + "bin/";
    update::UpdateSetup setup;
    bool confirmed = false;
    for (std::size_t i = 2; i < args.size(); ++i) {
        const bool hasValue = i + 1 < args.size();
        if (args[i] == "--timeout" && hasValue) {
            const std::optional<int> seconds = secondsOf(args[++i]);
            if (!seconds || *seconds > update::kMaxTimeoutSeconds) {
                return 2;
            }
            if (*seconds <= 0) {
                return fail(update::kBadTimeout);
            }
            setup.timeout = std::chrono::seconds(*seconds);
        } else if (args[i] == "--proxy" && hasValue) {
            if (const std::string problem =
                    readProxyOption(args[++i], setup.proxyHost, setup.proxyPort);
                !problem.empty()) {
                return fail(problem);
            }
        } else if (args[i] == "--profile" && hasValue) {
            Result<app::Profile> profile = readProfileJson(args[++i]);
            if (!profile) {
                return fail(profile.error().describe());
            }
            setup.profile = std::move(profile).value();
        } else if (args[i] == "--yes") {
            confirmed = true;
        } else {
            return 2;
        }
    }
    // The update clears the histories of the courses it replaces; the tool
    // never does that without being told to.
    if (!confirmed) {
        return 2;
    }
    Result<update::UpdateAddresses> addresses = update::readUpdateAddresses(programDir);
    if (!addresses) {
        return fail(addresses.error().describe());
    }
    setup.addresses = *addresses;
    setup.directories = app::Directories::resolve(programDir);
    setup.readEntry = &platform::readZipEntry;

    // The vendors' display names live in their resource bundles, which
    // only the program loads; the tool names each vendor by its folder.
    std::vector<update::UpdateTarget> targets;
    const bool all = args[1] == "all";
    std::vector<std::string> folders{args[1]};
    if (all) {
        // No list names no vendor; a list that cannot be read is a failure,
        // not a run with nothing to do.
        Result<std::optional<std::string>> list =
            readFileIfPresent(programDir + app::kVendorListFile);
        if (!list) {
            return fail(list.error().describe());
        }
        folders = list->has_value() ? app::parseVendorList(**list) : std::vector<std::string>{};
    }
    for (const std::string& folder : folders) {
        if (directoryExists(setup.directories.questionDir(folder))) {
            targets.push_back({folder, folder});
        } else if (!all) {
            return fail(setup.directories.questionDir(folder) + ": " + kFileNotFound);
        }
    }

    platform::PosixConnector connector;
    update::QuestionUpdate run(connector, std::move(setup));
    update::UpdateEvents events;
    events.confirm = [](const std::string&) { return true; };
    const update::UpdateReport report = run.run(targets, all, events);

    nlohmann::ordered_json out = {{"replaced", report.replaced},
                                  {"messages", nlohmann::json::array()}};
    for (const update::UpdateMessage& m : report.messages) {
        out["messages"].push_back(m.text);
    }
    std::printf("%s\n", out.dump(2).c_str());
    if (!report.failures.empty()) {
        for (std::size_t i = 0; i + 1 < report.failures.size(); ++i) {
            std::fprintf(stderr, "%s\n", report.failures[i].text.c_str());
        }
        return fail(report.failures.back().text);
    }
    return 0;
}

}  // namespace tovalo::tool
