#pragma once
// Results that carry their message. Bad input (files, archives, typed numbers) is
// turned into a Result at the I/O boundary; callers add context once per layer and the
// windows or the CLI show the message. A default-constructed Result<void> is success.

#include <QString>

#include <optional>
#include <utility>

template <typename T>
class [[nodiscard]] Result {
public:
    Result(T value) : m_value(std::move(value)) {}
    static Result failure(QString message) { return Result(std::move(message), 0); }

    bool ok() const { return m_value.has_value(); }
    explicit operator bool() const { return ok(); }
    const T& value() const& { return *m_value; }
    T& value() & { return *m_value; }
    T&& value() && { return std::move(*m_value); }
    const T& operator*() const& { return *m_value; }
    T& operator*() & { return *m_value; }
    const T* operator->() const { return &*m_value; }
    T* operator->() { return &*m_value; }
    const QString& error() const { return m_error; }

private:
    Result(QString message, int) : m_error(std::move(message)) {}
    std::optional<T> m_value;
    QString m_error;
};

template <>
class [[nodiscard]] Result<void> {
public:
    Result() = default;
    static Result failure(QString message) { Result r; r.m_failed = true; r.m_error = std::move(message); return r; }

    bool ok() const { return !m_failed; }
    explicit operator bool() const { return ok(); }
    const QString& error() const { return m_error; }

private:
    bool m_failed = false;
    QString m_error;
};

using Status = Result<void>;

inline Status Failure(QString message) { return Status::failure(std::move(message)); }
