#include "server/console/console_service.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <map>

#include "server/console/learner_view.h"
#include "server/console/page.h"
#include "server/protocol/form_wire.h"
#include "server/protocol/multipart.h"
#include "server/protocol/pages.h"
#include "server/service/courses.h"
#include "server/service/inbox_service.h"
#include "server/service/passwords.h"

namespace tovalo::server::console {

namespace {

constexpr std::string_view kPrefix = "/console/";

std::int64_t nowSeconds() {
    return std::chrono::duration_cast<std::chrono::seconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

std::optional<std::int64_t> positiveNumber(std::string_view text) {
    std::int64_t n = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
    return ec == std::errc() && end == text.data() + text.size() && n > 0 ? std::optional(n)
                                                                          : std::nullopt;
}

// A GET form's value: "+" is a blank there, unlike in other addresses.
std::string queryText(std::string_view query, std::string_view name) {
    std::string raw;
    const std::string key = std::string(name) + "=";
    for (std::size_t at = 0; at <= query.size();) {
        const std::size_t end = std::min(query.find('&', at), query.size());
        const std::string_view pair = query.substr(at, end - at);
        if (pair.starts_with(key)) {
            raw = std::string(pair.substr(key.size()));
            break;
        }
        at = end + 1;
    }
    std::replace(raw.begin(), raw.end(), '+', ' ');
    return protocol::percentDecoded(raw).value_or("");
}

// A form value for an address: letters, digits and "-._~" as they are.
std::string urlEncoded(std::string_view text) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : text) {
        const auto b = static_cast<unsigned char>(c);
        if ((b < 0x80 && std::isalnum(b) != 0) || c == '-' || c == '.' || c == '_' || c == '~') {
            out += c;
        } else {
            out += '%';
            out += kDigits[b >> 4];
            out += kDigits[b & 15];
        }
    }
    return out;
}

// What a redirect after a change tells the page it lands on: only these
// fixed texts, never words from the address.
std::string_view messageNamed(std::string_view key) {
    static const std::map<std::string_view, std::string_view> kMessages = {
        {"published", "新しい版を公開しました。"},
        {"withdrawn", "公開中の版を取り下げ、前の版を配信し直しました。"},
        {"answered", "回答を保存しました。FAQ ページにも表示されます。"},
        {"done", "完了にしました。"},
        {"reopened", "未完了に戻しました。"},
        {"news-added", "お知らせを掲載しました。"},
        {"news-removed", "お知らせを削除しました。"},
    };
    const auto found = kMessages.find(key);
    return found == kMessages.end() ? std::string_view() : found->second;
}

std::string messageBlock(std::string_view message) {
    return message.empty() ? std::string()
                           : "<p class=\"message\" role=\"status\">" + esc(message) + "</p>\n";
}

std::string errorBlock(std::string_view error) {
    return error.empty() ? std::string()
                         : "<p class=\"error\" role=\"alert\">" + esc(error) + "</p>\n";
}

std::string fieldOf(const store::InboxItem& item, std::initializer_list<std::string_view> names) {
    for (const std::string_view name : names) {
        for (const store::FormField& f : item.fields) {
            if (f.name == name && !f.value.empty()) {
                return f.value;
            }
        }
    }
    return {};
}

// The support and diagnosis pages' field names as staff read them; a
// diagnosis request's course histories keep their course codes.
std::string fieldLabel(std::string_view name) {
    static const std::map<std::string_view, std::string_view> kLabels = {
        {"name", "名前"},        {"NAME", "名前"},         {"org", "所属"},
        {"ORG", "所属"},         {"mail", "メール"},       {"MAIL", "メール"},
        {"test", "コース"},      {"TEST", "コース"},       {"qdfdate", "問題ファイルの日付"},
        {"quesnum", "問題番号"}, {"ques", "問題文"},       {"answ", "選択肢と解答"},
        {"question", "質問"},    {"MESSAGE", "メッセージ"}};
    const auto found = kLabels.find(name);
    return std::string(found == kLabels.end() ? name : found->second);
}

// A question file's date line, "yyyymmddhhmmss…", as a date.
std::string dateLineText(std::string_view line) {
    if (line.size() < 12 || !std::all_of(line.begin(), line.begin() + 12,
                                         [](char c) { return c >= '0' && c <= '9'; })) {
        return std::string(line.substr(0, 14));
    }
    return std::string(line.substr(0, 4)) + "/" + std::string(line.substr(4, 2)) + "/" +
           std::string(line.substr(6, 2)) + " " + std::string(line.substr(8, 2)) + ":" +
           std::string(line.substr(10, 2));
}

enum class InboxState { Open, Answered, Done };

InboxState stateOf(const store::InboxItem& item) {
    if (!item.doneAt.empty()) {
        return InboxState::Done;
    }
    return item.answers.empty() ? InboxState::Open : InboxState::Answered;
}

std::string stateBadge(InboxState state) {
    switch (state) {
        case InboxState::Open:
            return "<span class=\"badge open\">未回答</span>";
        case InboxState::Answered:
            return "<span class=\"badge answered\">回答済み</span>";
        case InboxState::Done:
            return "<span class=\"badge done\">完了</span>";
    }
    return {};
}

std::string kindName(store::InboxKind kind) {
    return kind == store::InboxKind::Question ? "質問" : "診断依頼";
}

std::string firstLine(std::string text, std::size_t bytes) {
    const std::size_t cut = text.find_first_of("\r\n");
    if (cut != std::string::npos) {
        text.resize(cut);
    }
    if (text.size() > bytes) {
        // Back to the start of a character, so no UTF-8 sequence is cut.
        std::size_t at = bytes;
        while (at > 0 && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80) {
            --at;
        }
        text = text.substr(0, at) + "…";
    }
    return text;
}

}  // namespace

