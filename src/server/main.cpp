#include <grp.h>
#include <pthread.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "server/admin/admin.h"
#include "server/console/console_service.h"
#include "server/http/server.h"
#include "server/protocol/metrics_text.h"
#include "server/service/content_service.h"
#include "server/service/inbox_service.h"
#include "server/service/learner_keys.h"
#include "server/service/published_courses.h"
#include "server/service/sync_service.h"
#include "server/store/counting_store.h"
#include "server/store/store.h"
#include "tovalo_version.h"

namespace {

using namespace tovalo;
using namespace tovalo::server;

constexpr const char* kHelp =
    "usage: tovalo-server [OPTIONS]\n"
    "       tovalo-server admin [--data DIR] [--db URL] COMMAND ...\n"
    "\n"
    "Serves what the Tovalo program asks of its server: the history\n"
    "synchronisation, the question file update, the support and diagnosis\n"
    "forms, the FAQ and the news.\n"
    "\n"
    "options (each also read from the environment variable in brackets):\n"
    "  --listen HOST:PORT     address to serve on [TOVALO_LISTEN] (127.0.0.1:8080)\n"
    "  --data DIR             data folder: store, secret [TOVALO_DATA]\n"
    "                         (~/.local/share/tovalo-server)\n"
    "  --db URL               sqlite:PATH, or postgresql://USER@HOST/DB for a store\n"
    "                         that many servers share [TOVALO_DB] (sqlite:DIR/tovalo.sqlite3)\n"
    "  --registration MODE    open: a learner is made at the first upload;\n"
    "                         closed: only learners the staff added [TOVALO_REGISTRATION] (open)\n"
    "  --tls-cert FILE        certificate chain (PEM): serve HTTPS [TOVALO_TLS_CERT]\n"
    "  --tls-key FILE         its private key (PEM) [TOVALO_TLS_KEY]\n"
    "  --read-timeout SECONDS time to send a whole request [TOVALO_READ_TIMEOUT] (30)\n"
    "  --max-connections N    connections open at once [TOVALO_MAX_CONNECTIONS] (4096)\n"
    "  --query-path PATH      [TOVALO_QUERY_PATH] (/sync/query.cgi)\n"
    "  --upload-path PATH     [TOVALO_UPLOAD_PATH] (/sync/upload.cgi)\n"
    "  --download-path PATH   [TOVALO_DOWNLOAD_PATH] (/sync/download.cgi)\n"
    "  --update-path PATH     question files [TOVALO_UPDATE_PATH] (/update/qdf.cgi)\n"
    "  --figure-path PATH     settings files and figures [TOVALO_FIGURE_PATH] (/update/img)\n"
    "  --form-path PATH       support and diagnosis forms [TOVALO_FORM_PATH]\n"
    "                         (/cgi-bin/tovalo/support.cgi)\n"
    "  --faq-path PATH        [TOVALO_FAQ_PATH] (/faq/index.cgi)\n"
    "  --news-path PATH       [TOVALO_NEWS_PATH] (/news/index.html)\n"
    "  --console-idle MINUTES a staff console session unused this long ends\n"
    "                         [TOVALO_CONSOLE_IDLE] (30)\n"
    "  --help, --version\n"
    "\n"
    "admin commands:\n"
    "  learners list | add SERIAL NAME | disable SERIAL | enable SERIAL\n"
    "  learners export SERIAL OUT.json | history SERIAL TEST_ID\n"
    "  publish VENDOR FILE.qdf|SOURCE.txt [--ini FILE.ini] [--figures DIR] [--if-newer]\n"
    "  courses | withdraw VENDOR COURSE\n"
    "  inbox list | show N | answer N TEXT\n"
    "  news add TITLE TEXT | list\n"
    "  staff add NAME | passwd NAME | remove NAME | list\n"
    "                              (passwords are read twice, without echo)\n"
    "  backup OUT\n";

struct Config {
    std::string listen = "127.0.0.1:8080";
    std::string data;
    std::string db;
    std::string registration = "open";
    std::string tlsCert;
    std::string tlsKey;
    std::string readTimeout = "30";
    std::string maxConnections = "4096";
    std::string queryPath = "/sync/query.cgi";
    std::string uploadPath = "/sync/upload.cgi";
    std::string downloadPath = "/sync/download.cgi";
    std::string updatePath = "/update/qdf.cgi";
    std::string figurePath = "/update/img";
    std::string formPath = "/cgi-bin/tovalo/support.cgi";
    std::string faqPath = "/faq/index.cgi";
    std::string newsPath = "/news/index.html";
    std::string consoleIdle = "30";
};

struct Option {
    const char* flag;
    const char* variable;
    std::string Config::*field;
};

constexpr Option kOptions[] = {
    {"--listen", "TOVALO_LISTEN", &Config::listen},
    {"--data", "TOVALO_DATA", &Config::data},
    {"--db", "TOVALO_DB", &Config::db},
    {"--registration", "TOVALO_REGISTRATION", &Config::registration},
    {"--tls-cert", "TOVALO_TLS_CERT", &Config::tlsCert},
    {"--tls-key", "TOVALO_TLS_KEY", &Config::tlsKey},
    {"--read-timeout", "TOVALO_READ_TIMEOUT", &Config::readTimeout},
    {"--max-connections", "TOVALO_MAX_CONNECTIONS", &Config::maxConnections},
    {"--query-path", "TOVALO_QUERY_PATH", &Config::queryPath},
    {"--upload-path", "TOVALO_UPLOAD_PATH", &Config::uploadPath},
    {"--download-path", "TOVALO_DOWNLOAD_PATH", &Config::downloadPath},
    {"--update-path", "TOVALO_UPDATE_PATH", &Config::updatePath},
    {"--figure-path", "TOVALO_FIGURE_PATH", &Config::figurePath},
    {"--form-path", "TOVALO_FORM_PATH", &Config::formPath},
    {"--faq-path", "TOVALO_FAQ_PATH", &Config::faqPath},
    {"--news-path", "TOVALO_NEWS_PATH", &Config::newsPath},
    {"--console-idle", "TOVALO_CONSOLE_IDLE", &Config::consoleIdle},
};

int fail(const std::string& message) {
    std::fprintf(stderr, "tovalo-server: %s\n", message.c_str());
    return 1;
}

// The environment first, the command line over it. Returns the words that
// are no option (the admin command), or nothing after a bad option.
std::optional<std::vector<std::string>> readConfig(int argc, char** argv, int from, Config& c) {
    for (const Option& o : kOptions) {
        if (const char* value = std::getenv(o.variable); value != nullptr && *value != '\0') {
            c.*o.field = value;
        }
    }
    std::vector<std::string> rest;
    for (int i = from; i < argc; ++i) {
        const std::string arg = argv[i];
        // What follows an admin command is its own: "--ini" is not ours.
        if (!rest.empty()) {
            rest.push_back(arg);
            continue;
        }
        const Option* match = nullptr;
        for (const Option& o : kOptions) {
            if (arg == o.flag || arg.starts_with(std::string(o.flag) + "=")) {
                match = &o;
            }
        }
        if (match == nullptr) {
            if (arg.starts_with("--")) {
                std::fprintf(stderr, "tovalo-server: unknown option %s\n", arg.c_str());
                return std::nullopt;
            }
            rest.push_back(arg);
        } else if (arg.size() > std::strlen(match->flag)) {
            c.*match->field = arg.substr(std::strlen(match->flag) + 1);
        } else if (i + 1 < argc) {
            c.*match->field = argv[++i];
        } else {
            std::fprintf(stderr, "tovalo-server: %s needs a value\n", arg.c_str());
            return std::nullopt;
        }
    }
    if (c.data.empty()) {
        const char* home = std::getenv("HOME");
        c.data = std::string(home != nullptr ? home : ".") + "/.local/share/tovalo-server";
    }
    if (c.db.empty()) {
        c.db = "sqlite:" + c.data + "/tovalo.sqlite3";
    }
    return rest;
}

std::optional<long> number(const std::string& text) {
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || text.empty() || !std::isdigit(static_cast<unsigned char>(text[0])) ||
        *end != '\0') {
        return std::nullopt;
    }
    return value;
}

