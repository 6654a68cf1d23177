#pragma once
// Hooks the editing tools' windows (tile picker, tile pen, grout colour, tile
// statistics) into the main window's commands and its clicks on the mosaic.

class AppContext;

// Sets the WindowCommands of the four windows; they must have been created.
void ConnectToolWindows(AppContext& app);
