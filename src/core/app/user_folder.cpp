#include "core/app/user_folder.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <map>
#include <system_error>

#include "core/app/directories.h"
#include "core/app/release_before_record.h"
#include "core/app/vendors.h"
#include "core/common/files.h"
#include "core/common/safe_file.h"
#include "core/common/sha256.h"
#include "core/text/lines.h"
#include "core/text/trim.h"

namespace tovalo::app {

namespace fs = std::filesystem;

namespace {

constexpr const char* kCannotPrepare = "ユーザーフォルダーを用意できません: ";
// The parts of an installation; anything else in the sample (its release
// stamp) or in the user's folder (the sample itself, for a ~/.local
// install) is nobody's to copy or sweep.
constexpr const char* kParts[] = {"bin", "QDAT", "HIST"};
constexpr std::string_view kRecordHeader = "release ";

Error folderError(const fs::path& path, const std::error_code& ec) {
    return Error{kCannotPrepare + path.string() + " (" + ec.message() + ")", {}, 0};
}

// Which release the folder's program files were brought to, and the hash
// of each as that release shipped it.
struct Record {
    std::string release;
    std::map<std::string, std::string, std::less<>> shipped;
};

std::optional<Record> parseRecord(std::string_view text) {
    const std::vector<std::string_view> lines = text::splitLines(text);
    if (lines.empty() || !lines.front().starts_with(kRecordHeader)) {
        return std::nullopt;
    }
    Record record{text::trimmed(lines.front().substr(kRecordHeader.size())), {}};
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::size_t gap = lines[i].find("  ");
        if (gap != std::string_view::npos) {
            record.shipped.emplace(lines[i].substr(gap + 2), lines[i].substr(0, gap));
        }
    }
    return record;
}

std::string formatRecord(const Record& record) {
    std::string text = std::string(kRecordHeader) + record.release + "\n";
    for (const auto& [path, hash] : record.shipped) {
        text += hash + "  " + path + "\n";
    }
    return text;
}

// A file of the sample: a missing one is not found, any other failure says
// that it cannot be read, naming it either way.
Result<std::string> readSampleFile(const fs::path& path) {
    Result<std::optional<std::string>> read = readFileIfPresent(path.string());
    if (!read) {
        return Error{kCannotPrepare + read.error().describe(), {}, 0};
    }
    if (!*read) {
        return Error{kCannotPrepare + path.string() + ": " + kFileNotFound, {}, 0};
    }
    return std::move(**read);
}

// Writes through a temporary file, so that a start cut short never leaves
// a half-written template that a later start would take for the user's own.
Status writeCopy(const fs::path& to, const std::string& bytes) {
    if (Status saved = saveFileAtomically(to.string(), bytes, Durability::Replaceable); !saved) {
        return Error{kCannotPrepare + saved.error().describe(), {}, 0};
    }
    return Ok{};
}

Status ensureDirectory(const fs::path& dir) {
    std::error_code ec;
    if (fs::is_directory(dir, ec)) {
        return Ok{};
    }
    if (ec && ec != std::errc::no_such_file_or_directory) {
        return folderError(dir, ec);
    }
    if (!fs::create_directories(dir, ec) && !fs::is_directory(dir, ec)) {
        return folderError(dir, ec ? ec : std::make_error_code(std::errc::not_a_directory));
    }
    return Ok{};
}

struct Preparation {
    fs::path sample;
    fs::path user;
    // Set when the sample's release differs from the folder's record.
    bool newRelease = false;
    const Record* earlier = nullptr;  // the folder's record, when it has one
    Record next;                      // the record the folder gets
    std::vector<std::string> notices;
    bool wroteAny = false;
};

// The hash the user's copy of `rel` has if the user left it alone: from the
// folder's record, or for a folder without one from the release that kept
// none. nullopt when nothing is known; "" when any bytes count as unchanged.
std::optional<std::string> unchangedHash(const Preparation& p, const std::string& rel) {
    if (p.earlier == nullptr) {
        std::optional<std::string_view> shipped = shippedBeforeRecord(rel);
        return shipped ? std::optional<std::string>(*shipped) : std::nullopt;
    }
    auto found = p.earlier->shipped.find(rel);
    return found != p.earlier->shipped.end() ? std::optional<std::string>(found->second)
                                             : std::nullopt;
}

// A program file the user already has, on a new release.
Status bringUp(Preparation& p, const std::string& rel, const fs::path& to, const std::string& bytes,
               const std::string& newHash) {
    // A link, a folder or a file that cannot be read is the user's doing:
    // it has no hash and is kept.
    std::optional<std::string> current;
    std::error_code ec;
    if (fs::symlink_status(to, ec).type() == fs::file_type::regular) {
        if (Result<std::optional<std::string>> read = readFileIfPresent(to.string());
            read && *read) {
            current = sha256Hex(**read);
        }
    }
    if (current == newHash) {
        return Ok{};
    }
    const std::optional<std::string> unchanged = unchangedHash(p, rel);
    if (current && unchanged && (unchanged->empty() || *unchanged == *current)) {
        p.wroteAny = true;
        return writeCopy(to, bytes);
    }
    if (unchanged == newHash) {
        return Ok{};  // changed by the user, not by the release
    }
    const fs::path beside = to.string() + kNewReleaseSuffix;
    if (Status written = writeCopy(beside, bytes); !written) {
        return written;
    }
    p.wroteAny = true;
    p.notices.push_back(to.string() + " は変更されているため残し、新しい版を " + beside.string() +
                        " に置きました");
    return Ok{};
}

Status placeFile(Preparation& p, const fs::path& from, const std::string& rel) {
    const fs::path to = p.user / rel;
    std::error_code ec;
    // Whatever the user has under that name counts as present, a dangling link included.
    const fs::file_status present = fs::symlink_status(to, ec);
    if (ec && ec != std::errc::no_such_file_or_directory) {
        return folderError(to, ec);
    }
    const bool missing = !fs::exists(present);
    const bool programFile = rel.starts_with("bin/");
    if (!missing && !(programFile && p.newRelease)) {
        return Ok{};
    }
    Result<std::string> bytes = readSampleFile(from);
    if (!bytes) {
        return bytes.error();
    }
    if (programFile && p.newRelease) {
        const std::string hash = sha256Hex(*bytes);
        p.next.shipped[rel] = hash;
        if (!missing) {
            return bringUp(p, rel, to, *bytes, hash);
        }
    }
    p.wroteAny = true;
    return writeCopy(to, *bytes);
}

// Every step reports its failure rather than throwing: start-up shows it.
Status walkPart(Preparation& p, const char* part) {
    const fs::path from = p.sample / part;
    std::error_code ec;
    if (!fs::is_directory(from, ec)) {
        return Ok{};
    }
    fs::recursive_directory_iterator it(from, ec);
    if (ec) {
        return folderError(from, ec);
    }
    for (const fs::recursive_directory_iterator end; it != end;) {
        const std::string rel = it->path().lexically_relative(p.sample).generic_string();
        const bool directory = it->is_directory(ec);
        const bool file = !ec && !directory && it->is_regular_file(ec);
        if (ec) {
            return folderError(it->path(), ec);
        }
        if (directory) {
            if (Status made = ensureDirectory(p.user / rel); !made) {
                return made;
            }
        } else if (file) {
            if (Status placed = placeFile(p, it->path(), rel); !placed) {
                return placed;
            }
        }
        it.increment(ec);
        if (ec) {
            return folderError(from, ec);
        }
    }
    return Ok{};
}

// Write permission bits alone say nothing for root, and nothing about a
// read-only mount; a file actually created is the only proof.
Status proveWritable(const fs::path& dir) {
    // Named as a save's temporary file, so that a probe left by a start
    // killed right here goes with the next start's sweep.
    const fs::path probe =
        dir / (".write-check" + std::string(kSaveTempMarker) + std::to_string(::getpid()) + "-0");
    errno = 0;
    {
        std::ofstream out(probe, std::ios::binary);
        out << "ok";
        out.close();  // a full disk shows only when the bytes go out
        if (!out) {
            const int err = errno != 0 ? errno : EACCES;
            std::error_code ignored;
            fs::remove(probe, ignored);
            return folderError(dir, std::error_code(err, std::generic_category()));
        }
    }
    std::error_code ignored;
    fs::remove(probe, ignored);
    return Ok{};
}

// The path with links resolved and no trailing separator, for comparing.
fs::path comparable(const std::string& path) {
    std::error_code ec;
    fs::path p = fs::weakly_canonical(path, ec);
    if (ec) {
        p = fs::path(path).lexically_normal();
    }
    return p.has_filename() ? p : p.parent_path();
}

bool within(const fs::path& inner, const fs::path& outer) {
    auto [o, i] = std::mismatch(outer.begin(), outer.end(), inner.begin(), inner.end());
    return o == outer.end();
}

}  // namespace

