#include "store_choice.h"

#include <cstdlib>
#include <filesystem>
#include <map>
#include <mutex>
#include <stdexcept>

#include "server/postgres/postgres_cluster.h"
#include "server/server_process.h"

namespace e2e {

using namespace tovalo;

namespace {

std::string postgresUrlOf(const std::string& dataDir) {
    static std::mutex mutex;
    static std::map<std::string, std::string> urls;
    const std::lock_guard lock(mutex);
    std::string& url = urls[dataDir];
    if (url.empty()) {
        PostgresCluster& cluster = PostgresCluster::shared();
        const std::string name = cluster.running() ? cluster.freshDatabase() : "";
        if (name.empty()) {
            throw std::runtime_error("no PostgreSQL database: " + cluster.failure());
        }
        url = cluster.url(name);
    }
    return url;
}

[[maybe_unused]] const bool kChosen = [] {
    if (onPostgres()) {
        storeChoice() = &postgresUrlOf;
    }
    return true;
}();

}  // namespace

bool onPostgres() {
    const char* db = std::getenv("TOVALO_TEST_DB");
    return db != nullptr && std::string(db) == "postgresql";
}

Result<std::unique_ptr<server::store::Store>> openStoreOf(const std::string& dataDir) {
    return onPostgres() ? server::store::openPostgresStore(postgresUrlOf(dataDir))
                        : server::store::openSqliteStore(dataDir + "/tovalo.sqlite3");
}

bool restoreBackup(const std::string& backup, const std::string& dataDir) {
    std::filesystem::create_directories(dataDir);
    std::error_code error;
    if (!onPostgres()) {
        return std::filesystem::copy_file(backup, dataDir + "/tovalo.sqlite3", error);
    }
    return PostgresCluster::client({"pg_restore", "--no-owner", "--exit-on-error",
                                    "--dbname=" + postgresUrlOf(dataDir), backup}) == 0;
}

}  // namespace e2e
