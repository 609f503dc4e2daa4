// Closed-loop load on the server. Each of C clients does what the desktop
// program does for one course, synchronising its history or fetching its
// question file, settings file or a figure, without its pauses: connect,
// send one HTTP/1.0 request, read the answer until the server closes, and
// start again at once. One thread and epoll, so the generator takes one core
// at most and leaves the other to the server on a small machine.

#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/epoll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <numeric>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/net/http_client.h"
#include "core/sync/sync_rules.h"
#include "core/update/update_rules.h"

namespace {

using namespace tovalo;
using Clock = std::chrono::steady_clock;

constexpr const char* kUsage =
    "usage: tovalo-server-load --port PORT [options]\n"
    "  --host ADDRESS         server address (127.0.0.1)\n"
    "  --connections C        clients at once (1)\n"
    "  --seconds S            measured time (5); 0 with --seed: seed only\n"
    "  --warmup S             time before measuring (1)\n"
    "  --mix query=80,upload=15,download=5   share of each request (query only);\n"
    "                         update=50,figure=50 fetches the published files\n"
    "  --files A.qdf,A.ini,a.bmp,...   what update (the .qdf names) and figure\n"
    "                         (the others) fetch, each as often as the next\n"
    "  --get PATH             what get=100 asks for: any server's static file,\n"
    "                         to compare with\n"
    "  --learners N           learners the requests are spread over (1)\n"
    "  --courses K            courses of each learner (1)\n"
    "  --seed N               first upload one history per learner and course,\n"
    "                         for N learners, so that queries find data\n"
    "  --timeout S            longest exchange before it counts as timed out (10)\n"
    "  --max-requests N       stop measuring after N answers (5000000)\n"
    "  --json                 one JSON object instead of the table\n";

// Question slots of every uploaded course: the size of a typical course.
constexpr int kQuestionsPerCourse = 100;
// Every query and download is built before the run, and uploads (about 7 KB
// each) as they are sent; this bounds their memory: 10,000 learners with 20
// courses each.
constexpr long kMaxLearnerCourses = 200000;
constexpr int kMaxEvents = 1024;

enum Kind { Query, Upload, Download, Update, Figure, Get, kKinds };
constexpr const char* kKindNames[kKinds] = {"query",  "upload", "download",
                                            "update", "figure", "get"};
constexpr const char* kPaths[kKinds] = {"/sync/query.cgi", "/sync/upload.cgi", "/sync/download.cgi",
                                        "/update/qdf.cgi", "/update/img"};

struct Options {
    std::string host = "127.0.0.1";
    std::string port;
    int connections = 1;
    double seconds = 5;
    double warmup = 1;
    int mix[kKinds] = {100, 0, 0};
    long learners = 1;
    long courses = 1;
    bool seed = false;
    double timeout = 10;
    long maxRequests = 5'000'000;
    bool json = false;
    std::vector<std::string> files[kKinds];  // of Update and Figure
    std::string getPath;
};

std::optional<double> number(std::string_view text, double min, double max) {
    std::string s(text);
    char* end = nullptr;
    errno = 0;
    const double v = std::strtod(s.c_str(), &end);
    if (s.empty() || errno != 0 || *end != '\0' || !(v >= min && v <= max)) {
        return std::nullopt;
    }
    return v;
}

bool readMix(std::string_view text, int (&mix)[kKinds]) {
    std::fill(std::begin(mix), std::end(mix), 0);
    while (!text.empty()) {
        const std::string_view item = text.substr(0, text.find(','));
        text.remove_prefix(std::min(text.size(), item.size() + 1));
        const std::size_t eq = item.find('=');
        const auto name =
            std::find(std::begin(kKindNames), std::end(kKindNames), item.substr(0, eq));
        const auto share =
            eq == std::string_view::npos ? std::nullopt : number(item.substr(eq + 1), 0, 1000);
        if (name == std::end(kKindNames) || !share || *share != std::floor(*share)) {
            return false;
        }
        mix[name - std::begin(kKindNames)] = static_cast<int>(*share);
    }
    return std::accumulate(std::begin(mix), std::end(mix), 0) > 0;
}

// "A.qdf,A.ini,a.bmp": question files to Update, the rest to Figure.
bool readFiles(std::string_view text, std::vector<std::string> (&files)[kKinds]) {
    files[Update].clear();
    files[Figure].clear();
    while (!text.empty()) {
        const std::string name(text.substr(0, text.find(',')));
        text.remove_prefix(std::min(text.size(), name.size() + 1));
        if (!update::isSafeFigureName(name)) {
            return false;
        }
        files[name.ends_with(".qdf") ? Update : Figure].push_back(name);
    }
    return true;
}

std::optional<Options> readOptions(int argc, char** argv) {
    Options o;
    bool learnersGiven = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--json") {
            o.json = true;
            continue;
        }
        if (i + 1 >= argc) {
            return std::nullopt;
        }
        const std::string_view value = argv[++i];
        std::optional<double> n;
        if (arg == "--host") {
            o.host = value;
        } else if (arg == "--port" && number(value, 1, 65535)) {
            o.port = value;
        } else if (arg == "--connections" && (n = number(value, 1, 1'000'000))) {
            o.connections = static_cast<int>(*n);
        } else if (arg == "--seconds" && (n = number(value, 0, 86400))) {
            o.seconds = *n;
        } else if (arg == "--warmup" && (n = number(value, 0, 3600))) {
            o.warmup = *n;
        } else if (arg == "--mix" && readMix(value, o.mix)) {
        } else if (arg == "--files" && readFiles(value, o.files)) {
        } else if (arg == "--get" && value.starts_with('/')) {
            o.getPath = value;
        } else if (arg == "--learners" && (n = number(value, 1, kMaxLearnerCourses))) {
            o.learners = static_cast<long>(*n);
            learnersGiven = true;
        } else if (arg == "--courses" && (n = number(value, 1, 999))) {
            o.courses = static_cast<long>(*n);
        } else if (arg == "--seed" && (n = number(value, 1, kMaxLearnerCourses))) {
            o.seed = true;
            if (!learnersGiven) {
                o.learners = static_cast<long>(*n);
            }
        } else if (arg == "--timeout" && (n = number(value, 0.001, 3600))) {
            o.timeout = *n;
        } else if (arg == "--max-requests" && (n = number(value, 1, 1e9))) {
            o.maxRequests = static_cast<long>(*n);
        } else {
            return std::nullopt;
        }
    }
    if (o.port.empty() || o.learners * o.courses > kMaxLearnerCourses ||
        (o.mix[Get] > 0 && o.getPath.empty()) ||
        o.learners * static_cast<long>(o.files[Update].size()) > kMaxLearnerCourses ||
        (o.seconds == 0 && !o.seed)) {
        return std::nullopt;
    }
    // A kind in the mix needs something to ask for.
    for (const Kind kind : {Update, Figure}) {
        if (o.mix[kind] > 0 && o.files[kind].empty()) {
            return std::nullopt;
        }
    }
    return o;
}

