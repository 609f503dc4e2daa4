#pragma once

#include <string>
#include <utility>
#include <variant>

namespace tovalo {

// What the user is told when an operation fails. `message` is the text shown
// in the box; `file` and `line` say where, when the failure lies in a file.
struct Error {
    std::string message;
    std::string file;
    int line = 0;

    // The message followed by the place, as shown in a message box or on stderr.
    [[nodiscard]] std::string describe() const;
};

// Either a value or the error the user will see. The core never lets an
// exception cross its interface; everything that can fail returns this.
template <class T>
class [[nodiscard]] Result {
  public:
    Result(T value) : v_(std::move(value)) {}
    Result(Error error) : v_(std::move(error)) {}

    [[nodiscard]] bool ok() const { return v_.index() == 0; }
    explicit operator bool() const { return ok(); }

    T& value() & { return std::get<0>(v_); }
    const T& value() const& { return std::get<0>(v_); }
    T&& value() && { return std::get<0>(std::move(v_)); }
    const Error& error() const { return std::get<1>(v_); }

    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }
    T& operator*() & { return value(); }
    const T& operator*() const& { return value(); }

  private:
    std::variant<T, Error> v_;
};

struct Ok {};
using Status = Result<Ok>;

}  // namespace tovalo