std::optional<std::string> installedSampleRoot(std::string_view executableDir,
                                               std::string_view relativeSharedDir) {
    if (executableDir.empty() || relativeSharedDir.empty()) {
        return std::nullopt;
    }
    std::error_code ec;
    const fs::path shared =
        fs::weakly_canonical(fs::path(executableDir) / fs::path(relativeSharedDir), ec);
    // The vendor list is the one file no installation runs without.
    if (ec || !fileExists((shared / "bin" / kVendorListFile).string())) {
        return std::nullopt;
    }
    return withTrailingSlash(shared.string());
}

Result<std::string> userFolderPath(const UserEnvironment& env) {
    if (env.xdgDataHome && !env.xdgDataHome->empty() && env.xdgDataHome->front() == '/') {
        return withTrailingSlash(*env.xdgDataHome) + "tovalo/";
    }
    if (env.home && !env.home->empty()) {
        return withTrailingSlash(*env.home) + ".local/share/tovalo/";
    }
    return Error{
        "ユーザーフォルダーの場所がわかりません (HOME も XDG_DATA_HOME も設定されていません)",
        {},
        0};
}

Result<std::vector<std::string>> prepareUserFolder(const std::string& sampleRoot,
                                                   const std::string& userRoot) {
    Preparation p;
    p.sample = fs::path(sampleRoot);
    p.user = fs::path(userRoot);
    for (const char* part : {"", "bin", "QDAT", "HIST"}) {
        if (Status made = ensureDirectory(p.user / part); !made) {
            return made.error();
        }
    }

    // Two small reads on every start; the program files are looked at only
    // when they differ.
    Result<std::optional<std::string>> stamp =
        readFileIfPresent((p.sample / kSampleReleaseFile).string());
    Result<std::optional<std::string>> recorded =
        readFileIfPresent((p.user / kProgramFilesRecord).string());
    for (const auto* read : {&stamp, &recorded}) {
        if (!*read) {
            return Error{kCannotPrepare + read->error().describe(), {}, 0};
        }
    }
    const std::optional<Record> earlier = *recorded ? parseRecord(**recorded) : std::nullopt;
    p.next.release = *stamp ? text::trimmed(**stamp) : std::string();
    p.earlier = earlier ? &*earlier : nullptr;
    p.newRelease = !earlier || earlier->release != p.next.release;

    for (const char* part : kParts) {
        if (Status walked = walkPart(p, part); !walked) {
            return walked.error();
        }
    }
    // Last, so that a start cut short does it all again from the old record.
    if (p.newRelease) {
        if (Status saved =
                saveFileAtomically((p.user / kProgramFilesRecord).string(), formatRecord(p.next));
            !saved) {
            return Error{kCannotPrepare + saved.error().describe(), {}, 0};
        }
        p.wroteAny = true;
    }
    // A start cut short may have left a temporary copy beside a file it
    // was writing; with nothing written there is nothing to sweep, and every
    // start is spared the walk.
    if (p.wroteAny) {
        removeLeftoverSaveFiles(userRoot);
        for (const char* part : kParts) {
            removeLeftoverSaveFilesUnder((p.user / part).string());
        }
    }
    if (Status writable = proveWritable(p.user / "bin"); !writable) {
        return writable.error();
    }
    return std::move(p.notices);
}

