#include "core/update/update_rules.h"

#include <charconv>

#include "core/app/address_files.h"
#include "core/sync/sync_rules.h"
#include "core/text/cp932.h"
#include "core/text/lines.h"
#include "core/text/trim.h"

namespace tovalo::update {

namespace {

std::optional<std::uint64_t> decimal(std::string_view text) {
    text = text::trim(text);
    std::uint64_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc{} || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

Error notANumber(std::string_view text, const std::string& path, std::size_t index) {
    return Error{"'" + std::string(text) + "' は数値ではありません", path,
                 static_cast<int>(index) + 1};
}

}  // namespace

std::string downloadFailed(std::string_view reason) {
    return "ダウンロードに失敗しました。 (ﾒｯｾｰｼﾞ:" + std::string(reason) + ")";
}

std::string uncompressFailed(int code) {
    return "Uncompressに失敗しました。ｴﾗｰｺｰﾄﾞ: " + std::to_string(code);
}

std::string replacedList(const std::vector<std::string>& courses) {
    std::string text = std::string(kReplacedHeading) + "\n";
    for (const std::string& course : courses) {
        text += "\n" + course;
    }
    return text;
}

std::string fetchLabel(std::string_view fileName) {
    return "模擬問題" + std::string(fileName) + "をダウンロード中";
}

std::string transferText(std::size_t received, std::optional<std::size_t> announced) {
    const bool small = announced ? *announced <= 1024 : received <= 1024;
    const auto amount = [small](std::size_t n) {
        return small ? std::to_string(n) + " bytes" : std::to_string(n / 1024) + " KB";
    };
    return announced ? amount(received) + " / " + amount(*announced) : amount(received);
}

Result<UpdateAddresses> readUpdateAddresses(const std::string& programDir) {
    const std::string path = programDir + app::kUpdateServerFile;
    Result<std::vector<std::string>> lines = app::readAddressLines(path);
    if (!lines) {
        return lines.error();
    }
    if (lines->size() < 4) {
        return Error{"更新サーバーの設定が4行ありません", path, 0};
    }
    return UpdateAddresses{(*lines)[0], (*lines)[1], (*lines)[2], (*lines)[3]};
}

std::string questionFileAddress(const UpdateAddresses& addresses, const app::Profile& profile,
                                std::string_view fileName, std::string_view stamp) {
    std::string query = "Name=" + profile.name + "&Serial=" + profile.serial + "&QDFName=";
    query += fileName;
    query += "&date=";
    query += stamp;
    query += "&Email=" + profile.email;
    // A blank would end the request line's target; the servers decode %20.
    return "http://" + addresses.updateHost + "/" + addresses.updatePath + "?" +
           text::utf8ToCp932(sync::escapeBlanks(query));
}

std::string figureAddress(const UpdateAddresses& addresses, std::string_view fileName) {
    return "http://" + addresses.figureHost + "/" + addresses.figurePath + "/" +
           text::utf8ToCp932(sync::escapeBlanks(fileName));
}

Result<FigureList> readFigureList(std::string_view bytes, ListSource source,
                                  const std::string& path) {
    const std::string utf8 = text::cp932ToUtf8(bytes);
    const std::vector<std::string_view> lines = text::splitLines(utf8);
    FigureList list;
    const std::string_view versionLine = lines.size() > 1 ? lines[1] : std::string_view();
    const std::optional<std::uint64_t> version = decimal(versionLine);
    if (!version) {
        return notANumber(versionLine, path, 1);
    }
    list.version = *version;
    for (std::size_t i = 3; i < lines.size(); ++i) {
        const std::string_view line = lines[i];
        if (line.starts_with('[')) {
            break;
        }
        const std::string_view entry = text::trim(line);
        if (entry.empty() && source == ListSource::Local) {
            continue;
        }
        const std::size_t blank = entry.find_last_of(" \t");
        const std::optional<std::uint64_t> figureVersion =
            blank == std::string_view::npos ? std::nullopt : decimal(entry.substr(blank + 1));
        if (!figureVersion) {
            return notANumber(entry, path, i);
        }
        list.figures.push_back({text::trimmed(entry.substr(0, blank)), *figureVersion});
    }
    return list;
}

std::vector<std::string> figuresToFetch(const FigureList& local, const FigureList& delivered) {
    std::vector<std::string> names;
    for (const FigureEntry& wanted : delivered.figures) {
        bool current = false;
        for (const FigureEntry& have : local.figures) {
            if (have.name == wanted.name && have.version >= wanted.version) {
                current = true;
                break;
            }
        }
        if (!current) {
            names.push_back(wanted.name);
        }
    }
    return names;
}

bool isSafeFigureName(std::string_view name) {
    if (name.empty() || name.size() > 255 || name.front() == '.' ||
        name.find("..") != std::string_view::npos) {
        return false;
    }
    for (const char c : name) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '/' || c == '\\' || u < 0x20 || u == 0x7F) {
            return false;
        }
    }
    return true;
}

std::string dateLineOf(std::string_view qdfBytes) {
    text::LineCursor cursor(qdfBytes);
    while (!cursor.atEnd() && cursor.index() < 8) {
        cursor.next();
    }
    return cursor.atEnd() ? std::string() : std::string(cursor.line());
}

std::string stampOf(std::string_view dateLine) {
    return std::string(dateLine.substr(0, 14));
}

Result<bool> deliveredIsNewer(std::string_view localLine, std::string_view deliveredLine,
                              std::string_view fileName) {
    struct Stamp {
        std::uint64_t date = 0;
        std::uint64_t time = 0;
    };
    const auto read = [&](std::string_view line) -> std::optional<Stamp> {
        if (line.size() < 14) {
            return std::nullopt;
        }
        const std::optional<std::uint64_t> date = decimal(line.substr(0, 8));
        const std::optional<std::uint64_t> time = decimal(line.substr(8, 6));
        if (!date || !time) {
            return std::nullopt;
        }
        return Stamp{*date, *time};
    };
    const std::optional<Stamp> local = read(localLine);
    const std::optional<Stamp> delivered = read(deliveredLine);
    if (!local || !delivered) {
        const std::string_view bad = local ? deliveredLine : localLine;
        return Error{std::string(fileName) + ": 9行目の日時 '" + text::cp932ToUtf8(bad) +
                         "' が正しくありません",
                     {},
                     0};
    }
    // Either part alone decides: a file re-issued on an earlier date but at
    // a later hour counts as newer, as the servers have always meant it.
    return delivered->date > local->date || delivered->time > local->time;
}

}  // namespace tovalo::update
