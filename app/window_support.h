#pragma once
// Small habits every window of the application shares: where a window appears, how a
// secondary window is shown over the main window, how the file dialogs' filters and
// start folders are written, and the dated folder names the "new" dialogs suggest.

#include <QDateTime>
#include <QSize>
#include <QString>

class QWidget;

// Centres `window` on `over` (on the screen's available area when `over` is null).
void CentreWindow(QWidget* window, QWidget* over = nullptr);

// Shows `window` as a window of its own kept above `parent` (the main window), raised and
// active, centred on `parent` when `centre` is set. The window is made a child window of
// `parent` the first time (a null parent leaves it a top-level window).
void ShowWithParent(QWidget* window, QWidget* parent, bool centre = true);

// A file-type filter of the form "Name|*.ext|Name|*.ext" as a Qt dialog filter
// "Name (*.ext);;Name (*.ext)"; names are trimmed, and the masks of one entry
// ("*.jpg;*.png") are separated by spaces. An empty filter stays empty.
QString ToQtFilter(const QString& filter);

// The folder a dialog starts in: `folder` written in lower case where that names the same
// folder (a case-insensitive file system), otherwise `folder` as it is, since a
// lower-cased path on a case-sensitive system names a folder that does not exist.
QString DialogStartFolder(const QString& folder);

// `parent` joined with `name` followed at once by the date and time as
// Y-M-D-h-m-s, every number without leading zeros: "flowers" at 2019-04-26 01:24:02 in
// the library folder gives <library folder>/flowers2019-4-26-1-24-2.
QString DatedFolderName(const QString& parent, const QString& name, const QDateTime& time);

// A command button's icon side.
inline constexpr int kCommandIconSize = 32;