// What one request carries through the console.
struct ConsoleService::Visit {
    std::int64_t now = 0;
    bool secure = false;
    Session session;
    std::optional<store::StaffAccount> staff;
    bool newSession = false;  // set the cookie even on a page that changes nothing
    bool signedOut = false;
    protocol::FormFields form;
    std::vector<protocol::FormPart> parts;
    std::string query;

    [[nodiscard]] std::string value(std::string_view name) const {
        for (const protocol::FormField& f : form) {
            if (f.name == name) {
                return f.value;
            }
        }
        return protocol::partValue(parts, name);
    }
};

ConsoleService::ConsoleService(store::Store& store, service::PublishedCourses& courses,
                               std::string_view serverSecret, ConsoleOptions options)
    : store_(store), courses_(courses), sessions_(serverSecret, options.idle), options_(options) {}

void ConsoleService::addRoutes(http::Router& router) {
    for (const char* method : {"GET", "POST"}) {
        router.add(method, "/console", [this](const http::Request& r) { return handle(r); });
        router.add(method, "/console/", [this](const http::Request& r) { return handle(r); });
        router.addFolder(method, "/console", [this](const http::Request& r) { return handle(r); });
    }
}

namespace {

http::Response redirect(std::string to) {
    http::Response r;
    r.status = 303;
    r.headers.emplace_back("Location", std::move(to));
    r.body = "See Other\n";
    return r;
}

using service::pageAnswer;

}  // namespace

http::Response ConsoleService::handle(const http::Request& request) {
    Visit visit;
    visit.now = nowSeconds();
    visit.query = request.query;
    const std::optional<std::string_view> proto = request.header("X-Forwarded-Proto");
    visit.secure = options_.tls || (proto && *proto == "https");

    const std::optional<std::string> cookie =
        cookieValue(request.header("Cookie").value_or(""), kCookieName);
    const std::optional<Session> session =
        cookie ? sessions_.decode(*cookie, visit.now) : std::nullopt;
    if (session) {
        visit.session = *session;
    } else {
        visit.session = Sessions::fresh(visit.now);
        visit.newSession = true;
    }
    if (visit.session.staffId != 0) {
        Result<std::optional<store::StaffAccount>> account =
            store_.staffAccount(visit.session.staffId);
        if (!account) {
            return pageAnswer(503, plainPage("エラー", account.error().describe()));
        }
        if (*account && (*account)->sessionEpoch == visit.session.epoch) {
            visit.staff = **account;
        } else {
            // Signed out elsewhere, or the account is gone.
            visit.session = Sessions::fresh(visit.now);
            visit.newSession = true;
        }
    }

    http::Response response;
    if (request.method == "POST") {
        const std::string type(request.header("Content-Type").value_or(""));
        bool read = true;
        if (type.starts_with("multipart/")) {
            Result<std::vector<protocol::FormPart>> parts =
                protocol::parseMultipart(request.body, type);
            read = parts.ok();
            if (read) {
                visit.parts = std::move(*parts);
            }
        } else {
            Result<protocol::FormFields> fields = protocol::decodeForm(request.body, type);
            read = fields.ok();
            if (read) {
                visit.form = std::move(*fields);
            }
        }
        // A form from a page we did not give this session: another site's,
        // another session's, or one kept past its session.
        if (!read || !sessions_.csrfMatches(visit.session, visit.value("csrf"))) {
            response =
                pageAnswer(403, plainPage("送信を受け付けられません",
                                          "このフォームは有効期限が切れているか、別の画面から"
                                          "送られました。ページを開き直してからもう一度送信して"
                                          "ください。"));
        }
    }
    if (response.body.empty()) {
        if (request.path == "/console/signin") {
            response = signIn(request, visit);
        } else if (!visit.staff) {
            response =
                request.method == "GET"
                    ? redirect("/console/signin")
                    : pageAnswer(403, plainPage("サインインしてください",
                                                "セッションが切れています。もう一度サインインして"
                                                "ください。"));
        } else {
            response = route(request, visit);
        }
    }

    // Every answer renews the session's idle time.
    if (visit.signedOut) {
        response.headers.emplace_back("Set-Cookie", Sessions::clearCookie(visit.secure));
    } else if (visit.staff || visit.newSession || cookie) {
        response.headers.emplace_back("Set-Cookie",
                                      sessions_.setCookie(visit.session, visit.secure));
    }
    response.headers.emplace_back("Cache-Control", "no-store");
    response.headers.emplace_back("X-Content-Type-Options", "nosniff");
    response.headers.emplace_back("Referrer-Policy", "same-origin");
    response.headers.emplace_back(
        "Content-Security-Policy",
        "default-src 'none'; style-src 'unsafe-inline'; img-src 'self'; form-action 'self'; "
        "frame-ancestors 'none'; base-uri 'none'");
    return response;
}

