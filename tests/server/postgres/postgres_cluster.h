#pragma once

#include <fcntl.h>
#include <grp.h>
#include <libpq-fe.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "common/temp_tree.h"

#ifndef TOVALO_PG_BIN
#define TOVALO_PG_BIN "/usr/lib/postgresql/15/bin"
#endif

// A throwaway PostgreSQL cluster for one test executable: made in a
// temporary folder on first use, reached only through a Unix socket in that
// folder (no TCP, no password), stopped and removed when the tests end.
// PostgreSQL refuses to run as root, which the build machines' tests are:
// its programs then run as "nobody", who is handed the folder.
class PostgresCluster {
  public:
    static constexpr uid_t kNobody = 65534;

    // The cluster, started by the first call; failure() says why when it
    // could not be.
    static PostgresCluster& shared() {
        static PostgresCluster cluster;
        return cluster;
    }

    ~PostgresCluster() { stop("immediate"); }
    PostgresCluster(const PostgresCluster&) = delete;
    PostgresCluster& operator=(const PostgresCluster&) = delete;

    [[nodiscard]] bool running() const { return started_; }

    // Stops the server, ending every session ("fast"), or as a crash would
    // ("immediate").
    void stop(const std::string& mode = "fast") {
        if (started_) {
            (void)server({"pg_ctl", "-D", data(), "-s", "-w", "-m", mode, "stop"});
            started_ = false;
        }
    }

    // Starts the server on the cluster made before; false, with the reason
    // in failure(), when it did not start.
    bool start() {
        // fsync=off: nothing here has to survive a power cut, and the
        // machine is shared. Commit times show the order of commits.
        if (server({"pg_ctl", "-D", data(), "-s", "-w", "-l", tree_.path("server.log"), "-o",
                    "-c listen_addresses='' -k " + tree_.path() +
                        " -c fsync=off -c track_commit_timestamp=on",
                    "start"}) != 0) {
            const std::lock_guard lock(mutex_);
            failure_ = "pg_ctl start failed: " + tree_.read("server.log");
            return false;
        }
        started_ = true;
        return true;
    }
    // What failed last.
    [[nodiscard]] std::string failure() {
        const std::lock_guard lock(mutex_);
        return failure_;
    }

    // The address of `database`, with any "&key=value" settings after it.
    [[nodiscard]] std::string url(const std::string& database,
                                  const std::string& settings = {}) const {
        return "postgresql:///" + database + "?host=" + tree_.path() + "&user=tovalo" + settings;
    }

    // A new empty database, whose name it gives; "" when it could not be
    // made. Its texts sort as people read them (ICU's en-US), not by
    // their bytes as the store must give them back, so that an order left
    // to the database's collation shows.
    std::string freshDatabase() {
        const std::string name = "t" + std::to_string(++databases_);
        return sql("postgres", "CREATE DATABASE " + name +
                                   " TEMPLATE template0 LOCALE_PROVIDER icu ICU_LOCALE 'en-US'")
                   ? name
                   : "";
    }

    // Runs `statements` in `database` and gives the first value of the
    // last one's first row ("" when it has none), or nothing (with the
    // reason in failure()) when they fail.
    std::optional<std::string> sql(const std::string& database, const std::string& statements) {
        PGconn* conn = PQconnectdb(url(database).c_str());
        PGresult* result = PQexec(conn, statements.c_str());
        std::optional<std::string> value;
        const ExecStatusType status = PQresultStatus(result);
        if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK) {
            value = PQntuples(result) > 0 && PQnfields(result) > 0 ? PQgetvalue(result, 0, 0) : "";
        } else {
            const std::lock_guard lock(mutex_);
            failure_ = PQerrorMessage(conn);
        }
        PQclear(result);
        PQfinish(conn);
        return value;
    }

    // Runs a client program of the cluster's version (psql, pg_restore) as
    // this process's user and gives its exit status.
    [[nodiscard]] static int client(const std::vector<std::string>& argv) {
        return spawn(argv, false);
    }

  private:
    PostgresCluster() {
        if (::geteuid() == 0 && ::chown(tree_.path().c_str(), kNobody, kNobody) != 0) {
            failure_ = "cannot hand " + tree_.path() + " to nobody";
            return;
        }
        if (server({"initdb", "-D", data(), "-U", "tovalo", "--auth=trust", "-E", "UTF8",
                    "--locale=C", "--no-sync"}) != 0) {
            failure_ = "initdb failed";
            return;
        }
        (void)start();
    }

    [[nodiscard]] std::string data() const { return tree_.path("data"); }

    // Runs a program of the cluster's server as "nobody" when this process
    // is root.
    static int server(const std::vector<std::string>& argv) { return spawn(argv, true); }

    static int spawn(const std::vector<std::string>& argv, bool asServer) {
        const std::string program = std::string(TOVALO_PG_BIN) + "/" + argv[0];
        std::vector<char*> args{const_cast<char*>(program.c_str())};
        for (std::size_t i = 1; i < argv.size(); ++i) {
            args.push_back(const_cast<char*>(argv[i].c_str()));
        }
        args.push_back(nullptr);
        const bool drop = asServer && ::geteuid() == 0;
        const pid_t pid = ::fork();
        if (pid == 0) {
            // The user it becomes may have no way into the caller's folder.
            if (drop && (::chdir("/") != 0 || (::setgroups(0, nullptr) != 0 ||
                                               ::setresgid(kNobody, kNobody, kNobody) != 0 ||
                                               ::setresuid(kNobody, kNobody, kNobody) != 0))) {
                ::_exit(126);
            }
            // initdb tells at length what it did; the log keeps the server's words.
            const int quiet = asServer ? ::open("/dev/null", O_WRONLY) : -1;
            if (quiet >= 0) {
                ::dup2(quiet, STDOUT_FILENO);
            }
            ::execv(args[0], args.data());
            ::_exit(127);
        }
        int status = 0;
        while (pid > 0 && ::waitpid(pid, &status, 0) < 0) {
        }
        return pid > 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    TempTree tree_;
    std::mutex mutex_;
    std::atomic<int> databases_ = 0;
    bool started_ = false;
    std::string failure_;
};
