#pragma once
// The one mosaic project: configuration, pattern, the 101 x 101 grid cells and the 5001
// add-on cells, held by value (about 40 MB, so the project lives on the heap). Methods
// reach the working library, the options and the platform through the workspace the
// project belongs to. The model checks nothing: callers keep Vcc, Hcc at most 100,
// AddonTilesCount at most 5001 and TileID values valid for the working library.

#include "engine/pattern_records.h"
#include "engine/project_records.h"
#include "platform/result.h"
#include "platform/short_string.h"

#include <QByteArray>
#include <QString>

class Progress;
class SearchAccelerator;
class Workspace;

// A ranked list of at most 100 candidates, entries 0..Count-1 sorted by ascending diff.
class TGoodTileList {
public:
    struct Entry {
        std::int32_t tileid;   // -1 in an empty slot
        std::int32_t RotateID; // 0..11
        std::int32_t diff;
    };
    static constexpr int kCapacity = 100;

    std::int32_t Count = 0;
    Entry Tiles[kCapacity] = {};

    TGoodTileList() { clear(); }
    void clear();
    void insert(int index, int tileid, int diff);
    void insert_R(int index, int tileid, int RotateID, int diff);
    void TryAddTile(int Tileid, int Diff);
    void TryAddTile_R(int Tileid, int RotateID, int Diff);
};

class TMosaicProject {
public:
    TprojectCFG cfg;
    TpatternCfg patterncfg;
    TCell Cells[kGridCapacity][kGridCapacity]; // [row][column]
    TCell AddonTiles[kAddonCapacity];
    bool SizeChanged = false;
    bool Rendered = false;
    float MainViewScale = 0;
    ShortString<10> SizeUnitStr;

    // `create`: every byte zero, the default pattern, then clear().
    explicit TMosaicProject(Workspace& workspace);
    TMosaicProject(const TMosaicProject&) = delete;
    TMosaicProject& operator=(const TMosaicProject&) = delete;

    Workspace& ws() const { return *m_ws; }

    // Model.
    void clear();
    void cell_ClearTileID();
    void Cell_SetTile(TCell& cell, int TileID);
    void Cell_SetTile_R(TCell& cell, int TileID, int Rid);

    // Sizing and units.
    TPointF GetProjectSize() const;
    TPointF GetProjectSizeByPattern() const;
    int GetProjectCellCount() const;
    void MainSize_Update();
    void Cell_Counttosize();
    void Cell_Sizetocount();
    int RingCellCount(int i) const;

    // Layout and hit-testing.
    void Cell_Reset();
    TPoint Cell_GetIdByMouse(float mx, float my, float scale) const;
    int Cell_GetAddonIdByMouse(float mx, float my, float scale) const;

    // Colour sampling from the workspace's fullSizeImage.
    void Cell_ReadColorFromMI_2017(Progress* Pbar = nullptr);
    void AddonCell_ReadColorFromMI_2017(Progress* Pbar = nullptr);

    // Tile search.
    void GetGoodTileList(const TCell& cell, TGoodTileList& gtl, bool bypassAC) const;
    bool TileAvailabilityCheck(const TCell& cell, int tileid) const;
    void Search_withoptions(Progress* Pbar = nullptr);
    void Search_Pos_for_tile(Progress* Pbar = nullptr);
    void TSL_Search_Tile_for_pos_Scanline(int priority, Progress* Pbar = nullptr);
    void TSL_Search_Tile_for_pos_Random(int priority, Progress* Pbar = nullptr);
    void Search_Tile_for_AddOn(bool randomsearch, int priority, Progress* pbar = nullptr);

    // Error diffusion.
    void Cell_SetDither_R(int x, int y);
    void Cell_SetDither_addonR(int ID);

    // Project files. Writers go through a temporary file, so a failed write keeps the
    // previous file, and refuse counts the arrays cannot hold. Readers refuse counts
    // outside the model's limits and files too short for the blocks their counts
    // announce, leaving the project and options unchanged; bytes beyond those blocks are
    // ignored. Cells outside the stored blocks, SizeChanged, Rendered and MainViewScale
    // keep their values. SaveProject writes "Mosaic.Prj" into cfg.RootPath and refuses
    // an empty RootPath; the quick-save file holds all add-on cells and restores
    // AddonTilesCount from the count at its end.
    Status SaveProject() const;
    Status LoadProject(const QString& filename);
    Status SaveProjectFile(const QString& filename) const;
    Status LoadProjectFile(const QString& filename);
    // The same readers over a file already in memory; `fileName` names it in messages.
    Status LoadProjectFromBytes(const QByteArray& bytes, const QString& fileName);
    Status LoadProjectFileFromBytes(const QByteArray& bytes, const QString& fileName);

private:
    Workspace* m_ws;
    // The fast path of the search while Search_withoptions runs it; null otherwise, and
    // then every search operation runs the plain loops.
    const SearchAccelerator* m_searchAccelerator = nullptr;
};

// A cell's rectangle with each edge multiplied by `factor`.
TRectF ScaleRect(const TRectF& rect, double factor);
