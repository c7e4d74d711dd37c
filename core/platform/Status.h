#pragma once

#include <cassert>
#include <optional>
#include <string>
#include <type_traits>
#include <typeindex>
#include <utility>

namespace korvane {

// The outcome of an operation that can fail for a reason the user should read. The reason is one
// sentence fragment in plain words ("Permission denied", "HTTP 404"), which a front end places in
// its own message; callers that show nothing may drop it, but must say so with a cast to void.
// Where callers act differently on different failures, the failure also carries its kind: an
// enumerator of the operation's own enum, which kind<Kind>() and is(kind) give back.
class [[nodiscard]] Status
{
public:
    static Status Success() { return Status(); }
    static Status Failure(std::string reason)
    {
        Status status;
        status.m_reason = std::move(reason);
        return status;
    }
    template <class Kind>
    requires std::is_enum_v<Kind>
    static Status Failure(Kind kind, std::string reason)
    {
        Status status = Failure(std::move(reason));
        status.m_kind = KindTag{typeid(Kind), static_cast<long long>(kind)};
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

    // The kind of a failure that was given one of type Kind; nothing for success and for any
    // other failure.
    template <class Kind>
    requires std::is_enum_v<Kind> std::optional<Kind> kind()
    const
    {
        if (!m_kind || m_kind->type != std::type_index(typeid(Kind)))
            return std::nullopt;
        return static_cast<Kind>(m_kind->value);
    }
    template <class Kind>
    requires std::is_enum_v<Kind>
    bool is(Kind kind) const { return this->kind<Kind>() == kind; }

private:
    struct KindTag
    {
        std::type_index type;
        long long value;
    };

    std::optional<std::string> m_reason;
    std::optional<KindTag> m_kind;
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
    template <class Kind> std::optional<Kind> kind() const { return m_failure.kind<Kind>(); }
    template <class Kind> bool is(Kind kind) const { return m_failure.is(kind); }
    Status status() const { return ok() ? Status::Success() : m_failure; }

private:
    std::optional<T> m_value;
    Status m_failure = Status::Success();
};

} // namespace korvane
