#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/common/result.h"
#include "server/store/store.h"

// Publishing courses: what staff hand over becomes a version in the store
// that clients take at their next update.
namespace tovalo::server::service {

struct FigureFile {
    std::string name;
    std::string hash;
    std::uint64_t listed = 0;          // the number the settings file gave it
    std::optional<std::string> bytes;  // nothing when the store holds it already
};

// One version of a course as it is about to be stored.
struct CourseDraft {
    std::string vendor;
    std::string course;  // the question file's name
    std::string qdf;     // checked
    // The installed settings file; nothing keeps the current version's.
    std::optional<std::string> ini;
    std::uint64_t listedVersion = 0;  // line 2 of `ini`
    std::vector<FigureFile> figures;  // in the settings file's order
    std::int64_t withdrawnFrom = 0;
};

// Reads what `admin publish` is given: a question file, or the source of
// one (packed as `tovalo-tool qdf pack` does), checked as `tovalo-tool qdf
// check` checks it; the settings file (`iniPath`, else the question file's
// namesake beside it, else none) and the figures it lists from `figuresDir`
// (else the "img" folder beside the question file). Every refusal names the
// file and the line.
Result<CourseDraft> readCourseFiles(const std::string& vendor, const std::string& path,
                                    const std::string& iniPath, const std::string& figuresDir);

struct NamedFile {
    std::string name;  // what messages call it; a question file's name becomes the course's
    std::string bytes;
};
// A figure's bytes by the name the settings file lists; nothing when there
// is no such figure.
using FigureSource = std::function<Result<std::optional<std::string>>(const std::string& name)>;

// The same from files already in memory (an upload): `figuresWhere` goes
// before a missing figure's name in the message.
Result<CourseDraft> draftCourse(const std::string& vendor, const NamedFile& questionFile,
                                const std::optional<NamedFile>& settings,
                                const FigureSource& figures, const std::string& figuresWhere);

// The numbers a version's figure list is served with. A figure keeps the
// number it was last served with while its picture stays, and gets a higher
// one when its picture changed, so that a client fetches exactly the
// figures that changed; the list's own number grows whenever the settings
// file or any figure changed, since only then do clients look at the list.
// A number given in the settings file is never lowered.
struct FigureNumbers {
    std::uint64_t listVersion = 0;
    std::vector<std::uint64_t> figures;
};
FigureNumbers numberFigures(const CourseDraft& draft, bool settingsChanged,
                            const std::vector<store::CourseVersion>& history);

class CoursePublisher {
  public:
    explicit CoursePublisher(store::Store& store) : store_(store) {}

    // Stores `draft` as the course's new version. Its date line must be
    // later than the current version's.
    Result<store::CourseVersion> publish(CourseDraft draft);
    // Publishes the content that was current before the current version
    // again, under a date line later than the current one, so that every
    // client replaces what it has.
    Result<store::CourseVersion> withdraw(const std::string& vendor, const std::string& course);

  private:
    Result<store::CourseVersion> commit(CourseDraft draft,
                                        const std::vector<store::CourseVersion>& history);

    store::Store& store_;
};

// Whether the question file date line `given` is later than `current`, by
// the 14 characters "yyyymmddhhmmss" that clients compare.
bool isLaterDateLine(std::string_view given, std::string_view current);

// "NXN-101" and "NXN-101.qdf" name the same course.
std::string courseFileName(const std::string& course);

}  // namespace tovalo::server::service
