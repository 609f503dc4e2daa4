#include "server/store/store.h"

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <random>

#include "core/common/sha256.h"
#include "server/store/support.h"

namespace tovalo::server::store {

std::string utcTimestamp(std::chrono::system_clock::time_point t) {
    const std::time_t seconds = std::chrono::system_clock::to_time_t(t);
    std::tm utc{};
    ::gmtime_r(&seconds, &utc);
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02dZ", utc.tm_year + 1900,
                  utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec);
    return text;
}

Error unknownLearnerError() {
    return Error{"登録されていない学習者です", {}, 0};
}

Error disabledLearnerError() {
    return Error{"利用を停止された学習者です", {}, 0};
}

Error stalePublishError() {
    return Error{
        "この講座には別の版が先に公開されました。読み込み直してから公開してください", {}, 0};
}

Error newerSchemaError(int found, int latest, const std::string& where) {
    return Error{"履歴ストアはこのサーバーより新しい版のものです (スキーマ " +
                     std::to_string(found) + "、このサーバーは " + std::to_string(latest) +
                     " まで)",
                 where, 0};
}

std::string partialPathBeside(const std::string& outPath) {
    const std::filesystem::path target(outPath);
    return (target.parent_path() /
            (target.filename().string() + ".partial-" + std::to_string(std::random_device{}())))
        .string();
}

Status checkFileHashes(const std::vector<StoredFile>& files) {
    for (const StoredFile& file : files) {
        if (sha256Hex(file.bytes) != file.hash) {
            return Error{"ファイルの内容がハッシュと合いません: " + file.hash, {}, 0};
        }
    }
    return Ok{};
}

bool refusedAsUnknownLearner(const Error& error) {
    return error.message == unknownLearnerError().message;
}

bool refusedAsDisabledLearner(const Error& error) {
    return error.message == disabledLearnerError().message;
}

bool refusedAsStalePublish(const Error& error) {
    return error.message == stalePublishError().message;
}

Result<std::string> heldFile(Store& store, std::string_view hash) {
    Result<std::optional<std::string>> bytes = store.storedFile(hash);
    if (!bytes) {
        return bytes.error();
    }
    if (!*bytes) {
        return Error{"保存されたファイルが見つかりません: " + std::string(hash), {}, 0};
    }
    return std::move(**bytes);
}

}  // namespace tovalo::server::store
