#pragma once

#include <optional>
#include <string>
#include <utility>

namespace korvane::racks {

// A value or the message that says why there is none. The codec reports every failure this way,
// so no exception leaves it.
template <typename T>
class TResult {
 public:
    TResult(T value) : m_value(std::move(value)) {}  // NOLINT: implicit on purpose
    static TResult Failure(std::string message) { return TResult(std::move(message), 0); }

    bool Ok() const { return m_value.has_value(); }
    explicit operator bool() const { return Ok(); }
    const T& Value() const& { return *m_value; }
    T& Value() & { return *m_value; }
    T&& Value() && { return std::move(*m_value); }
    const std::string& Error() const { return m_error; }

 private:
    TResult(std::string message, int) : m_error(std::move(message)) {}

    std::optional<T> m_value;
    std::string m_error;
};

// Success, or the message of a failure.
class TStatus {
 public:
    TStatus() = default;
    static TStatus Failure(std::string message) { return TStatus(std::move(message)); }

    bool Ok() const { return !m_error.has_value(); }
    explicit operator bool() const { return Ok(); }
    const std::string& Error() const { return *m_error; }

 private:
    explicit TStatus(std::string message) : m_error(std::move(message)) {}

    std::optional<std::string> m_error;
};

}  // namespace korvane::racks
