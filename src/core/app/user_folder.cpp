#include "core/app/user_folder.h"

#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "core/app/directories.h"
#include "core/app/vendors.h"
#include "core/common/files.h"
#include "core/common/safe_file.h"

namespace tovalo::app {

namespace fs = std::filesystem;

namespace {

constexpr const char* kCannotPrepare = "ユーザーフォルダーを用意できません: ";

Error folderError(const fs::path& path, const std::error_code& ec) {
    return Error{kCannotPrepare + path.string() + " (" + ec.message() + ")", {}, 0};
}

// Copies one sample file to a place the user does not have yet. The copy
// goes through a temporary file, so that a start cut short never leaves a
// half-written template that a later start would take for the user's own.
Status copyMissingFile(const fs::path& from, const fs::path& to) {
    Result<std::string> bytes = readWholeFile(from.string());
    if (!bytes) {
        return bytes.error();
    }
    if (Status saved = saveFileAtomically(to.string(), *bytes, Durability::Replaceable); !saved) {
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

// Copies what the user lacks; `copiedAny` tells whether anything was.
// Every step reports its failure rather than throwing: start-up shows it.
Status copyMissing(const fs::path& sample, const fs::path& user, bool& copiedAny) {
    std::error_code ec;
    fs::recursive_directory_iterator it(sample, ec);
    if (ec) {
        return folderError(sample, ec);
    }
    for (const fs::recursive_directory_iterator end; it != end;) {
        const fs::path target = user / it->path().lexically_relative(sample);
        const bool directory = it->is_directory(ec);
        const bool file = !ec && !directory && it->is_regular_file(ec);
        if (ec) {
            return folderError(it->path(), ec);
        }
        if (directory) {
            if (Status made = ensureDirectory(target); !made) {
                return made;
            }
        } else if (file) {
            // Whatever the user has under that name stays, a dangling link included.
            const fs::file_status present = fs::symlink_status(target, ec);
            if (ec && ec != std::errc::no_such_file_or_directory) {
                return folderError(target, ec);
            }
            if (!fs::exists(present)) {
                if (Status copied = copyMissingFile(it->path(), target); !copied) {
                    return copied;
                }
                copiedAny = true;
            }
        }
        it.increment(ec);
        if (ec) {
            return folderError(sample, ec);
        }
    }
    return Ok{};
}

// Write permission bits alone say nothing for root, and nothing about a
// read-only mount; a file actually created is the only proof.
Status proveWritable(const fs::path& dir) {
    const fs::path probe = dir / (".tovalo-write-check-" + std::to_string(::getpid()));
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

Status prepareUserFolder(const std::string& sampleRoot, const std::string& userRoot) {
    const fs::path user(userRoot);
    for (const char* part : {"", "bin", "QDAT", "HIST"}) {
        if (Status made = ensureDirectory(user / part); !made) {
            return made;
        }
    }
    bool copiedAny = false;
    if (Status copied = copyMissing(fs::path(sampleRoot), user, copiedAny); !copied) {
        return copied;
    }
    // A first start cut short may have left a temporary copy beside a file
    // that was missing and so was copied again above; with nothing copied
    // there is nothing to sweep, and every start is spared the walk.
    if (copiedAny) {
        removeLeftoverSaveFilesUnder(userRoot);
    }
    return proveWritable(user / "bin");
}

Result<std::string> chooseProgramDir(const std::string& executableDir,
                                     std::string_view relativeSharedDir,
                                     const UserEnvironment& env) {
    const std::optional<std::string> sample = installedSampleRoot(executableDir, relativeSharedDir);
    if (!sample) {
        return withTrailingSlash(executableDir);
    }
    Result<std::string> user = userFolderPath(env);
    if (!user) {
        return user.error();
    }
    // Root may write anywhere: a data home that leads back into the sample
    // would otherwise have every user's history land in the shared copy.
    std::error_code ec;
    if (fs::equivalent(*user, *sample, ec)) {
        return Error{"ユーザーフォルダーが共有のサンプルと同じ場所です: " + *user, {}, 0};
    }
    if (Status prepared = prepareUserFolder(*sample, *user); !prepared) {
        return prepared.error();
    }
    return *user + "bin/";
}

}  // namespace tovalo::app
