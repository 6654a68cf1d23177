#pragma once
// The 32 x 32 icons of the command buttons, drawn in code so that they scale with the
// display and need no picture files.

#include <QIcon>

enum class CommandGlyph {
    NewProject,
    OpenProject,
    SaveProject,
    SavePicture,
    Help,
    TilePicture,
    TileColor,
    SourceColor,
    TileIdWithColor,
    TileIdWithoutColor,
    Overview,
    Select,
    Pen,
    GroutColor,
    Statistics,
    WorkPlan,
    RobotCode,
    PosCard,
    ProjectInfo,
    ProjectFolder,
    Library,
    Website,
    About,
    Exit,
};

QIcon CommandIcon(CommandGlyph glyph);

// The application's own icon, drawn like the installed quillary.svg.
QIcon ApplicationIcon();