http::Response ConsoleService::signIn(const http::Request& request, Visit& visit) {
    if (request.method == "GET") {
        if (visit.staff) {
            return redirect("/console/learners");
        }
        return pageAnswer(200, signInPage(sessions_.csrfToken(visit.session), "", ""));
    }
    const std::string name = visit.value("name");
    const std::string password = visit.value("password");
    const auto now = SignInThrottle::Clock::now();
    const std::chrono::milliseconds owed = throttle_.owed(request.remoteAddress, name, now);
    const auto refuse = [&](int status, std::string_view message) {
        // A fresh form token too, so that a refused form is never replayed.
        visit.session = Sessions::fresh(visit.now);
        visit.staff.reset();
        return pageAnswer(status, signInPage(sessions_.csrfToken(visit.session), name, message));
    };
    if (owed.count() > 0) {
        // No password is checked while one is owed, so a flood learns
        // nothing and costs no hashing; its answers are held back too.
        throttle_.failed(request.remoteAddress, name, now);
        http::Response r = refuse(429, "サインインの失敗が続いたため、しばらく受け付けません。" +
                                           std::to_string((owed.count() + 999) / 1000) +
                                           " 秒ほど待ってからやり直してください。");
        r.headers.emplace_back("Retry-After", std::to_string((owed.count() + 999) / 1000));
        r.notBefore =
            std::chrono::steady_clock::now() + std::min(owed, std::chrono::milliseconds(2000));
        return r;
    }
    Result<std::optional<store::StaffAccount>> account = store_.findStaff(name);
    if (!account) {
        return refuse(503, account.error().describe());
    }
    // An unknown name costs a check too, so that the time taken does not
    // tell names apart.
    static const std::string kNobody = [] {
        Result<std::string> made = service::hashPassword("no account has this");
        return made ? *made : std::string();
    }();
    const bool matches =
        service::passwordMatches(*account ? (*account)->passwordHash : kNobody, password) &&
        account->has_value();
    if (!matches) {
        throttle_.failed(request.remoteAddress, name, now);
        return refuse(401, "職員名かパスワードが違います。");
    }
    // A new nonce at sign-in: a session token seen before signing in is
    // worth nothing after.
    visit.session = Sessions::fresh(visit.now);
    visit.session.staffId = (*account)->id;
    visit.session.epoch = (*account)->sessionEpoch;
    visit.staff = **account;
    return redirect("/console/learners");
}

http::Response ConsoleService::route(const http::Request& request, Visit& visit) {
    const std::string_view path = request.path;
    const bool get = request.method == "GET";
    if (path == "/console" || path == "/console/") {
        return redirect("/console/learners");
    }
    const std::string_view rest = path.substr(kPrefix.size());
    const std::size_t slash = rest.find('/');
    const std::string_view first = rest.substr(0, slash);
    const std::string_view second =
        slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
    const std::size_t slash2 = second.find('/');
    const std::string_view idText = second.substr(0, slash2);
    const std::string_view action =
        slash2 == std::string_view::npos ? std::string_view() : second.substr(slash2 + 1);
    const std::optional<std::int64_t> id = positiveNumber(idText);

    if (first == "learners" && get) {
        if (second.empty()) {
            return learners(request, visit);
        }
        if (id && action.empty()) {
            return learner(*id, visit);
        }
    } else if (first == "courses") {
        if (get && second.empty()) {
            return courses(visit, messageNamed(queryText(visit.query, "msg")), "");
        }
        if (!get && second == "publish") {
            return publish(request, visit);
        }
        if (!get && second == "withdraw") {
            return withdraw(visit);
        }
    } else if (first == "inbox") {
        if (get && second.empty()) {
            return inbox(visit);
        }
        if (get && id && action.empty()) {
            return inboxItem(*id, visit);
        }
        if (!get && id && action == "answer") {
            return answer(*id, visit);
        }
        if (!get && id && action == "done") {
            return markDone(*id, visit);
        }
    } else if (first == "news") {
        if (get && second.empty()) {
            return news(visit);
        }
        if (!get && second == "add") {
            return addNews(visit);
        }
        if (!get && second == "remove") {
            return removeNews(visit);
        }
    } else if (first == "signout" && !get) {
        return signOut(visit);
    }
    return pageAnswer(
        404, framedPage({"ページが見つかりません", Section::None, visit.staff->name,
                         sessions_.csrfToken(visit.session)},
                        "<p>このアドレスのページはありません。上のメニューから選んでください。"
                        "</p>"));
}

