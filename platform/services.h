#pragma once
// The platform services the core needs, as small interfaces. The application maps them
// to Qt (progress bars, event pumping, message boxes, QDesktopServices), the CLI to the
// terminal, and tests to recorders and scripted answers. Every pointer in `Platform`
// may be null, which means "no such service": no progress, no event pumping, no beep.

#include <QDateTime>
#include <QString>

#include <cstdint>

// A long operation's progress. Values run from 0 to the maximum (100 unless the
// operation sets another); operations set it back to 0 when they finish.
class Progress {
public:
    virtual ~Progress() = default;
    virtual void setMaximum(int /*maximum*/) {}
    virtual void setValue(int value) = 0;
    virtual int value() const { return 0; }
    virtual void setText(const QString& /*text*/) {}
};

// Lets pending window messages run in the middle of a long operation.
class EventPump {
public:
    virtual ~EventPump() = default;
    virtual void processEvents() = 0;
};

enum class MessageKind { Information, Error, Warning, Confirmation };
enum class MessageButtons { OK, OKCancel, YesNo };
enum class MessageAnswer { OK, Cancel, Yes, No };

// Modal message boxes with the system's exact texts. Only Yes is acted on in questions.
class UserMessages {
public:
    virtual ~UserMessages() = default;
    virtual MessageAnswer show(MessageKind kind, const QString& text, MessageButtons buttons) = 0;
};

class Shell {
public:
    virtual ~Shell() = default;
    // Hands a file, folder or web address to the system; failures are not reported.
    virtual void ShellOpen(const QString& target) = 0;
    virtual void Beep() = 0;
};

// Uniform whole numbers. Random(n) is 0..n-1, and Random(n) for n <= 1 is 0. Every
// random draw of the engine comes from here, so a fixed seed repeats a mosaic exactly.
class RandomSource {
public:
    virtual ~RandomSource() = default;
    virtual int Random(int n) = 0;
    virtual void seed(std::uint32_t value) = 0;
};

// A linear congruential generator (multiplier 0x08088405, increment 1) that maps the
// 32-bit state to 0..n-1 with a multiply-high. Cheap, seedable and the same everywhere.
class SeededRandom final : public RandomSource {
public:
    explicit SeededRandom(std::uint32_t seed = 0) : m_state(seed) {}
    int Random(int n) override
    {
        m_state = m_state * 0x08088405u + 1u;
        if (n <= 1)
            return 0;
        return static_cast<int>((static_cast<std::uint64_t>(m_state) * static_cast<std::uint32_t>(n)) >> 32);
    }
    void seed(std::uint32_t value) override { m_state = value; }
    std::uint32_t state() const { return m_state; }

private:
    std::uint32_t m_state;
};

// The wall clock, for texts that name the current date and time.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
};

struct Platform {
    EventPump* events = nullptr;
    UserMessages* messages = nullptr;
    Shell* shell = nullptr;
    Clock* clock = nullptr; // null: the system clock
};

// Convenience wrappers that tolerate absent services.
inline void PumpEvents(const Platform& p) { if (p.events) p.events->processEvents(); }
inline void Beep(const Platform& p) { if (p.shell) p.shell->Beep(); }
inline QDateTime Now(const Platform& p) { return p.clock ? p.clock->now() : QDateTime::currentDateTime(); }
inline void SetProgress(Progress* progress, int value) { if (progress) progress->setValue(value); }
inline MessageAnswer ShowMessage(const Platform& p, MessageKind kind, const QString& text, MessageButtons buttons)
{
    return p.messages ? p.messages->show(kind, text, buttons) : MessageAnswer::Cancel;
}