// The bytes of every request, in the client's own words: its request head
// and the bodies the synchronisation builds, or the addresses its update
// asks. Index: learner × courses + course; learner × question files + file;
// figure file. Uploads are made when sent: all of them would not fit.
struct Requests {
    std::vector<std::string> of[kKinds];
    std::size_t uploads = 0;
    std::function<std::string(std::size_t)> upload;
};

// "yyyy/mm/dd", as the client dates an upload's address.
std::string today() {
    return sync::formatSyncDate(platform::toLocalDateTime(std::chrono::system_clock::now()))
        .substr(0, 10);
}

// A course worked through for a while: ten exams, five categories and every
// question answered, so that the upload is as long as a real one.
HistoryFile workedHistory(long learner, long course) {
    HistoryFile h;
    for (int i = 0; i < kHistoryExams; ++i) {
        h.exams[i] = {30 + i,           1 + i % 12,
                      1 + (i * 3) % 28, 9 + i % 10,
                      (7 * i) % 60,     static_cast<int>(40 + (learner + course + i) % 60),
                      1 + i % 4,        40};
    }
    h.BestRate = 99;
    h.AverageRate = 70;
    for (int c = 0; c < 5; ++c) {
        h.categories[c] = {{60, 65, 70, 75, 80}, 70, 80};
    }
    for (int q = 0; q < kQuestionsPerCourse; ++q) {
        h.CorrectCount[q] = (q + learner) % 9;
        h.WrongCount[q] = (q + course) % 4;
    }
    return h;
}

