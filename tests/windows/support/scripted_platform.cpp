#include "tests/windows/support/scripted_platform.h"

MessageAnswer ScriptedMessages::show(MessageKind kind, const QString& text, MessageButtons buttons)
{
    shown.append(Shown{kind, text, buttons});
    if (!m_answers.isEmpty())
        return m_answers.dequeue();
    return buttons == MessageButtons::YesNo ? MessageAnswer::Yes : MessageAnswer::OK;
}

QStringList ScriptedMessages::texts() const
{
    QStringList t;
    for (const Shown& s : shown)
        t << s.text;
    return t;
}

QStringList ScriptedDialogs::next()
{
    return m_answers.isEmpty() ? QStringList{} : m_answers.dequeue();
}

QString ScriptedDialogs::getOpenFileName(QWidget*, const QString& caption, const QString& folder, const QString& filter)
{
    asked.append(Asked{QStringLiteral("open"), caption, folder, filter, {}});
    const QStringList a = next();
    return a.isEmpty() ? QString() : a.first();
}

QStringList ScriptedDialogs::getOpenFileNames(QWidget*, const QString& caption, const QString& folder,
                                             const QString& filter)
{
    asked.append(Asked{QStringLiteral("openMany"), caption, folder, filter, {}});
    QStringList a = next();
    a.removeAll(QString());
    return a;
}

QString ScriptedDialogs::getSaveFileName(QWidget*, const QString& caption, const QString& folderOrFile,
                                        const QString& filter, const QString& defaultSuffix)
{
    asked.append(Asked{QStringLiteral("save"), caption, folderOrFile, filter, defaultSuffix});
    const QStringList a = next();
    return a.isEmpty() ? QString() : WithDefaultSuffix(a.first(), defaultSuffix);
}

QString ScriptedDialogs::getExistingDirectory(QWidget*, const QString& caption, const QString& folder)
{
    asked.append(Asked{QStringLiteral("folder"), caption, folder, {}, {}});
    const QStringList a = next();
    return a.isEmpty() ? QString() : a.first();
}

TestApp::TestApp(const QStringList& arguments, const QString& resourceRoot, bool firstShowSteps)
{
    AppOptions o;
    o.executableFolder = program.path();
    o.documentsFolder = documents.path();
    o.resourceRoot = resourceRoot;
    o.arguments = arguments;
    o.messages = &messages;
    o.dialogs = &dialogs;
    o.shell = &shell;
    o.clock = &clock;
    o.runFirstShowSteps = firstShowSteps;
    context = std::make_unique<AppContext>(std::move(o));
}