http::Response ConsoleService::learners(const http::Request&, Visit& visit) {
    const std::string search = queryText(visit.query, "q");
    const std::int64_t pageNumber = positiveNumber(queryText(visit.query, "page")).value_or(1);
    const std::int64_t size = options_.pageSize;
    Result<store::LearnerPage> page = store_.findLearners(search, (pageNumber - 1) * size, size);
    const Frame frame{"学習者", Section::Learners, visit.staff->name,
                      sessions_.csrfToken(visit.session)};
    if (!page) {
        return pageAnswer(503, framedPage(frame, errorBlock(page.error().describe())));
    }
    std::string out =
        "<form class=\"card row\" method=\"get\" action=\"/console/learners\" role=\"search\">\n"
        "<div><label for=\"q\">名前またはメールで検索</label>\n<input type=\"search\" id=\"q\" "
        "name=\"q\" value=\"" +
        esc(search) + "\"></div>\n<div><button type=\"submit\">検索</button></div>\n</form>\n";
    const std::int64_t from = (pageNumber - 1) * size;
    const std::string found =
        search.empty() ? "登録されている学習者" : "「" + esc(search) + "」に当てはまる学習者";
    if (page->rows.empty()) {
        out += "<p>" + found + "はいません。</p>\n";
    } else {
        out += "<p id=\"count\">" + found + " " + std::to_string(page->total) + " 人のうち " +
               std::to_string(from + 1) + "〜" +
               std::to_string(from + static_cast<std::int64_t>(page->rows.size())) +
               " 人目</p>\n<div class=\"scroll\"><table>\n<caption>学習者の一覧</caption>\n"
               "<tr><th scope=\"col\">名前</th><th scope=\"col\">メール</th><th scope=\"col\" "
               "class=\"num\">同期したコース</th><th scope=\"col\">最終アップロード</th></tr>\n";
        for (const store::LearnerSummary& s : page->rows) {
            out += "<tr><td><a href=\"/console/learners/" + std::to_string(s.learner.id) + "\">" +
                   esc(s.learner.name.empty() ? "(名前なし)" : s.learner.name) + "</a>" +
                   (s.learner.disabled ? " <span class=\"muted\">(停止中)</span>" : "") +
                   "</td><td>" + esc(s.learner.email) + "</td><td class=\"num\">" +
                   std::to_string(s.courses) + "</td><td>" +
                   (s.lastUpload.empty() ? "－" : esc(protocol::localDate(s.lastUpload))) +
                   "</td></tr>\n";
        }
        out += "</table></div>\n";
    }
    const std::string base = "/console/learners?q=" + urlEncoded(search) + "&amp;page=";
    std::string pager;
    if (pageNumber > 1) {
        pager += "<a href=\"" + base + std::to_string(pageNumber - 1) + "\" rel=\"prev\">前の " +
                 std::to_string(size) + " 人</a>";
    }
    if (from + static_cast<std::int64_t>(page->rows.size()) < page->total) {
        pager += "<a href=\"" + base + std::to_string(pageNumber + 1) + "\" rel=\"next\">次の " +
                 std::to_string(size) + " 人</a>";
    }
    if (!pager.empty()) {
        out += "<nav class=\"pager\" aria-label=\"ページ送り\">" + pager + "</nav>\n";
    }
    return pageAnswer(200, framedPage(frame, out));
}

http::Response ConsoleService::learner(std::int64_t id, Visit& visit) {
    Frame frame{"学習者", Section::Learners, visit.staff->name, sessions_.csrfToken(visit.session)};
    Result<std::optional<store::Learner>> found = store_.learner(id);
    if (!found) {
        return pageAnswer(503, framedPage(frame, errorBlock(found.error().describe())));
    }
    if (!*found) {
        return pageAnswer(404, framedPage(frame, "<p>この学習者は登録されていません。</p>"));
    }
    Result<std::vector<store::HistoryVersion>> histories = store_.currentHistories(id);
    Result<std::shared_ptr<const service::PublishedCatalog>> catalog = courses_.current();
    if (!histories || !catalog) {
        return pageAnswer(503,
                          framedPage(frame, errorBlock(!histories ? histories.error().describe()
                                                                  : catalog.error().describe())));
    }
    frame.title = (*found)->name.empty() ? "(名前なし)" : (*found)->name;
    return pageAnswer(
        200, framedPage(frame, "<p><a href=\"/console/learners\">学習者の一覧に戻る</a></p>\n" +
                                   learnerMain(**found, *histories, **catalog)));
}