Requests buildRequests(const Options& o) {
    // The client names the host as it connects to it; an IPv6 literal needs
    // its brackets there.
    const std::string server =
        (o.host.find(':') != std::string::npos ? "[" + o.host + "]" : o.host) + ":" + o.port;
    std::optional<net::HttpAddress> address[kKinds];
    for (const Kind k : {Query, Upload, Download}) {
        address[k] = net::parseHttpAddress("http://" + server + kPaths[k]);
    }
    address[Upload]->target += "?" + today();
    // As the installation's SRV_INFO names them: without the leading slash.
    const update::UpdateAddresses updateServer{server, kPaths[Update] + 1, server,
                                               kPaths[Figure] + 1};
    QuestionBank bank;
    bank.QuesTotal = kQuestionsPerCourse;
    bank.questions.resize(kQuestionsPerCourse);
    for (int q = 0; q < kQuestionsPerCourse; ++q) {
        bank.questions[q].QuesNum = q + 1;
    }
    const net::HeaderList noHeaders;
    auto request = [address, noHeaders](Kind kind, const std::string& body) {
        return net::requestHead(net::HttpMethod::Post, *address[kind], false, noHeaders,
                                body.size()) +
               body;
    };
    // The update's GETs carry its agent name; it has no cookie to send
    // until a server sets one, and ours sets none.
    net::HeaderList updateHeaders;
    updateHeaders.set("User-Agent", update::kUserAgent);
    auto get = [&](const std::string& url) {
        return net::requestHead(net::HttpMethod::Get, *net::parseHttpAddress(url), false,
                                updateHeaders, 0);
    };
    Requests r;
    if (!o.getPath.empty()) {
        r.of[Get].push_back(
            net::requestHead(net::HttpMethod::Get, *net::parseHttpAddress("http://" + server +
                                                                          o.getPath),
                             false, noHeaders, 0));
    }
    auto learner = [](long l) {
        app::Profile who;
        who.serial = "L" + std::to_string(l);
        who.name = "Learner " + std::to_string(l);
        who.email = "l" + std::to_string(l) + "@example.jp";
        return who;
    };
    auto testId = [](long c) {
        char id[32];
        std::snprintf(id, sizeof id, "LOAD-%03ld", c + 1);
        return std::string(id);
    };
    r.uploads = static_cast<std::size_t>(o.learners * o.courses);
    r.upload = [=, courses = o.courses](std::size_t index) {
        const long l = static_cast<long>(index) / courses;
        const long c = static_cast<long>(index) % courses;
        const platform::LocalDateTime stamp{2026, 1 + static_cast<int>(c % 12),
                                            1 + static_cast<int>(l % 28), 8, 30, 0};
        return request(Upload, sync::uploadBody(learner(l), testId(c), sync::formatSyncDate(stamp),
                                                bank, workedHistory(l, c)));
    };
    for (const std::string& name : o.files[Figure]) {
        r.of[Figure].push_back(get(update::figureAddress(updateServer, name)));
    }
    for (long l = 0; l < o.learners; ++l) {
        const app::Profile who = learner(l);
        for (long c = 0; c < o.courses; ++c) {
            r.of[Query].push_back(request(Query, sync::queryBody(who, testId(c))));
            r.of[Download].push_back(request(Download, sync::downloadBody(who, testId(c))));
        }
        // The server sends the current file whatever date the installed
        // copy has; an old one is what an update usually asks with.
        for (const std::string& name : o.files[Update]) {
            r.of[Update].push_back(
                get(update::questionFileAddress(updateServer, who, name, "20000101000000")));
        }
    }
    return r;
}

