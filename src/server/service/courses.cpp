#include "server/service/courses.h"

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <map>

#include "core/common/files.h"
#include "core/common/sha256.h"
#include "core/questions/qdf_source.h"
#include "core/questions/question_file.h"
#include "core/text/trim.h"
#include "core/update/update_rules.h"
#include "server/protocol/course_files.h"

namespace tovalo::server::service {

namespace fs = std::filesystem;

namespace {

constexpr int kDateLine = 9;
// Figure entries start on line 4 of a settings file.
constexpr int kFirstFigureLine = 4;

// Vendor folders are plain names: they become folders on every client.
bool isVendorName(std::string_view name) {
    return !name.empty() && name.size() <= 64 && std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               c == '_' || c == '-';
    });
}

std::string nowStamp() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%d%H%M%S", &local);
    return text;
}

// The settings file with every number of its figure list at zero: what is
// left is what its author wrote.
std::string withoutNumbers(const std::string& ini, std::size_t figures) {
    return protocol::withFigureVersions(ini, 0, std::vector<std::uint64_t>(figures, 0));
}

// Takes the settings file and figures that `v` is served with into
// `draft`. With `keepNumbers` the served numbers stand as the author's;
// without, they are numbered afresh against what was served since.
Status takeSettings(store::Store& store, const store::CourseVersion& v, bool keepNumbers,
                    CourseDraft& draft) {
    Result<std::string> ini = store::heldFile(store, v.iniHash);
    if (!ini) {
        return ini.error();
    }
    draft.ini = std::move(*ini);
    draft.listedVersion = keepNumbers ? static_cast<std::uint64_t>(v.figureListVersion) : 0;
    for (const store::PublishedFigure& f : v.figures) {
        draft.figures.push_back({f.name, f.hash,
                                 keepNumbers ? static_cast<std::uint64_t>(f.version) : 0,
                                 std::nullopt});
    }
    return Ok{};
}

}  // namespace

bool isLaterDateLine(std::string_view given, std::string_view current) {
    return given.substr(0, 14) > current.substr(0, 14);
}

std::string courseFileName(const std::string& course) {
    return text::asciiLower(course).ends_with(".qdf") ? course : course + ".qdf";
}

Result<CourseDraft> draftCourse(const std::string& vendor, const NamedFile& given,
                                const std::optional<NamedFile>& settings,
                                const FigureSource& figures, const std::string& figuresWhere) {
    if (!isVendorName(vendor)) {
        return Error{"ベンダー名には英数字、\"_\"、\"-\" だけが使えます: " + vendor, {}, 0};
    }
    const fs::path file(given.name);
    CourseDraft draft;
    draft.vendor = vendor;
    // A question file keeps its own name, whatever the case of its ending:
    // clients ask for the name they have installed.
    const bool stored = text::asciiLower(file.extension().string()) == ".qdf";
    draft.course = stored ? file.filename().string() : file.stem().string() + ".qdf";
    if (!update::isSafeFigureName(draft.course)) {
        return Error{"問題ファイルの名前に使えない文字があります", given.name, 0};
    }
    if (stored) {
        draft.qdf = given.bytes;
    } else {
        Result<std::string> packed = packQuestionSource(given.bytes, given.name);
        if (!packed) {
            return packed.error();
        }
        draft.qdf = std::move(*packed);
    }
    if (const std::vector<Error> problems = checkQuestionContents(draft.qdf, given.name);
        !problems.empty()) {
        std::string all;
        for (const Error& e : problems) {
            all += (all.empty() ? "" : "\n") + e.describe();
        }
        return Error{all, {}, 0};
    }
    if (!protocol::isStamp(update::dateLineOf(draft.qdf))) {
        return Error{"日付の行が \"yyyymmddhhmmss\" で始まっていません", given.name, kDateLine};
    }
    if (!settings) {
        return draft;
    }
    const std::string& settingsPath = settings->name;
    Result<std::string> installed = protocol::installedSettingsFile(settings->bytes, settingsPath);
    if (!installed) {
        return installed.error();
    }
    // Clients read a delivered list strictly; a list they would refuse must
    // not be published.
    Result<update::FigureList> list =
        update::readFigureList(*installed, update::ListSource::Delivered, settingsPath);
    if (!list) {
        return list.error();
    }
    draft.ini = std::move(*installed);
    draft.listedVersion = list->version;
    for (std::size_t i = 0; i < list->figures.size(); ++i) {
        const update::FigureEntry& entry = list->figures[i];
        const int line = kFirstFigureLine + static_cast<int>(i);
        if (!update::isSafeFigureName(entry.name)) {
            return Error{"図版のファイル名が正しくありません: " + entry.name, settingsPath, line};
        }
        for (std::size_t j = 0; j < i; ++j) {
            if (list->figures[j].name == entry.name) {
                return Error{"図版が二度挙げられています: " + entry.name, settingsPath, line};
            }
        }
        Result<std::optional<std::string>> bytes = figures(entry.name);
        if (!bytes) {
            return bytes.error();
        }
        if (!*bytes) {
            return Error{"図版が見つかりません: " + figuresWhere + entry.name, settingsPath, line};
        }
        draft.figures.push_back(
            {entry.name, sha256Hex(**bytes), entry.version, std::move(**bytes)});
    }
    return draft;
}

