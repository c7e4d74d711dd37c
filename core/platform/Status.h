#pragma once

#include <cassert>
#include <optional>
#include <string>
#include <utility>

namespace korvane {

// The outcome of an operation that can fail for a reason the user should read. The reason is one
// sentence fragment in plain words ("Permission denied", "HTTP 404"), which a front end places in
// its own message; callers that show nothing may drop it, but must say so with a cast to void.
class [[nodiscard]] Status
{
public:
    static Status Ok() { return Status(); }
    static Status Failure(std::string reason)
    {
        Status status;
        status.m_reason = std::move(reason);
        return status;
    }

    bool ok() const { return !m_reason; }
    explicit operator bool() const { return ok(); }
    // Empty when the operation succeeded.
    const std::string& reason() const
    {
        static const std::string none;
        return m_reason ? *m_reason : none;
    }

private:
    std::optional<std::string> m_reason;
};

// A value, or the reason there is none.
template <class T> class [[nodiscard]] Result
{
public:
    Result(T value) : m_value(std::move(value)) {}
    // From a failed status; a successful one carries no value and is a programming error.
    Result(Status failure) : m_failure(std::move(failure)) { assert(!m_failure.ok()); }

    bool ok() const { return m_value.has_value(); }
    explicit operator bool() const { return ok(); }

    const T& value() const&
    {
        assert(ok());
        return *m_value;
    }
    T&& value() &&
    {
        assert(ok());
        return std::move(*m_value);
    }
    const T* operator->() const { return &value(); }
    const T& operator*() const& { return value(); }

    const std::string& reason() const { return m_failure.reason(); }
    Status status() const { return ok() ? Status::Ok() : m_failure; }

private:
    std::optional<T> m_value;
    Status m_failure = Status::Ok();
};

} // namespace korvane