http::Response ConsoleService::courses(Visit& visit, std::string_view message,
                                       std::string_view error, int status) {
    const Frame frame{"コース", Section::Courses, visit.staff->name,
                      sessions_.csrfToken(visit.session)};
    Result<std::vector<store::CourseVersion>> versions = store_.courseVersions("");
    Result<std::vector<store::CourseLearners>> counts = store_.learnersPerCourse();
    Result<std::shared_ptr<const service::PublishedCatalog>> catalog = courses_.current();
    if (!versions || !counts || !catalog) {
        const Error& e = !versions ? versions.error() : !counts ? counts.error() : catalog.error();
        return pageAnswer(503, framedPage(frame, errorBlock(e.describe())));
    }
    std::map<std::string, std::int64_t> learnersOf;
    for (const store::CourseLearners& c : *counts) {
        learnersOf[c.testId] = c.learners;
    }
    // Versions come by course, oldest first; list by vendor, then course.
    std::map<std::pair<std::string, std::string>, std::vector<const store::CourseVersion*>>
        byCourse;
    for (const store::CourseVersion& v : *versions) {
        byCourse[{v.vendor, v.course}].push_back(&v);
    }
    std::string out = messageBlock(message) + errorBlock(error);
    out +=
        "<section class=\"card\" aria-labelledby=\"publish\">\n<h2 id=\"publish\">新しい版を公開"
        "</h2>\n<p class=\"note\">問題ファイル (.qdf) かその原稿 (.txt) を選びます。"
        "設定ファイル (.ini) を選ぶと、そこに挙げた図版もすべて選んでください。"
        "設定ファイルを選ばなければ、今の設定ファイルと図版がそのまま使われます。</p>\n"
        "<form method=\"post\" action=\"/console/courses/publish\" "
        "enctype=\"multipart/form-data\">\n" +
        csrfField(frame.csrf) +
        "\n<label for=\"vendor\">ベンダー (フォルダー名)</label>\n<input type=\"text\" "
        "id=\"vendor\" name=\"vendor\" required list=\"vendors\" pattern=\"[A-Za-z0-9_\\-]+\">\n"
        "<datalist id=\"vendors\">";
    std::string lastVendor;
    for (const auto& [key, list] : byCourse) {
        if (key.first != lastVendor) {
            out += "<option value=\"" + esc(key.first) + "\">";
            lastVendor = key.first;
        }
    }
    out +=
        "</datalist>\n<label for=\"qdf\">問題ファイル</label>\n<input type=\"file\" id=\"qdf\" "
        "name=\"qdf\" required accept=\".qdf,.txt\">\n<label for=\"ini\">設定ファイル (任意)"
        "</label>\n<input type=\"file\" id=\"ini\" name=\"ini\" accept=\".ini,.txt\">\n"
        "<label for=\"figures\">図版 (任意、複数可)</label>\n<input type=\"file\" "
        "id=\"figures\" name=\"figures\" multiple>\n<p><button type=\"submit\">公開する</button>"
        "</p>\n</form>\n</section>\n";

    if (byCourse.empty()) {
        out += "<p>公開されているコースはまだありません。</p>\n";
        return pageAnswer(status, framedPage(frame, out));
    }
    out +=
        "<h2>公開中のコース</h2>\n<div class=\"scroll\"><table>\n<caption>ベンダーとコース"
        "</caption>\n<tr><th scope=\"col\">ベンダー</th><th scope=\"col\">コース</th>"
        "<th scope=\"col\">公開中の版</th><th scope=\"col\" class=\"num\">問題数</th>"
        "<th scope=\"col\" class=\"num\">図版</th><th scope=\"col\" class=\"num\">同期した"
        "学習者</th><th scope=\"col\">操作</th></tr>\n";
    for (const auto& [key, list] : byCourse) {
        const store::CourseVersion& current = *list.back();
        const auto codeIt = (*catalog)->codeOfFile.find(current.course);
        const service::PublishedCourse* published = nullptr;
        std::string name = current.course;
        if (codeIt != (*catalog)->codeOfFile.end()) {
            published = &(*catalog)->byCode.at(codeIt->second);
            name = published->code + " : " + published->title + " (" + current.course + ")";
        }
        const std::int64_t learners = published != nullptr && learnersOf.contains(published->code)
                                          ? learnersOf.at(published->code)
                                          : 0;
        out += "<tr><td>" + esc(current.vendor) + "</td><td>" + esc(name) + "<details><summary>" +
               "版の履歴 (" + std::to_string(list.size()) + ")</summary><ol>";
        for (const store::CourseVersion* v : list) {
            out += "<li>" + esc(dateLineText(v->dateLine)) + " 版 (公開 " +
                   esc(protocol::localDate(v->publishedAt)) + ")、図版 " +
                   std::to_string(v->figures.size()) +
                   (v->withdrawnFrom != 0
                        ? "、取り下げ (版 " + std::to_string(v->withdrawnFrom) + " の内容)"
                        : std::string()) +
                   "</li>";
        }
        out += "</ol></details></td><td>" + esc(dateLineText(current.dateLine)) + " 版<br>公開 " +
               esc(protocol::localDate(current.publishedAt)) +
               (current.withdrawnFrom != 0 ? "<br><span class=\"muted\">取り下げ後</span>" : "") +
               "</td><td class=\"num\">" +
               (published != nullptr ? std::to_string(published->questionCount) : "－") +
               "</td><td class=\"num\">" + std::to_string(current.figures.size()) +
               "</td><td class=\"num\">" + std::to_string(learners) + "</td><td>";
        if (list.size() > 1) {
            out += "<form class=\"inline\" method=\"post\" action=\"/console/courses/withdraw\">" +
                   csrfField(frame.csrf) + "<input type=\"hidden\" name=\"vendor\" value=\"" +
                   esc(current.vendor) + "\"><input type=\"hidden\" name=\"course\" value=\"" +
                   esc(current.course) +
                   "\"><button type=\"submit\" class=\"danger\" "
                   "aria-label=\"" +
                   esc(current.course) + " を取り下げる\">取り下げ</button></form>";
        } else {
            out += "<span class=\"muted\">前の版なし</span>";
        }
        out += "</td></tr>\n";
    }
    out += "</table></div>\n";
    return pageAnswer(status, framedPage(frame, out));
}