struct Tally {
    long done = 0;
    long connectFailed = 0;
    long dropped = 0;  // reset, or closed before the whole answer
    long status = 0;   // answered with 400 or above
    long timeouts = 0;
    long notFound = 0;         // queries the server had no history for
    long doneOf[kKinds] = {};  // `done` by kind: uploads answered are versions stored
    long long bodyBytes = 0;   // of the answers counted in `done`
    std::vector<std::uint32_t> micros;

    [[nodiscard]] long errors() const { return connectFailed + dropped + status + timeouts; }
};

enum class Outcome { Answered, ConnectFailed, Dropped, TimedOut };

struct Client {
    int fd = -1;
    bool connected = false;
    Kind kind = Query;
    const std::string* request = nullptr;
    std::string own;  // the request, when it was made for this exchange
    std::size_t sent = 0;
    std::string received;
    Clock::time_point started;
};

// Picks the next request for a client, or makes it in `own`; nothing leaves
// the client idle.
struct Picker {
    virtual ~Picker() = default;
    virtual bool next(Kind& kind, std::string& own, const std::string*& request) = 0;
};

class Generator {
  public:
    Generator(const addrinfo& server, int clients, Clock::duration timeout)
        : server_(server), clients_(static_cast<std::size_t>(clients)), timeout_(timeout) {
        epoll_ = ::epoll_create1(EPOLL_CLOEXEC);
    }
    ~Generator() {
        for (Client& c : clients_) {
            close(c);
        }
        ::close(epoll_);
    }

    // Runs until `until`, or sooner when `stop` says so after an answer;
    // answers that end after `recordFrom` go into `tally`.
    template <typename Stop>
    void run(Picker& picker, Clock::time_point recordFrom, Clock::time_point until, Tally& tally,
             Stop stop) {
        tally_ = &tally;
        recordFrom_ = recordFrom;
        for (Client& c : clients_) {
            begin(c, picker);
        }
        epoll_event events[kMaxEvents];
        Clock::time_point nextSweep = Clock::now();
        while (Clock::now() < until && !stop()) {
            const int n = ::epoll_wait(epoll_, events, kMaxEvents, 10);
            for (int i = 0; i < n; ++i) {
                Client& c = clients_[events[i].data.u64];
                if (const std::optional<Outcome> end = advance(c, events[i].events)) {
                    finish(c, *end);
                    begin(c, picker);
                }
            }
            // A connection that failed at once is tried again after the
            // others had their turn, not in a loop of its own.
            retrying_.swap(retryNow_);
            for (std::size_t i : retryNow_) {
                begin(clients_[i], picker);
            }
            retryNow_.clear();
            if (const Clock::time_point now = Clock::now(); now >= nextSweep) {
                nextSweep = now + std::chrono::milliseconds(10);
                for (Client& c : clients_) {
                    if (c.fd >= 0 && now - c.started > timeout_) {
                        finish(c, Outcome::TimedOut);
                        begin(c, picker);
                    }
                }
            }
        }
        // Exchanges still open at the end are neither answers nor errors.
        for (Client& c : clients_) {
            close(c);
        }
    }

    [[nodiscard]] bool idle() const {
        return retrying_.empty() && std::all_of(clients_.begin(), clients_.end(),
                                                [](const Client& c) { return c.fd < 0; });
    }

  private:
    void close(Client& c) {
        if (c.fd >= 0) {
            ::close(c.fd);
            c.fd = -1;
        }
    }

