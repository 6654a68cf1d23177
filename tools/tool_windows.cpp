#include "tools/tool_windows.h"

#include "app/app_context.h"
#include "app/main_window.h"
#include "app/window_support.h"
#include "tools/grout_color_window.h"
#include "tools/tile_pen_window.h"
#include "tools/tile_picker_window.h"
#include "tools/tile_statistics_window.h"

void ConnectToolWindows(AppContext& app)
{
    WindowCommands& c = app.commands;
    AppContext* a = &app;
    c.showTilePicker = [a] {
        a->fCellEditor->setReady(true);
        ShowWithParent(a->fCellEditor, a->Form1);
    };
    c.showTilePen = [a] {
        a->ftilepen->FillPenList();
        ShowWithParent(a->ftilepen, a->Form1);
    };
    c.showGroutColor = [a] {
        a->fChangeGrout->setPickedColor(a->ws().moptions.BgColor);
        a->fChangeGrout->RefreshGroutLabels();
        ShowWithParent(a->fChangeGrout, a->Form1);
    };
    c.showTileStatistics = [a] {
        a->ftilecount->FillList();
        ShowWithParent(a->ftilecount, a->Form1);
    };
    c.selectCell = [a](TPoint cell) { a->fCellEditor->SelectCell(cell.X, cell.Y); };
    c.paintCell = [a](TPoint cell, int tile) { a->ftilepen->PaintCell(cell.X, cell.Y, tile); };
}