http::Response ConsoleService::publish(const http::Request&, Visit& visit) {
    const protocol::FormPart* qdf = nullptr;
    const protocol::FormPart* ini = nullptr;
    std::map<std::string, std::string> figures;
    for (const protocol::FormPart& p : visit.parts) {
        if (p.name == "qdf" && p.isFile && !p.filename.empty()) {
            qdf = &p;
        } else if (p.name == "ini" && p.isFile && !p.filename.empty()) {
            ini = &p;
        } else if (p.name == "figures" && p.isFile && !p.filename.empty()) {
            figures[p.filename] = p.data;
        }
    }
    if (qdf == nullptr) {
        return courses(visit, "", "問題ファイルを選んでください。", 400);
    }
    std::optional<service::NamedFile> settings;
    if (ini != nullptr) {
        settings = service::NamedFile{ini->filename, ini->data};
    }
    const auto figure = [&](const std::string& name) -> Result<std::optional<std::string>> {
        const auto found = figures.find(name);
        return found == figures.end() ? std::optional<std::string>() : std::optional(found->second);
    };
    Result<service::CourseDraft> draft = service::draftCourse(
        visit.value("vendor"), {qdf->filename, qdf->data}, settings, figure, "選んだ図版に ");
    if (!draft) {
        return courses(visit, "", "公開できません:\n" + draft.error().describe(), 400);
    }
    service::CoursePublisher publisher(store_);
    Result<store::CourseVersion> stored = publisher.publish(std::move(*draft));
    if (!stored) {
        return courses(visit, "", "公開できません:\n" + stored.error().describe(), 400);
    }
    return redirect("/console/courses?msg=published");
}

http::Response ConsoleService::withdraw(Visit& visit) {
    service::CoursePublisher publisher(store_);
    Result<store::CourseVersion> v =
        publisher.withdraw(visit.value("vendor"), visit.value("course"));
    if (!v) {
        return courses(visit, "", "取り下げられません:\n" + v.error().describe(), 400);
    }
    return redirect("/console/courses?msg=withdrawn");
}

http::Response ConsoleService::inbox(Visit& visit) {
    const Frame frame{"問い合わせ", Section::Inbox, visit.staff->name,
                      sessions_.csrfToken(visit.session)};
    Result<std::vector<store::InboxItem>> items = store_.inboxItems();
    if (!items) {
        return pageAnswer(503, framedPage(frame, errorBlock(items.error().describe())));
    }
    // Unanswered first, then answered, then done; newest first in each.
    std::stable_sort(items->begin(), items->end(), [](const auto& a, const auto& b) {
        const auto sa = static_cast<int>(stateOf(a));
        const auto sb = static_cast<int>(stateOf(b));
        return sa != sb ? sa < sb : a.receipt > b.receipt;
    });
    std::string out;
    if (items->empty()) {
        out = "<p>問い合わせはまだありません。</p>\n";
        return pageAnswer(200, framedPage(frame, out));
    }
    out +=
        "<div class=\"scroll\"><table>\n<caption>未回答を先に、新しい順</caption>\n<tr><th "
        "scope=\"col\">受付番号</th><th scope=\"col\">状態</th><th scope=\"col\">種類</th><th "
        "scope=\"col\">コース・問題</th><th scope=\"col\">受付日時</th><th scope=\"col\">内容"
        "</th></tr>\n";
    for (const store::InboxItem& item : *items) {
        const std::string about =
            item.testId.empty()
                ? "－"
                : esc(item.testId) +
                      (item.quesNum > 0 ? " 問 " + std::to_string(item.quesNum) : std::string());
        out += "<tr><td><a href=\"/console/inbox/" + std::to_string(item.receipt) + "\">" +
               std::to_string(item.receipt) + "</a></td><td>" + stateBadge(stateOf(item)) +
               "</td><td>" + kindName(item.kind) + "</td><td>" + about + "</td><td>" +
               esc(protocol::localDate(item.receivedAt)) + "</td><td>" +
               esc(firstLine(fieldOf(item, {"question", "MESSAGE"}), 90)) + "</td></tr>\n";
    }
    out += "</table></div>\n";
    return pageAnswer(200, framedPage(frame, out));
}