Result<CourseDraft> readCourseFiles(const std::string& vendor, const std::string& path,
                                    const std::string& iniPath, const std::string& figuresDir) {
    if (!isVendorName(vendor)) {
        return Error{"ベンダー名には英数字、\"_\"、\"-\" だけが使えます: " + vendor, {}, 0};
    }
    Result<std::string> given = readWholeFile(path);
    if (!given) {
        return given.error();
    }
    const fs::path file(path);
    std::string settingsPath = iniPath;
    if (settingsPath.empty()) {
        const fs::path beside = fs::path(file).replace_extension(".ini");
        std::error_code ec;
        if (fs::is_regular_file(beside, ec)) {
            settingsPath = beside.string();
        }
    }
    std::optional<NamedFile> settings;
    if (!settingsPath.empty()) {
        Result<std::string> bytes = readWholeFile(settingsPath);
        if (!bytes) {
            return bytes.error();
        }
        settings = NamedFile{settingsPath, std::move(*bytes)};
    }
    const fs::path folder = figuresDir.empty() ? file.parent_path() / "img" : fs::path(figuresDir);
    const auto figure = [&](const std::string& name) -> Result<std::optional<std::string>> {
        const fs::path picture = folder / name;
        std::error_code ec;
        if (!fs::is_regular_file(picture, ec)) {
            return std::optional<std::string>();
        }
        Result<std::string> bytes = readWholeFile(picture.string());
        if (!bytes) {
            return bytes.error();
        }
        return std::optional(std::move(*bytes));
    };
    return draftCourse(vendor, {path, std::move(*given)}, settings, figure, (folder / "").string());
}

FigureNumbers numberFigures(const CourseDraft& draft, bool settingsChanged,
                            const std::vector<store::CourseVersion>& history) {
    // What each name was last served as.
    std::map<std::string, const store::PublishedFigure*> last;
    for (const store::CourseVersion& v : history) {
        for (const store::PublishedFigure& f : v.figures) {
            last[f.name] = &f;
        }
    }
    FigureNumbers numbers;
    bool figuresChanged = history.empty() || history.back().figures.size() != draft.figures.size();
    for (std::size_t i = 0; i < draft.figures.size(); ++i) {
        const FigureFile& f = draft.figures[i];
        const auto served = last.find(f.name);
        std::uint64_t number = f.listed;
        if (served != last.end()) {
            const auto before = static_cast<std::uint64_t>(served->second->version);
            number = std::max(number, served->second->hash == f.hash ? before : before + 1);
        }
        numbers.figures.push_back(number);
        if (!history.empty() && !figuresChanged) {
            const store::PublishedFigure& current = history.back().figures[i];
            figuresChanged = current.name != f.name || current.hash != f.hash;
        }
    }
    numbers.listVersion = draft.listedVersion;
    if (!history.empty()) {
        const auto before = static_cast<std::uint64_t>(history.back().figureListVersion);
        numbers.listVersion =
            std::max(numbers.listVersion, figuresChanged || settingsChanged ? before + 1 : before);
    }
    return numbers;
}

Result<store::CourseVersion> CoursePublisher::publish(CourseDraft draft) {
    Result<std::vector<store::CourseVersion>> history = store_.courseVersions(draft.course);
    if (!history) {
        return history.error();
    }
    if (!history->empty()) {
        const std::string current = history->back().dateLine.substr(0, 14);
        const std::string given = update::dateLineOf(draft.qdf).substr(0, 14);
        if (!isLaterDateLine(given, current)) {
            return Error{
                "日付の行 " + given + " が公開中の版の " + current + " より新しくありません",
                draft.course, kDateLine};
        }
    }
    return commit(std::move(draft), *history);
}

