#include "cli/cli_common.h"

#include <QTextStream>

#include <cstdio>

CliArgs::CliArgs(const QStringList& args, const QStringList& valued, const QStringList& flags)
{
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a.startsWith(QLatin1String("--"))) {
            if (valued.contains(a)) {
                if (i + 1 >= args.size())
                    throw UsageError{QStringLiteral("%1 needs a value").arg(a)};
                m_values.insert(a, args[++i]);
            } else if (flags.contains(a)) {
                m_flags.insert(a);
            } else {
                throw UsageError{QStringLiteral("unknown option %1").arg(a)};
            }
        } else {
            m_positional << a;
        }
    }
}

QString CliArgs::positional(int i, const char* what) const
{
    if (i >= m_positional.size())
        throw UsageError{QStringLiteral("missing %1").arg(QLatin1String(what))};
    return m_positional[i];
}

int CliArgs::intValue(const QString& name, int fallback) const
{
    if (!m_values.contains(name))
        return fallback;
    bool ok = false;
    const int v = m_values.value(name).toInt(&ok);
    if (!ok)
        throw UsageError{QStringLiteral("%1 expects a whole number, got \"%2\"").arg(name, m_values.value(name))};
    return v;
}

double CliArgs::doubleValue(const QString& name, double fallback) const
{
    if (!m_values.contains(name))
        return fallback;
    bool ok = false;
    const double v = m_values.value(name).toDouble(&ok);
    if (!ok)
        throw UsageError{QStringLiteral("%1 expects a number, got \"%2\"").arg(name, m_values.value(name))};
    return v;
}

QList<double> CliArgs::numberList(const QString& name, int count) const
{
    const QStringList parts = m_values.value(name).split(QLatin1Char(','));
    QList<double> out;
    for (const QString& p : parts) {
        bool ok = false;
        out << p.trimmed().toDouble(&ok);
        if (!ok)
            break;
    }
    if (out.size() != count || parts.size() != count)
        throw UsageError{QStringLiteral("%1 expects %2 comma-separated numbers, got \"%3\"")
                             .arg(name)
                             .arg(count)
                             .arg(m_values.value(name))};
    return out;
}

void printError(const QString& message)
{
    std::fprintf(stderr, "quillary-cli: %s\n", message.toLocal8Bit().constData());
}

void printLine(const QString& text)
{
    std::fprintf(stdout, "%s\n", text.toLocal8Bit().constData());
}

TerminalProgress::TerminalProgress(QString label) : m_label(std::move(label)) {}

TerminalProgress::~TerminalProgress()
{
    if (m_drawn)
        std::fputc('\n', stderr);
}

void TerminalProgress::setValue(int value)
{
    m_value = value;
    const int percent = qBound(0, static_cast<int>(100LL * value / m_max), 100);
    if (percent != m_lastPercent) {
        m_lastPercent = percent;
        draw();
    }
}

void TerminalProgress::setText(const QString& text)
{
    if (text != m_text) {
        m_text = text;
        draw();
    }
}

void TerminalProgress::draw()
{
    m_drawn = true;
    std::fprintf(stderr, "\r%s %3d%% %s\x1b[K", m_label.toLocal8Bit().constData(), qMax(0, m_lastPercent),
                 m_text.toLocal8Bit().constData());
    std::fflush(stderr);
}

void TerminalShell::ShellOpen(const QString& target)
{
    printLine(target);
}