http::Response ConsoleService::inboxItem(std::int64_t receipt, Visit& visit, std::string_view error,
                                         int status) {
    Frame frame{"問い合わせ " + std::to_string(receipt), Section::Inbox, visit.staff->name,
                sessions_.csrfToken(visit.session)};
    Result<std::optional<store::InboxItem>> found = store_.inboxItem(receipt);
    Result<std::shared_ptr<const service::PublishedCatalog>> catalog = courses_.current();
    if (!found || !catalog) {
        return pageAnswer(503, framedPage(frame, errorBlock(!found ? found.error().describe()
                                                                   : catalog.error().describe())));
    }
    if (!*found) {
        return pageAnswer(404, framedPage(frame, "<p>この受付番号の問い合わせはありません。</p>"));
    }
    const store::InboxItem& item = **found;
    std::string out = "<p><a href=\"/console/inbox\">問い合わせの一覧に戻る</a></p>\n" +
                      messageBlock(messageNamed(queryText(visit.query, "msg"))) + errorBlock(error);
    out += "<section class=\"card\" aria-labelledby=\"about\">\n<h2 id=\"about\">" +
           kindName(item.kind) + " " + stateBadge(stateOf(item)) +
           "</h2>\n<dl class=\"fields\">"
           "<dt>受付日時</dt><dd>" +
           esc(protocol::localDate(item.receivedAt)) + "</dd>";
    const auto course = (*catalog)->byCode.find(item.testId);
    if (!item.testId.empty()) {
        out += "<dt>コース</dt><dd>" + esc(item.testId) +
               (course != (*catalog)->byCode.end() ? " : " + esc(course->second.title) : "") +
               "</dd>";
    }
    if (item.quesNum > 0) {
        out += "<dt>問題番号</dt><dd>" + std::to_string(item.quesNum) + "</dd>";
    }
    out += "</dl>\n";
    if (item.kind == store::InboxKind::Question && course != (*catalog)->byCode.end()) {
        const auto q = course->second.questions.find(item.quesNum);
        if (q != course->second.questions.end()) {
            out += "<h3>公開中のコースの問題文</h3>\n<div class=\"text\">" + esc(q->second) +
                   "</div>\n";
        }
    }
    out += "<h3>送られた内容</h3>\n<dl class=\"fields\">";
    for (const store::FormField& f : item.fields) {
        // The learner's identifier is kept only as its keyed hash, which
        // tells staff nothing.
        if (f.name == "serial" || f.name == "SERIAL" || f.value.empty()) {
            continue;
        }
        out += "<dt>" + esc(fieldLabel(f.name)) + "</dt><dd>" + esc(f.value) + "</dd>";
    }
    out += "</dl>\n</section>\n";

    out += "<section class=\"card\" aria-labelledby=\"answers\">\n<h2 id=\"answers\">回答</h2>\n";
    if (item.answers.empty()) {
        out += "<p class=\"muted\">まだ回答していません。</p>\n";
    }
    for (const store::InboxAnswer& a : item.answers) {
        out += "<div class=\"text\">" + esc(a.text) + "</div><p class=\"muted\">" +
               esc(protocol::localDate(a.answeredAt)) + "</p>\n";
    }
    const std::string base = "/console/inbox/" + std::to_string(receipt);
    out += "<form method=\"post\" action=\"" + base + "/answer\">" + csrfField(frame.csrf) +
           "\n<label for=\"answer\">回答を書く</label>\n<textarea id=\"answer\" name=\"answer\" "
           "required></textarea>\n<p class=\"note\">質問への回答は、その問題の FAQ ページに"
           "載ります。</p>\n<p><button type=\"submit\">回答を保存</button></p>\n</form>\n"
           "<form method=\"post\" action=\"" +
           base + "/done\">" + csrfField(frame.csrf) +
           "<input type=\"hidden\" name=\"done\" value=\"" + (item.doneAt.empty() ? "1" : "0") +
           "\"><button type=\"submit\" class=\"secondary\">" +
           (item.doneAt.empty() ? "完了にする" : "未完了に戻す") + "</button></form>\n</section>\n";
    return pageAnswer(status, framedPage(frame, out));
}

