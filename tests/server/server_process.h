#pragma once

// Runs the built tovalo-server as the tests' peer: started on a free
// loopback port, its log kept, stopped or killed at will.

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

// Where the servers and admin commands of a test keep the store of a data
// folder: its --db address, or "" for SQLite in the folder. Executables that
// run on PostgreSQL too set it before their tests start.
using StoreChoice = std::string (*)(const std::string& dataDir);
inline StoreChoice& storeChoice() {
    static StoreChoice choice = nullptr;
    return choice;
}
inline std::string storeUrlOf(const std::string& dataDir) {
    return storeChoice() != nullptr ? storeChoice()(dataDir) : "";
}

class ServerProcess {
  public:
    ServerProcess(const std::string& dataDir, std::vector<std::string> extra = {}) {
        std::vector<std::string> args = {TOVALO_SERVER, "--listen", "127.0.0.1:0", "--data",
                                         dataDir};
        if (const std::string url = storeUrlOf(dataDir); !url.empty()) {
            args.insert(args.end(), {"--db", url});
        }
        args.insert(args.end(), extra.begin(), extra.end());
        int err[2];
        if (::pipe2(err, O_CLOEXEC) != 0) {
            throw std::runtime_error("pipe");
        }
        pid_ = ::fork();
        if (pid_ == 0) {
            // Dies with the test, and never holds the test runner's output
            // open after it.
            ::prctl(PR_SET_PDEATHSIG, SIGKILL);
            const int null = ::open("/dev/null", O_WRONLY);
            ::dup2(null, STDOUT_FILENO);
            ::dup2(err[1], STDERR_FILENO);
            std::vector<char*> argv;
            for (std::string& a : args) {
                argv.push_back(a.data());
            }
            argv.push_back(nullptr);
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
        ::close(err[1]);
        reader_ = std::thread([this, fd = err[0]] {
            std::array<char, 4096> buf;
            ssize_t n;
            while ((n = ::read(fd, buf.data(), buf.size())) > 0) {
                std::lock_guard lock(mutex_);
                log_.append(buf.data(), static_cast<std::size_t>(n));
            }
            ::close(fd);
        });
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (port_ == 0 && std::chrono::steady_clock::now() < until) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            std::lock_guard lock(mutex_);
            const std::size_t on = log_.find(" on 127.0.0.1:");
            if (on != std::string::npos) {
                port_ = std::stoi(log_.substr(on + 14));
            }
        }
        if (port_ == 0) {
            stop(SIGKILL);
            throw std::runtime_error("tovalo-server did not start: " + log());
        }
    }
    ~ServerProcess() { stop(SIGTERM); }
    ServerProcess(const ServerProcess&) = delete;
    ServerProcess& operator=(const ServerProcess&) = delete;

    [[nodiscard]] int port() const { return port_; }
    [[nodiscard]] std::string log() const {
        std::lock_guard lock(mutex_);
        return log_;
    }
    // Still running: neither ended nor stopped.
    [[nodiscard]] bool running() {
        if (pid_ > 0 && ::waitpid(pid_, &status_, WNOHANG) == pid_) {
            pid_ = -1;
        }
        return pid_ > 0;
    }
    // Ends the process with `signal` and returns how it ended (waitpid's status).
    int stop(int signal) {
        if (pid_ > 0) {
            ::kill(pid_, signal);
            ::waitpid(pid_, &status_, 0);
            pid_ = -1;
        }
        if (reader_.joinable()) {
            reader_.join();
        }
        return status_;
    }

  private:
    pid_t pid_ = -1;
    int port_ = 0;
    int status_ = 0;
    std::thread reader_;
    mutable std::mutex mutex_;
    std::string log_;
};

struct HttpAnswer {
    int status = 0;
    std::string head;
    std::string body;
};

// One HTTP/1.0 exchange as the desktop program makes it; nothing when the
// connection failed or closed before a whole answer.
inline std::optional<HttpAnswer> httpExchange(int port, const std::string& request) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    std::string received;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::send(fd, request.data(), request.size(), MSG_NOSIGNAL) ==
            static_cast<ssize_t>(request.size())) {
        std::array<char, 16384> buf;
        ssize_t n;
        while ((n = ::recv(fd, buf.data(), buf.size(), 0)) > 0) {
            received.append(buf.data(), static_cast<std::size_t>(n));
        }
    }
    ::close(fd);
    const std::size_t end = received.find("\r\n\r\n");
    if (end == std::string::npos || received.size() < 12) {
        return std::nullopt;
    }
    HttpAnswer a;
    a.status = std::atoi(received.c_str() + 9);
    a.head = received.substr(0, end);
    a.body = received.substr(end + 4);
    // A body shorter than announced is a cut answer; "not modified" has none.
    const std::size_t length = a.head.find("Content-Length: ");
    if (a.status == 304 ? !a.body.empty()
                        : length == std::string::npos ||
                              std::stoul(a.head.substr(length + 16)) != a.body.size()) {
        return std::nullopt;
    }
    return a;
}

// A browser's request: its cookie, and a form's body when it posts one.
inline std::string browserRequest(const std::string& method, const std::string& target,
                                  const std::string& cookie, const std::string& body = {}) {
    std::string request = method + " " + target + " HTTP/1.0\r\nHost: localhost\r\n";
    if (!cookie.empty()) {
        request += "Cookie: " + cookie + "\r\n";
    }
    if (method == "POST") {
        request += "Content-Type: application/x-www-form-urlencoded\r\nContent-Length: " +
                   std::to_string(body.size()) + "\r\n";
    }
    return request + "\r\n" + body;
}

inline std::string postRequest(const std::string& target, const std::string& body) {
    return "POST " + target +
           " HTTP/1.0\r\nHost: localhost\r\nContent-Length: " + std::to_string(body.size()) +
           "\r\n\r\n" + body;
}

// `tovalo-server admin --data DIR ARGS`: exit code and standard output.
inline std::pair<int, std::string> serverAdmin(const std::string& dataDir,
                                               const std::string& args) {
    const std::string url = storeUrlOf(dataDir);
    const std::string cmd = std::string(TOVALO_SERVER) + " admin --data '" + dataDir + "' " +
                            (url.empty() ? "" : "--db '" + url + "' ") + args;
    FILE* p = ::popen(cmd.c_str(), "r");
    std::string out;
    std::array<char, 4096> buf;
    std::size_t n;
    while ((n = std::fread(buf.data(), 1, buf.size(), p)) > 0) {
        out.append(buf.data(), n);
    }
    const int status = ::pclose(p);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out};
}
