#include <cstdio>
#include <nlohmann/json.hpp>

#include "core/sync/history_sync.h"
#include "platform/posix_connector.h"
#include "platform/posix_file_attributes.h"
#include "platform/system_clock.h"
#include "tools/commands.h"

namespace tovalo::tool {

namespace {

using json = nlohmann::ordered_json;

json rowsToJson(const std::vector<sync::SyncRow>& rows, bool withDone) {
    json out = json::array();
    for (const sync::SyncRow& r : rows) {
        json row = {{"TestID", r.testId},
                    {"State", sync::stateText(r.state)},
                    {"ServerDate", r.shownServerDate()},
                    {"ClientDate", r.clientDate}};
        if (withDone) {
            row["Done"] = r.done;
        }
        out.push_back(std::move(row));
    }
    return out;
}

}  // namespace

// sync ROOT VENDOR --profile PROFILE.json [--proxy HOST:PORT] [--plan | --yes]
int syncCommand(const Args& args) {
    if (args.size() < 4) {
        return 2;
    }
    std::string root = args[0];
    if (!root.empty() && root.back() != '/') {
        root += '/';
    }
    sync::SyncSetup setup;
    std::string profilePath;
    bool perform = false;
    for (std::size_t i = 2; i < args.size(); ++i) {
        const bool hasValue = i + 1 < args.size();
        if (args[i] == "--profile" && hasValue) {
            profilePath = args[++i];
        } else if (args[i] == "--proxy" && hasValue) {
            if (const std::string problem =
                    readProxyOption(args[++i], setup.proxyHost, setup.proxyPort);
                !problem.empty()) {
                return fail(problem);
            }
        } else if (args[i] == "--plan") {
            perform = false;
        } else if (args[i] == "--yes") {
            perform = true;
        } else {
            return 2;
        }
    }
    if (profilePath.empty()) {
        return 2;
    }
    Result<app::Profile> profile = readProfileJson(profilePath);
    if (!profile) {
        return fail(profile.error().describe());
    }
    setup.profile = *profile;
    Result<sync::SyncAddresses> addresses = sync::readSyncAddresses(root + "bin/");
    if (!addresses) {
        return fail(addresses.error().describe());
    }
    setup.addresses = *addresses;

    const Catalog catalog = vendorCatalog(root, args[1]);
    platform::PosixConnector connector;
    platform::PosixFileAttributes files;
    platform::SystemClock clock;
    sync::HistorySync run(connector, files, clock, setup);
    Result<std::vector<sync::SyncRow>> rows = run.query(catalog.courses);
    if (!rows) {
        return fail(rows.error().message);
    }
    if (!perform) {
        std::printf("%s\n", rowsToJson(*rows, false).dump(2).c_str());
        return 0;
    }
    const Status moved = run.transfer(*rows, catalog.courses);
    std::printf("%s\n", rowsToJson(*rows, true).dump(2).c_str());
    if (!moved) {
        return fail(moved.error().message);
    }
    return 0;
}

}  // namespace tovalo::tool
