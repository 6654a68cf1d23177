#pragma once
// The project information text: the size figures of the current project, one line
// each, numbers "%4.2f" in the user's number format.

#include <QLocale>
#include <QStringList>

class TMosaicProject;
class TTilelib;

// Lines 1..4 always; the tile and gap size lines only when the library's unit is inch
// or mm.
QStringList ProjectInfoLines(const TMosaicProject& project, const TTilelib& library,
                             const QLocale& locale = QLocale());