std::optional<long> positive(const std::string& text) {
    const std::optional<long> value = number(text);
    return value && *value > 0 ? value : std::nullopt;
}

Result<std::unique_ptr<store::Store>> openStore(const Config& c) {
    if (c.db.starts_with("sqlite:")) {
        return store::openSqliteStore(c.db.substr(7));
    }
    // libpq reads the whole address, its settings after "?" included.
    if (c.db.starts_with("postgresql://") || c.db.starts_with("postgres://")) {
        return store::openPostgresStore(c.db);
    }
    // Only the scheme: the rest may hold a password.
    return Error{"--db " + c.db.substr(0, c.db.find(':')) +
                     ": not a store this server knows (sqlite:PATH or postgresql://...)",
                 {},
                 0};
}

// Root working on a folder that belongs to the service's user takes that
// user's identity first, so that nothing it creates there (a store, its
// write-ahead log) ends up belonging to root, which the service could not
// write.
Status becomeDataOwner(const std::string& data) {
    struct stat info {};
    if (::geteuid() != 0 || ::stat(data.c_str(), &info) != 0 || info.st_uid == 0) {
        return Ok{};
    }
    if (::setgroups(0, nullptr) != 0 || ::setgid(info.st_gid) != 0 || ::setuid(info.st_uid) != 0) {
        return Error{data + ": cannot take the identity of the folder's owner", {}, 0};
    }
    return Ok{};
}

