#include "engine/project_info.h"

#include "engine/workspace.h"

#include <gtest/gtest.h>

#include <memory>

TEST(ProjectInfo, ListsTheSizeFiguresAndTheLibraryUnit)
{
    auto ws = std::make_unique<Workspace>();
    TprojectCFG& c = ws->mproject.cfg;
    c.FullWidthF = 2974;
    c.FullHeightF = 1858;
    c.WidthPx = 8000;
    c.HeightPx = 4998.3;
    c.CanvasScale = 8000.0 / 2974;
    c.Hcc = 40;
    c.Vcc = 30;
    c.CellgapwdF = 2;
    c.CellgaphtF = 1.5;
    ws->mproject.SizeUnitStr.set("pixel");
    ws->mtilelib.cfg.SizeUnit = kTileUnitMm;
    ws->mtilelib.cfg.Widthf = 8.5f;
    ws->mtilelib.cfg.Heightf = 8.5f;

    const QStringList lines = ProjectInfoLines(ws->mproject, ws->mtilelib, QLocale::c());
    EXPECT_EQ(lines, (QStringList{"Mosaic size: 2974.00 x 1858.00pixel",
                                  "     Picture File size = 8000.00 x 4998.30 pixels", "     Scale = 2.69",
                                  "Mosaic contains 30 x 40 = 1200 Tiles.", "Tile Size: 8.50x8.50 mm",
                                  "Gap Size: 2.00x1.50 mm"}));

    ws->mtilelib.cfg.SizeUnit = kTileUnitInch;
    EXPECT_EQ(ProjectInfoLines(ws->mproject, ws->mtilelib, QLocale::c()).at(5), QString("Gap Size: 2.00x1.50 inch"));
    ws->mtilelib.cfg.SizeUnit = 0;
    EXPECT_EQ(ProjectInfoLines(ws->mproject, ws->mtilelib, QLocale::c()).size(), 4);
    EXPECT_EQ(ProjectInfoLines(ws->mproject, ws->mtilelib, QLocale(QLocale::German)).at(2), QString("     Scale = 2,69"));
}