http::Response ConsoleService::answer(std::int64_t receipt, Visit& visit) {
    const std::string text = visit.value("answer");
    if (text.find_first_not_of(" \t\r\n　") == std::string::npos) {
        return inboxItem(receipt, visit, "回答が空です。", 400);
    }
    Result<store::InboxAnswer> answered = store_.answerInboxItem(receipt, text);
    if (!answered) {
        return inboxItem(receipt, visit, answered.error().describe(), 400);
    }
    return redirect("/console/inbox/" + std::to_string(receipt) + "?msg=answered");
}

http::Response ConsoleService::markDone(std::int64_t receipt, Visit& visit) {
    const bool done = visit.value("done") != "0";
    if (Status s = store_.setInboxDone(receipt, done); !s) {
        return inboxItem(receipt, visit, s.error().describe(), 400);
    }
    return redirect("/console/inbox/" + std::to_string(receipt) +
                    (done ? "?msg=done" : "?msg=reopened"));
}

http::Response ConsoleService::news(Visit& visit, std::string_view error, int status) {
    const Frame frame{"お知らせ", Section::News, visit.staff->name,
                      sessions_.csrfToken(visit.session)};
    Result<std::vector<store::NewsItem>> latest = store_.latestNews(200);
    if (!latest) {
        return pageAnswer(503, framedPage(frame, errorBlock(latest.error().describe())));
    }
    std::string out = messageBlock(messageNamed(queryText(visit.query, "msg"))) + errorBlock(error);
    out +=
        "<section class=\"card\" aria-labelledby=\"add\">\n<h2 id=\"add\">お知らせを掲載"
        "</h2>\n<form method=\"post\" action=\"/console/news/add\">" +
        csrfField(frame.csrf) +
        "\n<label for=\"title\">見出し</label>\n<input type=\"text\" id=\"title\" "
        "name=\"title\" required maxlength=\"200\">\n<label for=\"text\">本文</label>\n"
        "<textarea id=\"text\" name=\"text\"></textarea>\n<p><button type=\"submit\">掲載"
        "</button></p>\n</form>\n</section>\n<h2>掲載中のお知らせ (新しい順)</h2>\n"
        "<p class=\"note\">学習者のお知らせページには新しいものから " +
        std::to_string(service::kNewsShown) + " 件が表示されます。</p>\n";
    if (latest->empty()) {
        out += "<p>お知らせはありません。</p>\n";
    }
    for (const store::NewsItem& n : *latest) {
        out += "<article class=\"card\" aria-labelledby=\"news-" + std::to_string(n.id) +
               "\"><h3 id=\"news-" + std::to_string(n.id) + "\">" + esc(n.title) +
               "</h3><p class=\"muted\">" + esc(protocol::localDate(n.postedAt)) +
               "</p><div class=\"text\">" + esc(n.text) +
               "</div><form method=\"post\" action=\"/console/news/remove\">" +
               csrfField(frame.csrf) + "<input type=\"hidden\" name=\"id\" value=\"" +
               std::to_string(n.id) + "\"><button type=\"submit\" class=\"danger\" aria-label=\"" +
               esc(n.title) + " を削除\">削除</button></form></article>\n";
    }
    return pageAnswer(status, framedPage(frame, out));
}

http::Response ConsoleService::addNews(Visit& visit) {
    const std::string title = visit.value("title");
    if (title.find_first_not_of(" \t\r\n　") == std::string::npos) {
        return news(visit, "見出しを書いてください。", 400);
    }
    Result<store::NewsItem> added = store_.addNews(title, visit.value("text"));
    if (!added) {
        return news(visit, added.error().describe(), 400);
    }
    return redirect("/console/news?msg=news-added");
}

http::Response ConsoleService::removeNews(Visit& visit) {
    const std::optional<std::int64_t> id = positiveNumber(visit.value("id"));
    if (!id) {
        return news(visit, "削除するお知らせが指定されていません。", 400);
    }
    if (Status s = store_.removeNews(*id); !s) {
        return news(visit, s.error().describe(), 400);
    }
    return redirect("/console/news?msg=news-removed");
}

http::Response ConsoleService::signOut(Visit& visit) {
    Result<std::int64_t> ended = store_.endStaffSessions(visit.staff->id);
    if (!ended) {
        return pageAnswer(503, plainPage("エラー", ended.error().describe()));
    }
    visit.staff.reset();
    visit.signedOut = true;
    return redirect("/console/signin");
}

}  // namespace tovalo::server::console
