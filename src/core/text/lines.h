#pragma once

#include <bit>
#include <cstdint>
#include <string_view>
#include <vector>

namespace tovalo::text {

// Splits file contents into lines as a text-file reader sees them: a line
// ends at LF, a CR right before that LF belongs to the line end, and a file
// that ends with a line end has no empty last line.
std::vector<std::string_view> splitLines(std::string_view contents);

// True when the contents end with a line end (so the last line had one).
inline bool endsWithLineEnd(std::string_view contents) {
    return !contents.empty() && contents.back() == '\n';
}

// The lines of splitLines one at a time, for readers that act on each line
// as they reach it and need no list of them.
//
// Everything but the search for line ends is inline: most lines are a few
// bytes long, and a call per line would cost more than taking it.
class LineCursor {
  public:
    explicit LineCursor(std::string_view contents)
        : data_(contents.data()), size_(contents.size()), ends_(lineEndsIn(data_, size_, 0)) {
        advance();
    }

    [[nodiscard]] bool atEnd() const { return atEnd_; }
    // The current line; empty at the end.
    [[nodiscard]] std::string_view line() const { return line_; }
    // The 0-based number of the current line; at the end, how many lines there are.
    [[nodiscard]] std::size_t index() const { return index_; }

    [[gnu::always_inline]] void next() {
        if (!atEnd_) {
            ++index_;
            advance();
        }
    }

  private:
    [[gnu::always_inline]] void advance() {
        if (ends_ == 0 && !nextBlockWithLineEnd()) {
            return;
        }
        const std::size_t end = block_ + static_cast<std::size_t>(std::countr_zero(ends_));
        ends_ &= ends_ - 1;
        const std::size_t cut = end != start_ && data_[end - 1] == '\r' ? end - 1 : end;
        line_ = std::string_view(data_ + start_, cut - start_);
        start_ = end + 1;
    }

    // Moves on to the next block of 64 bytes that holds a line end. When
    // there is none, the current line is the unterminated rest of the
    // contents, or the cursor is at the end; returns false then.
    [[gnu::always_inline]] bool nextBlockWithLineEnd() {
        while (block_ + 64 < size_) {
            block_ += 64;
            ends_ = lineEndsIn(data_, size_, block_);
            if (ends_ != 0) {
                return true;
            }
        }
        if (start_ < size_) {
            line_ = std::string_view(data_ + start_, size_ - start_);
            start_ = size_;
            return false;
        }
        line_ = {};
        atEnd_ = true;
        return false;
    }

    // Bit i set when byte `base + i` of the `size` bytes at `data` is LF.
    static std::uint64_t lineEndsIn(const char* data, std::size_t size, std::size_t base);

    const char* data_;
    std::size_t size_;
    std::size_t block_ = 0;  // where the block of `ends_` starts
    std::uint64_t ends_;     // line ends in the block not yet reached
    std::size_t start_ = 0;  // where the line after the current one starts
    std::string_view line_;
    std::size_t index_ = 0;
    bool atEnd_ = false;
};

}  // namespace tovalo::text
