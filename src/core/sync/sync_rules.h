#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

#include "core/app/profile.h"
#include "core/platform/clock.h"
#include "core/questions/question_bank.h"
#include "core/results/history_file.h"

namespace tovalo::sync {

// What the synchronisation window and the tool tell the user.
inline constexpr const char* kCommunicationFailed =
    "サーバーとの通信に失敗しました。履歴情報の同期はできませんでした。";
inline constexpr const char* kNameNotResolved =
    "サーバー名が解決できないか、Proxyサーバー名が誤っています。";
inline constexpr const char* kConnectFailed =
    "サーバーへの接続に失敗しました。設定を確認して再実行をしてください。";
inline constexpr const char* kSyncComplete = "履歴情報の同期が完了しました。";
inline constexpr const char* kSyncCancelled = "履歴情報の同期を中止しました。";
inline constexpr const char* kBadProxyName = "Proxyサーバー名が誤っています。";
inline constexpr const char* kBadProxyPort = "Proxyポート番号が誤っています。";

enum class SyncState { Synced, ClientNewer, ServerNewer, Unavailable };

// "同期済み", "ｸﾗｲｱﾝﾄ最新", "ｻｰﾊﾞｰ最新", "同期不可".
const char* stateText(SyncState state);

// The server's way of saying it has no copy of a course, and that it
// cannot tell.
inline constexpr std::string_view kNeverStored = "1998/01/01";
inline constexpr std::string_view kNoDate = "----";

// "yyyy/mm/dd HH:mm:ss", the form both sides of the exchange use.
std::string formatSyncDate(const platform::LocalDateTime& t);
// Also takes single-digit fields, a date alone (midnight) and a time
// without seconds; nothing when the text is no real calendar date-time.
std::optional<platform::LocalDateTime> parseSyncDate(std::string_view text);
// Local time, as the file times are set.
std::chrono::system_clock::time_point toTimePoint(const platform::LocalDateTime& t);
bool sameMoment(const platform::LocalDateTime& a, const platform::LocalDateTime& b);
bool earlier(const platform::LocalDateTime& a, const platform::LocalDateTime& b);

// Blanks as "%20": the servers read their request fields that way.
std::string escapeBlanks(std::string_view text);

// Empty when the proxy fields can be used, otherwise what to tell the user.
std::string checkProxy(std::string_view host, std::string_view port);

// The course's name on the server: its question file's name without the
// extension.
std::string testIdOf(std::string_view qdfPath);

// "Name=...&Serial=...&Test_ID=...&Email=..." and CR LF, in CP932. The
// query escapes blanks; the download request historically sends them as
// they are, and the servers expect exactly that.
std::string queryBody(const app::Profile& profile, std::string_view testId);
std::string downloadBody(const app::Profile& profile, std::string_view testId);

// What the first line of a query answer says.
struct QueryAnswer {
    enum class Kind { Refused, Date };
    Kind kind = Kind::Date;
    std::string message;     // Refused: the server's words for the user
    std::string serverDate;  // Date: the stamp, kNeverStored or kNoDate
};
QueryAnswer readQueryAnswer(std::string_view body);

// True for a history file the catalog made for a course never opened: its
// question file field is empty, so padding starts at the field's second byte.
bool isUnusedHistory(std::string_view historyBytes);

// The proposal for one course; nothing when the server date is no date-time.
std::optional<SyncState> decideState(std::string_view serverDate,
                                     const platform::LocalDateTime& client, bool unusedHistory);

// The grid shows no date for a course the server does not hold.
std::string shownServerDate(std::string_view serverDate);

// The upload line of one course, blanks escaped, CR LF at the end, in CP932.
std::string uploadBody(const app::Profile& profile, std::string_view testId,
                       std::string_view clientDate, const QuestionBank& bank,
                       const HistoryFile& history);

// The server's copy of a history (a "DLDATA" settings file) as the history
// of the course at `qdfPath`. Every value keeps its low byte only, since
// the file has a byte for each; nothing when a value is not a number.
std::optional<HistoryFile> historyFromDownload(std::string_view body, std::string_view qdfPath);

}  // namespace tovalo::sync
