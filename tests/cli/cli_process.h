#pragma once
// Runs the built quillary-cli as a user runs it and collects what it printed.

#include <QProcess>
#include <QString>
#include <QStringList>

struct CliRun {
    int exitCode;
    QString out;
    QString err;
};

// `runtimeDir` keeps Qt from warning about a missing XDG_RUNTIME_DIR on stderr, which
// must hold only the command's own lines. `home` (when given) becomes HOME, so the
// documents folder lies in it.
inline CliRun RunCli(const QString& runtimeDir, const QStringList& args, const QString& home = QString(),
                     int timeoutMs = 300000)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    if (!home.isEmpty()) {
        env.insert(QStringLiteral("HOME"), home);
        env.remove(QStringLiteral("XDG_DOCUMENTS_DIR"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/.config"));
    }
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(QUILLARY_CLI_PATH), args);
    if (!p.waitForFinished(timeoutMs))
        return {-1, {}, QStringLiteral("did not finish")};
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromLocal8Bit(p.readAllStandardOutput()), QString::fromLocal8Bit(p.readAllStandardError())};
}