Result<ProgramDirChoice> chooseProgramDir(const std::string& executableDir,
                                          std::string_view relativeSharedDir,
                                          const UserEnvironment& env) {
    const std::optional<std::string> sample = installedSampleRoot(executableDir, relativeSharedDir);
    if (!sample) {
        return ProgramDirChoice{withTrailingSlash(executableDir), {}};
    }
    Result<std::string> user = userFolderPath(env);
    if (!user) {
        return user.error();
    }
    // Root may write anywhere: a data home that leads into the sample would
    // have every user's history land in the shared copy, and a sample inside
    // the folders the copy writes would be copied into itself. The sample
    // may lie beside them, as a ~/.local install puts it.
    const fs::path userPath = comparable(*user);
    const fs::path samplePath = comparable(*sample);
    bool overlap = within(userPath, samplePath);
    for (const char* part : kParts) {
        overlap = overlap || within(samplePath, userPath / part);
    }
    if (overlap) {
        return Error{
            "ユーザーフォルダーが共有のサンプルと重なっています: " + *user + " (" + *sample + ")",
            {},
            0};
    }
    Result<std::vector<std::string>> prepared = prepareUserFolder(*sample, *user);
    if (!prepared) {
        return prepared.error();
    }
    return ProgramDirChoice{*user + "bin/", std::move(*prepared)};
}

}  // namespace tovalo::app
