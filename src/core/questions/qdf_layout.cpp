#include "core/questions/qdf_layout.h"

#include "core/questions/qdf_walk.h"
#include "core/text/trim.h"

namespace tovalo {

namespace {

// Lines known only by their count and a marker test.
template <class IsMarker>
class CountedLines {
  public:
    CountedLines(std::size_t count, const IsMarker& isMarker)
        : count_(count), isMarker_(isMarker) {}

    [[nodiscard]] bool atEnd() const { return next_ >= count_; }
    [[nodiscard]] std::string_view line() const { return {}; }
    [[nodiscard]] std::size_t index() const { return next_; }
    void next() { ++next_; }
    [[nodiscard]] bool isMarker(std::string_view marker) const { return isMarker_(next_, marker); }

  private:
    std::size_t count_;
    const IsMarker& isMarker_;
    std::size_t next_ = 0;
};

class RoleList {
  public:
    explicit RoleList(std::size_t lineCount) { roles_.reserve(lineCount); }

    template <QdfField F>
    bool take(std::string_view, std::size_t, int owner, int item) {
        roles_.push_back({F, static_cast<std::uint16_t>(owner), static_cast<std::uint8_t>(item)});
        return true;
    }

    std::vector<LineRole>& roles() { return roles_; }

  private:
    std::vector<LineRole> roles_;
};

template <class IsMarker>
QdfLayout classify(std::size_t lineCount, const IsMarker& isMarker, const std::string& path) {
    CountedLines<IsMarker> lines(lineCount, isMarker);
    RoleList list(lineCount);
    QdfLayout layout;
    Error error;
    if (qdf::walk(lines, list, path, error) != qdf::WalkEnd::Done) {
        layout.roles = std::move(list.roles());
        layout.error = std::move(error);
        return layout;
    }
    for (; !lines.atEnd(); lines.next()) {
        list.roles().push_back({QdfField::AfterEnd, 0, 0});
    }
    layout.roles = std::move(list.roles());
    return layout;
}

}  // namespace

QdfLayout classifyQdfLines(std::size_t lineCount, const MarkerTest& isMarker,
                           const std::string& path) {
    return classify(lineCount, isMarker, path);
}

QdfLayout classifyStoredQdfLines(const std::vector<std::string_view>& lines,
                                 const std::string& path) {
    const auto isMarker = [&lines](std::size_t i, std::string_view marker) {
        return storedLineIsMarker(lines[i], marker);
    };
    return classify(lines.size(), isMarker, path);
}

}  // namespace tovalo