// One write per line, so lines from several threads never interleave.
void logLine(std::string_view line) {
    std::string out(line);
    out += '\n';
    [[maybe_unused]] const ssize_t n = ::write(STDERR_FILENO, out.data(), out.size());
}

}  // namespace

int main(int argc, char** argv) {
    const double startedAt =
        std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
    const bool adminMode = argc > 1 && std::string(argv[1]) == "admin";
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::fputs(kHelp, stdout);
            return 0;
        }
        if (arg == "--version") {
            std::printf("tovalo-server %s\n", TOVALO_VERSION);
            return 0;
        }
    }
    Config config;
    const std::optional<std::vector<std::string>> words =
        readConfig(argc, argv, adminMode ? 2 : 1, config);
    if (!words || (!adminMode && !words->empty())) {
        std::fputs(kHelp, stderr);
        return 2;
    }

    std::error_code ec;
    std::filesystem::create_directories(config.data, ec);
    ::chmod(config.data.c_str(), 0700);
    if (Status s = becomeDataOwner(config.data); !s) {
        return fail(s.error().describe());
    }
    Result<std::string> secret = service::loadOrCreateSecret(config.data);
    if (!secret) {
        return fail(secret.error().describe());
    }
    Result<std::unique_ptr<store::Store>> opened = openStore(config);
    if (!opened) {
        return fail(opened.error().describe());
    }
    service::SerialHasher hasher(*secret);
    if (adminMode) {
        return admin::run(*words, **opened, hasher);
    }
    store::CountingStore store(**opened);

    service::SyncOptions sync;
    sync.queryPath = config.queryPath;
    sync.uploadPath = config.uploadPath;
    sync.downloadPath = config.downloadPath;
    if (config.registration == "closed") {
        sync.registration = service::Registration::Closed;
    } else if (config.registration != "open") {
        return fail("--registration must be open or closed");
    }
    http::ServerOptions options;
    const std::size_t colon = config.listen.rfind(':');
    // Port 0 takes any free port; the line below says which.
    const std::optional<long> port =
        colon == std::string::npos ? std::nullopt : number(config.listen.substr(colon + 1));
    if (!port || *port > 65535) {
        return fail("--listen " + config.listen + ": not HOST:PORT");
    }
    options.host = config.listen.substr(0, colon);
    if (options.host.size() > 2 && options.host.front() == '[' && options.host.back() == ']') {
        options.host = options.host.substr(1, options.host.size() - 2);
    }
    options.port = static_cast<std::uint16_t>(*port);
    options.tlsCertFile = config.tlsCert;
    options.tlsKeyFile = config.tlsKey;
    if (options.tlsCertFile.empty() != options.tlsKeyFile.empty()) {
        return fail("--tls-cert and --tls-key go together");
    }
    const std::optional<long> readTimeout = positive(config.readTimeout);
    const std::optional<long> maxConnections = positive(config.maxConnections);
    const std::optional<long> consoleIdle = positive(config.consoleIdle);
    if (!readTimeout || !maxConnections || !consoleIdle) {
        return fail("--read-timeout, --max-connections and --console-idle take a positive number");
    }
    options.limits.readTimeout = std::chrono::seconds(*readTimeout);
    options.limits.maxConnections = static_cast<std::size_t>(*maxConnections);

    service::SyncService syncService(store, hasher, sync);
    service::ContentOptions content;
    content.questionPath = config.updatePath;
    content.figurePath = config.figurePath;
    while (content.figurePath.size() > 1 && content.figurePath.back() == '/') {
        content.figurePath.pop_back();
    }
    service::ContentService contentService(store, content);
    service::PublishedCourses published(store);
    service::InboxService inboxService(store, published, hasher,
                                       {config.formPath, config.faqPath, config.newsPath});
    console::ConsoleOptions consoleOptions;
    consoleOptions.idle = std::chrono::minutes(*consoleIdle);
    consoleOptions.tls = !options.tlsCertFile.empty();
    console::ConsoleService consoleService(store, published, *secret, consoleOptions);
    http::Router router;
    syncService.addRoutes(router);
    contentService.addRoutes(router);
    inboxService.addRoutes(router);
    consoleService.addRoutes(router);
    router.add("GET", "/health", [](const http::Request&) {
        http::Response r;
        r.body = "OK\n";
        return r;
    });
    // The server is made from the router, so this route finds it through a
    // pointer set before the first request can arrive.
    const http::Server* serving = nullptr;
    router.add("GET", "/metrics", [&](const http::Request&) {
        protocol::MetricsText text;
        serving->writeMetrics(text);
        store.writeMetrics(text);
        text.family("process_start_time_seconds", protocol::MetricType::Gauge,
                    "Start time of the process since the Unix epoch, in seconds.");
        text.sample("process_start_time_seconds", {}, startedAt);
        text.family("tovalo_build_info", protocol::MetricType::Gauge,
                    "The release this server was built from.");
        text.sample("tovalo_build_info", {{"version", TOVALO_VERSION}}, 1);
        http::Response r;
        r.contentType = std::string(protocol::kMetricsContentType);
        r.body = text.text();
        return r;
    });

    // Signals are taken by one thread of ours, so no I/O thread is ever
    // interrupted and the server stops between requests.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    ::signal(SIGPIPE, SIG_IGN);

    http::Server server(options, std::move(router), logLine);
    serving = &server;
    if (Status s = server.start(); !s) {
        return fail(s.error().describe());
    }
    std::fprintf(stderr, "tovalo-server %s: serving %s on %s:%u, data in %s\n", TOVALO_VERSION,
                 options.tlsCertFile.empty() ? "http" : "https", options.host.c_str(),
                 static_cast<unsigned>(server.port()), config.data.c_str());
    std::thread waiter([&] {
        int signal = 0;
        sigwait(&stopSignals, &signal);
        server.stop();
    });
    server.run();
    // run() may also end without a signal; wake the waiter so it can go.
    ::kill(::getpid(), SIGTERM);
    waiter.join();
    std::fputs("tovalo-server: stopped\n", stderr);
    return 0;
}
