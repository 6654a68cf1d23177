#pragma once
// Motion programs for a pick-and-place mosaic robot, one page of grid cells at a time:
// for every tile of the page a rapid move to its slot in the tile's feeder tray, a pick
// sequence, a move to the cell and a place sequence. Coordinates are in the layout
// units of the cells, written "%4.2f" with the locale's decimal separator.
//
// Feeder n holds tile n - 1. Its tray's slot 0 sits at the feeder base position: the
// table (-500, 0), (0, 0), (0, 300), (0, 0), (0, 0) for feeders 0..4, and for feeders 5
// and above a row of trays at y = 600 continuing to the right at a pitch of 200 units
// (a tray of 8 x 10 slots at 20 units is 160 x 200 units), so every feeder a library of
// 2048 tiles needs has a position.

#include "platform/result.h"
#include "platform/services.h"

#include <QLocale>
#include <QString>
#include <QStringList>

class TMosaicProject;
class TTilelib;

struct RobotPageBlock {
    int x1, y1, x2, y2; // inclusive; x1 > x2 or y1 > y2 for a page beyond the mosaic
};

// The block of page (px, py) with ch x cv cells per page, within the laid-out grid (Vcc
// and Hcc clamped to the cell arrays). A page beyond the mosaic, before it (a negative
// page number) or with a page size below 1 is empty.
RobotPageBlock RobotPage(const TMosaicProject& project, int px, int py, int ch, int cv);

struct RobotInfo {
    QString horizontalCount; // "Horizontal Tile Count :48"
    QString verticalCount;   // "Vertical Tile Count :48"
    QString mosaicSize;      // "Mosaic size: 2974.00 x 2974.00pixel"
    QString pageCount;       // "Page count: 5 x 5 = 25"
};
RobotInfo RobotInfoLabels(const TMosaicProject& project, int ch, int cv, const QLocale& locale = QLocale());

struct RobotFeederBase {
    double X, Y;
};
RobotFeederBase RobotFeederBasePosition(int feeder);

// The program of page (px, py). `progress` (may be null) gets the page's cell count as
// maximum and one step per placed tile; events are pumped after each placement.
QStringList GenerateRobotCode(const TMosaicProject& project, const TTilelib& library, int px, int py, int ch, int cv,
                              Progress* progress, const Platform& platform, const QLocale& locale = QLocale());

// The proposed file name: "Robot_X" + px + "Y" + py.
QString RobotCodeFileName(int px, int py);

// Writes the lines as ASCII, each ending with CR LF, through a temporary file.
Status SaveRobotCode(const QStringList& lines, const QString& path);
