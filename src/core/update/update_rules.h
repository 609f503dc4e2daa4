#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/app/profile.h"
#include "core/common/result.h"

namespace tovalo::update {

// Captions of the update's boxes.
inline constexpr const char* kUpdateCaption = "模擬問題更新";
inline constexpr const char* kInfoCaption = "問題ファイル更新情報";
inline constexpr const char* kErrorCaption = "更新エラー";
inline constexpr const char* kNetworkCaption = "情報";
inline constexpr const char* kConfirmCaption = "確認";

// What the update window and the tool tell the user.
inline constexpr const char* kBadTimeout =
    "接続タイムアウト時間に0秒以下を設定することはできません。";
inline constexpr const char* kConfirmClear =
    "問題がアップデートされると、これに対応する履歴はクリアされます。よろしいですか?";
inline constexpr const char* kVendorStarting = " の更新を行います。";
inline constexpr const char* kReplacedHeading = "以下の問題ファイルが更新されました。";
inline constexpr const char* kMustRestart =
    "問題ファイルが更新されましたので、Tovaloを一度終了する必要があります。"
    "自動終了後、Tovaloを再度起動してください。";
inline constexpr const char* kNothingNew = "新しい問題ファイルはありませんでした";
inline constexpr const char* kCutTransfer = "模擬問題の受信に失敗しました。";
inline constexpr const char* kDiskFull =
    "ディスクが一杯です。ディスクの空き領域を増やして実行してください。";
inline constexpr const char* kBadProxy = "Proxyが誤っています。設定項目をご確認ください。";
inline constexpr const char* kNoNetwork =
    "ネットワークに接続できません。ネットワークに接続後再度実行してください。";
inline constexpr const char* kConnectFailed =
    "ダウンロード・サイトへの接続に失敗しました。設定項目をご確認ください。";
inline constexpr const char* kTransferError = "模擬問題データの転送でエラーが発生しました。";
inline constexpr const char* kUpdateCancelled = "問題ファイルの更新を中止しました。";
inline constexpr const char* kUserAgent = "Mozilla/4.0+(compatible;+TovaloV2)";

inline constexpr int kDefaultTimeoutSeconds = 120;
inline constexpr int kMaxTimeoutSeconds = 1000;

// "ダウンロードに失敗しました。 (ﾒｯｾｰｼﾞ:" reason ")".
std::string downloadFailed(std::string_view reason);
// "Uncompressに失敗しました。ｴﾗｰｺｰﾄﾞ: " code.
std::string uncompressFailed(int code);
// The heading, then one "ExamCode : ExamTitle" line per replaced course.
std::string replacedList(const std::vector<std::string>& courses);
// "模擬問題" name "をダウンロード中".
std::string fetchLabel(std::string_view fileName);
// The status line while a body arrives: bytes while the announced length
// is at most 1 KB, whole kilobytes above that.
std::string transferText(std::size_t received, std::optional<std::size_t> announced);

// The four lines of "SRV_INFO": question files come from one server,
// figures and companion files from another. Hosts and paths are given
// without "http://".
struct UpdateAddresses {
    std::string updateHost;
    std::string updatePath;
    std::string figureHost;
    std::string figurePath;
};

// Reads "SRV_INFO" in `programDir` (which ends in "/"); a missing file or
// one with fewer than four lines fails naming the file.
Result<UpdateAddresses> readUpdateAddresses(const std::string& programDir);

// The address that asks for a newer copy of question file `fileName`,
// stamped `stamp` (the first 14 characters of its line 9).
std::string questionFileAddress(const UpdateAddresses& addresses, const app::Profile& profile,
                                std::string_view fileName, std::string_view stamp);
// The address of a companion file or a figure on the figure server.
std::string figureAddress(const UpdateAddresses& addresses, std::string_view fileName);

// One figure of a companion file's list.
struct FigureEntry {
    std::string name;
    std::uint64_t version = 0;
};

// The figure list at the top of a course's companion ".ini": its version
// (line 2) and its figures (from line 4 to the first line that begins with
// "[").
struct FigureList {
    std::uint64_t version = 0;
    std::vector<FigureEntry> figures;
};

// A local list skips empty lines, since people edit their own files; a
// delivered one must be exact, so an empty or malformed line there fails.
enum class ListSource { Local, Delivered };

// Reads the list from the CP932 bytes of a companion file; a number that is
// not one fails naming the file and the line.
Result<FigureList> readFigureList(std::string_view bytes, ListSource source,
                                  const std::string& path);

// The delivered figures to fetch: those missing from the local list and
// those with a higher version there. Names are compared trimmed.
std::vector<std::string> figuresToFetch(const FigureList& local, const FigureList& delivered);

// A figure name from a delivered list may become a file in the vendor's
// image folder only when it is a plain file name there: no path separator,
// no "..", no control character, no leading dot.
bool isSafeFigureName(std::string_view name);

// The date line (line 9) of a question file's bytes; empty when the file
// has fewer lines.
std::string dateLineOf(std::string_view qdfBytes);

// The first 14 characters of a date line: "yyyymmddhhmmss".
std::string stampOf(std::string_view dateLine);

// Whether a delivered date line is newer than the local one: its date
// (characters 1-8) or its time of day (characters 9-14) is greater, either
// one. A line of fewer than 14 characters, or one whose parts are not
// numbers, fails naming `fileName`.
Result<bool> deliveredIsNewer(std::string_view localLine, std::string_view deliveredLine,
                              std::string_view fileName);

}  // namespace tovalo::update