    void begin(Client& c, Picker& picker) {
        if (!picker.next(c.kind, c.own, c.request)) {
            return;
        }
        c.sent = 0;
        c.received.clear();
        c.connected = false;
        c.started = Clock::now();
        c.fd = ::socket(server_.ai_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (c.fd < 0) {
            failedAtOnce(c);
            return;
        }
        const int one = 1;
        ::setsockopt(c.fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        if (::connect(c.fd, server_.ai_addr, server_.ai_addrlen) != 0 && errno != EINPROGRESS) {
            failedAtOnce(c);
            return;
        }
        epoll_event e{};
        e.events = EPOLLOUT;
        e.data.u64 = static_cast<std::uint64_t>(&c - clients_.data());
        ::epoll_ctl(epoll_, EPOLL_CTL_ADD, c.fd, &e);
    }

    void failedAtOnce(Client& c) {
        finish(c, Outcome::ConnectFailed);
        retrying_.push_back(static_cast<std::size_t>(&c - clients_.data()));
    }

    // One step of an exchange; its outcome once it is over.
    std::optional<Outcome> advance(Client& c, std::uint32_t events) {
        if (!c.connected) {
            int error = 0;
            socklen_t size = sizeof error;
            ::getsockopt(c.fd, SOL_SOCKET, SO_ERROR, &error, &size);
            if (error != 0 || (events & (EPOLLERR | EPOLLHUP)) != 0) {
                return Outcome::ConnectFailed;
            }
            c.connected = true;
        }
        if (c.sent < c.request->size()) {
            const ssize_t n =
                ::send(c.fd, c.request->data() + c.sent, c.request->size() - c.sent, MSG_NOSIGNAL);
            if (n < 0) {
                return errno == EAGAIN ? std::nullopt : std::optional(Outcome::Dropped);
            }
            c.sent += static_cast<std::size_t>(n);
            if (c.sent == c.request->size()) {
                epoll_event e{};
                e.events = EPOLLIN;
                e.data.u64 = static_cast<std::uint64_t>(&c - clients_.data());
                ::epoll_ctl(epoll_, EPOLL_CTL_MOD, c.fd, &e);
            }
            return std::nullopt;
        }
        char block[16384];
        while (true) {
            const ssize_t n = ::recv(c.fd, block, sizeof block, 0);
            if (n > 0) {
                c.received.append(block, static_cast<std::size_t>(n));
            } else if (n == 0) {
                return Outcome::Answered;
            } else {
                return errno == EAGAIN ? std::nullopt : std::optional(Outcome::Dropped);
            }
        }
    }

    void finish(Client& c, Outcome outcome) {
        const Clock::time_point now = Clock::now();
        close(c);
        if (now < recordFrom_) {
            return;
        }
        Tally& t = *tally_;
        switch (outcome) {
            case Outcome::ConnectFailed:
                ++t.connectFailed;
                return;
            case Outcome::TimedOut:
                ++t.timeouts;
                return;
            case Outcome::Dropped:
                ++t.dropped;
                return;
            case Outcome::Answered:
                break;
        }
        // Whole, as the desktop client judges it: a head that ended, and a
        // body as long as announced.
        const std::size_t end = c.received.find("\r\n\r\n");
        net::HttpResponse r;
        if (end != std::string::npos) {
            net::readResponseHead(std::string_view(c.received).substr(0, end + 2), r);
            r.received = c.received.size() - end - 4;
        }
        if (r.status == 0 || !r.complete()) {
            ++t.dropped;
            return;
        }
        if (r.status >= 400) {
            ++t.status;
            return;
        }
        ++t.done;
        ++t.doneOf[c.kind];
        t.bodyBytes += static_cast<long long>(r.received);
        if (c.kind == Query && c.received.compare(end + 4, 8, "NOTFOUND") == 0) {
            ++t.notFound;
        }
        t.micros.push_back(static_cast<std::uint32_t>(std::min<long long>(
            std::chrono::duration_cast<std::chrono::microseconds>(now - c.started).count(),
            UINT32_MAX)));
    }

    const addrinfo& server_;
    std::vector<Client> clients_;
    Clock::duration timeout_;
    int epoll_ = -1;
    std::vector<std::size_t> retrying_;
    std::vector<std::size_t> retryNow_;
    Tally* tally_ = nullptr;
    Clock::time_point recordFrom_;
};

// Every upload once, in order.
class SeedPicker : public Picker {
  public:
    explicit SeedPicker(const Requests& requests) : requests_(requests) {}
    bool next(Kind& kind, std::string& own, const std::string*& request) override {
        if (next_ == requests_.uploads) {
            return false;
        }
        kind = Upload;
        own = requests_.upload(next_++);
        request = &own;
        return true;
    }

  private:
    const Requests& requests_;
    std::size_t next_ = 0;
};

// A kind by its share of the mix, then any learner's course.
class MixPicker : public Picker {
  public:
    MixPicker(const Requests& requests, const int (&mix)[kKinds])
        : requests_(requests), mix_(mix) {}
    bool next(Kind& kind, std::string& own, const std::string*& request) override {
        const int total = std::accumulate(std::begin(mix_), std::end(mix_), 0);
        int roll = static_cast<int>(random() % static_cast<std::uint64_t>(total));
        kind = Query;
        while (roll >= mix_[kind]) {
            roll -= mix_[kind];
            kind = static_cast<Kind>(kind + 1);
        }
        if (kind == Upload) {
            own = requests_.upload(random() % requests_.uploads);
            request = &own;
            return true;
        }
        const std::vector<std::string>& list = requests_.of[kind];
        request = &list[random() % list.size()];
        return true;
    }

  private:
    // xorshift64: cheap, and the same sequence at every run.
    std::uint64_t random() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 7;
        state_ ^= state_ << 17;
        return state_;
    }

    const Requests& requests_;
    const int (&mix_)[kKinds];
    std::uint64_t state_ = 0x9E3779B97F4A7C15ull;
};

double percentileMs(const std::vector<std::uint32_t>& sorted, double q) {
    if (sorted.empty()) {
        return 0;
    }
    const auto rank = static_cast<std::size_t>(std::ceil(q * static_cast<double>(sorted.size())));
    return sorted[std::clamp<std::size_t>(rank, 1, sorted.size()) - 1] / 1000.0;
}

std::string mixText(const int (&mix)[kKinds]) {
    std::string text;
    for (int k = 0; k < kKinds; ++k) {
        if (mix[k] > 0) {
            text += (text.empty() ? "" : ",") + std::string(kKindNames[k]) + "=" +
                    std::to_string(mix[k]);
        }
    }
    return text;
}

Clock::duration seconds(double s) {
    return std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(s));
}

}  // namespace

