#pragma once
// Shared by the sub-commands: option parsing, errors and the terminal progress line.
// Exit codes: 0 success, 1 a runtime error (one line on stderr naming the file and the
// cause), 2 a usage error.

#include "platform/services.h"

#include <QMap>
#include <QSet>
#include <QString>
#include <QStringList>

#include <optional>

constexpr int kExitOk = 0;
constexpr int kExitError = 1;
constexpr int kExitUsage = 2;

// Thrown by the parsing helpers; main turns it into the usage message and exit code 2.
struct UsageError {
    QString message;
};

// "--name value" options and "--flag" switches after the sub-command words.
class CliArgs {
public:
    // `valued` lists the options that take a value, `flags` the switches. Anything else
    // starting with "--" is a usage error.
    CliArgs(const QStringList& args, const QStringList& valued, const QStringList& flags);

    const QStringList& positional() const { return m_positional; }
    QString positional(int i, const char* what) const; // UsageError when missing
    bool has(const QString& name) const { return m_values.contains(name) || m_flags.contains(name); }
    bool flag(const QString& name) const { return m_flags.contains(name); }
    QString value(const QString& name, const QString& fallback = {}) const { return m_values.value(name, fallback); }
    int intValue(const QString& name, int fallback) const;
    double doubleValue(const QString& name, double fallback) const;
    // "a,b,c,d" numbers (UsageError when malformed or of another count).
    QList<double> numberList(const QString& name, int count) const;

private:
    QStringList m_positional;
    QMap<QString, QString> m_values;
    QSet<QString> m_flags;
};

void printError(const QString& message);
void printLine(const QString& text);

// A progress line on stderr: "label  42%", rewritten in place; a newline at the end.
class TerminalProgress final : public Progress {
public:
    explicit TerminalProgress(QString label);
    ~TerminalProgress() override;
    void setMaximum(int maximum) override { m_max = maximum > 0 ? maximum : 1; }
    void setValue(int value) override;
    int value() const override { return m_value; }
    void setText(const QString& text) override;

private:
    void draw();
    QString m_label;
    QString m_text;
    int m_max = 100;
    int m_value = 0;
    int m_lastPercent = -1;
    bool m_drawn = false;
};

// A beep in a terminal is the bell character.
class TerminalShell final : public Shell {
public:
    void ShellOpen(const QString& target) override;
    void Beep() override {}
};
