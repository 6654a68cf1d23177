#include "app/window_support.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QStringList>
#include <QWidget>

void CentreWindow(QWidget* window, QWidget* over)
{
    if (!window) return;
    QRect area;
    if (over && over->isVisible())
        area = over->frameGeometry();
    else if (QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen())
        area = screen->availableGeometry();
    if (area.isEmpty()) return;
    QRect frame = window->frameGeometry();
    frame.moveCenter(area.center());
    window->move(frame.topLeft());
}

void ShowWithParent(QWidget* window, QWidget* parent, bool centre)
{
    if (!window) return;
    if (parent && window->parentWidget() != parent) {
        const Qt::WindowFlags flags = window->windowFlags() | Qt::Window;
        window->setParent(parent, flags);
    }
    if (centre) CentreWindow(window, parent);
    window->show();
    window->raise();
    window->activateWindow();
}

QString ToQtFilter(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2)
        // Several masks of one entry are separated by ";" here and by spaces in Qt.
        out << QStringLiteral("%1 (%2)").arg(parts[i].trimmed(),
                                             parts[i + 1].trimmed().replace(QLatin1Char(';'), QLatin1Char(' ')));
    return out.join(QStringLiteral(";;"));
}

QString DialogStartFolder(const QString& folder)
{
    const QString lower = folder.toLower();
    if (lower != folder && QFileInfo(lower).isDir() &&
        QFileInfo(lower).canonicalFilePath() == QFileInfo(folder).canonicalFilePath())
        return lower;
    return folder;
}

QString DatedFolderName(const QString& parent, const QString& name, const QDateTime& time)
{
    const QDate d = time.date();
    const QTime t = time.time();
    const QString stamp = QStringLiteral("%1-%2-%3-%4-%5-%6")
                              .arg(d.year())
                              .arg(d.month())
                              .arg(d.day())
                              .arg(t.hour())
                              .arg(t.minute())
                              .arg(t.second());
    return QDir(parent).filePath(name + stamp);
}