Result<store::CourseVersion> CoursePublisher::withdraw(const std::string& vendor,
                                                       const std::string& course) {
    const std::string name = courseFileName(course);
    Result<std::vector<store::CourseVersion>> history = store_.courseVersions(name);
    if (!history) {
        return history.error();
    }
    if (history->empty() || history->back().vendor != vendor) {
        return Error{vendor + " のコース " + name + " は公開されていません", {}, 0};
    }
    // A withdrawal restores content; withdrawing again goes one step further
    // back, before the content it restored.
    const store::CourseVersion& current = history->back();
    const std::int64_t shown = current.withdrawnFrom != 0 ? current.withdrawnFrom : current.id;
    const auto at = std::find_if(history->begin(), history->end(),
                                 [&](const store::CourseVersion& v) { return v.id == shown; });
    if (at == history->begin() || at == history->end()) {
        return Error{name + " には取り下げた後に配信できる前の版がありません", {}, 0};
    }
    const store::CourseVersion& target = *std::prev(at);

    CourseDraft draft;
    draft.vendor = vendor;
    draft.course = name;
    draft.withdrawnFrom = target.withdrawnFrom != 0 ? target.withdrawnFrom : target.id;
    Result<std::string> qdf = store::heldFile(store_, target.qdfHash);
    if (!qdf) {
        return qdf.error();
    }
    const std::string targetLine = update::dateLineOf(*qdf);
    std::string stamp = nowStamp();
    if (!isLaterDateLine(stamp, current.dateLine)) {
        stamp = protocol::secondAfter(current.dateLine);
    }
    draft.qdf = protocol::withDateLine(
        *qdf, stamp + targetLine.substr(std::min<std::size_t>(14, targetLine.size())));
    if (!target.iniHash.empty()) {
        if (Status taken = takeSettings(store_, target, false, draft); !taken) {
            return taken.error();
        }
    }
    return commit(std::move(draft), *history);
}

Result<store::CourseVersion> CoursePublisher::commit(
    CourseDraft draft, const std::vector<store::CourseVersion>& history) {
    const store::CourseVersion* current = history.empty() ? nullptr : &history.back();
    if (current != nullptr && current->vendor != draft.vendor) {
        return Error{
            draft.course + " はベンダー " + current->vendor + " のコースとして公開されています",
            {},
            0};
    }
    // Without a settings file the course keeps the one it is served with:
    // every client asks for it, and a missing one fails their whole update.
    if (!draft.ini && current != nullptr && !current->iniHash.empty()) {
        if (Status taken = takeSettings(store_, *current, true, draft); !taken) {
            return taken.error();
        }
    }

    // Figures are fetched by name alone, so a name means one picture across
    // every course on this server.
    Result<std::vector<store::CourseVersion>> others = store_.currentCourses();
    if (!others) {
        return others.error();
    }
    for (const store::CourseVersion& other : *others) {
        if (other.course == draft.course) {
            continue;
        }
        for (const FigureFile& mine : draft.figures) {
            for (const store::PublishedFigure& theirs : other.figures) {
                if (theirs.name == mine.name && theirs.hash != mine.hash) {
                    return Error{"図版 " + mine.name + " は " + other.course +
                                     " で別の絵として公開されています",
                                 {},
                                 0};
                }
            }
        }
    }

    bool settingsChanged = false;
    if (draft.ini && current != nullptr) {
        if (current->iniHash.empty()) {
            settingsChanged = true;
        } else {
            Result<std::string> before = store::heldFile(store_, current->iniHash);
            if (!before) {
                return before.error();
            }
            settingsChanged = withoutNumbers(*before, current->figures.size()) !=
                              withoutNumbers(*draft.ini, draft.figures.size());
        }
    }
    const FigureNumbers numbers = numberFigures(draft, settingsChanged, history);

    store::CourseVersion version;
    version.vendor = draft.vendor;
    version.course = draft.course;
    version.dateLine = update::dateLineOf(draft.qdf);
    version.withdrawnFrom = draft.withdrawnFrom;
    std::vector<store::StoredFile> files;
    version.qdfHash = sha256Hex(draft.qdf);
    files.push_back({version.qdfHash, std::move(draft.qdf)});
    if (draft.ini) {
        std::string served =
            protocol::withFigureVersions(*draft.ini, numbers.listVersion, numbers.figures);
        version.iniHash = sha256Hex(served);
        version.figureListVersion = static_cast<std::int64_t>(numbers.listVersion);
        files.push_back({version.iniHash, std::move(served)});
    }
    for (std::size_t i = 0; i < draft.figures.size(); ++i) {
        FigureFile& f = draft.figures[i];
        version.figures.push_back({f.name, f.hash, static_cast<std::int64_t>(numbers.figures[i])});
        if (f.bytes) {
            files.push_back({f.hash, std::move(*f.bytes)});
        }
    }
    return store_.publishCourse(version, files, current != nullptr ? current->id : 0);
}

}  // namespace tovalo::server::service