int main(int argc, char** argv) {
    const std::optional<Options> options = readOptions(argc, argv);
    if (!options) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const Options& o = *options;

    // Every client holds a socket; the soft limit is often far below them.
    rlimit files{};
    ::getrlimit(RLIMIT_NOFILE, &files);
    files.rlim_cur = files.rlim_max;
    ::setrlimit(RLIMIT_NOFILE, &files);
    if (static_cast<rlim_t>(o.connections) + 16 > files.rlim_cur) {
        std::fprintf(stderr,
                     "tovalo-server-load: %d connections need more files than the %ld allowed\n",
                     o.connections, static_cast<long>(files.rlim_cur));
        return 1;
    }
    addrinfo hints{};
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* server = nullptr;
    if (const int e = ::getaddrinfo(o.host.c_str(), o.port.c_str(), &hints, &server); e != 0) {
        std::fprintf(stderr, "tovalo-server-load: %s: %s\n", o.host.c_str(), gai_strerror(e));
        return 1;
    }

    const Requests requests = buildRequests(o);
    const Clock::duration timeout = seconds(o.timeout);
    // JSON fields, or the table's lines.
    std::string out;
    auto field = [&](const char* format, auto... values) {
        char text[512];
        std::snprintf(text, sizeof text, format, values...);
        out += o.json ? (out.empty() ? "{" : ", ") + std::string(text) : std::string(text) + "\n";
    };

    Tally seeded;
    if (o.seed) {
        // Uploads wait for the store's commit: a few at a time keep it busy
        // without making the rest wait in line.
        Generator seeder(*server, std::min(o.connections, 16), timeout);
        SeedPicker picker(requests);
        const Clock::time_point start = Clock::now();
        seeder.run(picker, start, start + std::chrono::minutes(10), seeded,
                   [&] { return seeder.idle(); });
        const double took = std::chrono::duration<double>(Clock::now() - start).count();
        if (o.json) {
            field("\"seeded\": %ld, \"seed_errors\": %ld, \"seed_seconds\": %.3f", seeded.done,
                  o.learners * o.courses - seeded.done, took);
        } else {
            field("seeded      %ld of %ld histories (%ld learners x %ld courses) in %.2f s",
                  seeded.done, o.learners * o.courses, o.learners, o.courses, took);
        }
    }

    if (o.seconds > 0) {
        Tally tally;
        tally.micros.reserve(static_cast<std::size_t>(std::min(o.maxRequests, 1'000'000L)));
        Generator load(*server, o.connections, timeout);
        MixPicker picker(requests, o.mix);
        const Clock::time_point measured = Clock::now() + seconds(o.warmup);
        load.run(picker, measured, measured + seconds(o.seconds), tally,
                 [&] { return static_cast<long>(tally.micros.size()) >= o.maxRequests; });
        // Over the time actually measured, which the count bound may cut short.
        const double took = std::chrono::duration<double>(Clock::now() - measured).count();
        std::sort(tally.micros.begin(), tally.micros.end());
        const double rate = took > 0 ? static_cast<double>(tally.done) / took : 0;
        const double bytesRate = took > 0 ? static_cast<double>(tally.bodyBytes) / took : 0;
        const double p50 = percentileMs(tally.micros, 0.50);
        const double p90 = percentileMs(tally.micros, 0.90);
        const double p99 = percentileMs(tally.micros, 0.99);
        const double max = tally.micros.empty() ? 0 : tally.micros.back() / 1000.0;
        const std::string mix = mixText(o.mix);
        if (o.json) {
            field("\"mix\": \"%s\", \"connections\": %d, \"seconds\": %.3f", mix.c_str(),
                  o.connections, took);
            field("\"requests\": %ld, \"rate\": %.1f, \"bytes_per_s\": %.0f, \"not_found\": %ld",
                  tally.done, rate, bytesRate, tally.notFound);
            field("\"p50_ms\": %.3f, \"p90_ms\": %.3f, \"p99_ms\": %.3f, \"max_ms\": %.3f", p50,
                  p90, p99, max);
            field(
                "\"errors\": {\"connect\": %ld, \"dropped\": %ld, \"status\": %ld, "
                "\"timeout\": %ld}",
                tally.connectFailed, tally.dropped, tally.status, tally.timeouts);
            std::string answered;
            for (int k = 0; k < kKinds; ++k) {
                answered += (k == 0 ? "" : ", ") + std::string("\"") + kKindNames[k] +
                            "\": " + std::to_string(tally.doneOf[k]);
            }
            field("\"answered\": {%s}", answered.c_str());
        } else {
            field("%s, %d connections, %.1f s after %.1f s warm-up", mix.c_str(), o.connections,
                  took, o.warmup);
            field("requests    %ld (%.0f req/s, %.2f MB/s of answers), %ld queries found nothing",
                  tally.done, rate, bytesRate / 1e6, tally.notFound);
            field("latency ms  p50 %.2f  p90 %.2f  p99 %.2f  max %.2f", p50, p90, p99, max);
            field("errors      connect %ld  reset/dropped %ld  status>=400 %ld  timeout %ld",
                  tally.connectFailed, tally.dropped, tally.status, tally.timeouts);
        }
    }
    std::fputs((o.json ? out + "}\n" : out).c_str(), stdout);
    ::freeaddrinfo(server);
    // Without every seeded history the queries measure something else than asked.
    return seeded.done == (o.seed ? o.learners * o.courses : 0) ? 0 : 1;
}
