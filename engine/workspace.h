#pragma once
// The shared objects of one running system: the one project, the working and browsing
// libraries, the options, the candidate lists, the main-image bitmaps, the shape masks,
// the data folders and the platform services. The application builds one at start-up;
// every test builds its own. Core code receives the workspace (or the parts it needs)
// explicitly.

#include "engine/patterns.h"
#include "engine/project.h"
#include "platform/services.h"
#include "tilelib/tilelib.h"

#include <QImage>
#include <QString>

#include <cstdint>
#include <memory>

// Folder paths; the program-side folders are only read, the user-side ones are
// created at start. Paths carry no trailing separator except ProgramFolder.
struct DataFolders {
    QString ProgramFolder;        // folder of the executable, with a trailing separator
    QString programDataFolder;    // ProgramFolder + "Data"
    QString programLibraryFolder; // ... + "Tilelibs"
    QString programPatternFolder; // ... + "Patterns"
    QString DataRoot;             // documents + "Quillary"
    QString userLibraryFolder;    // DataRoot + "Tilelibs"
    QString userPatternFolder;    // DataRoot + "Patterns"
    QString projectsFolder;       // DataRoot + "Projects"
    QString packageFolder;        // DataRoot + "DLCs"
};

// The shared work-plan settings; IDTextHeight is also the font size of the tile
// numbers in the tile-ID views.
struct TworkplanCfg {
    std::int32_t ColorCount = 0;
    std::int32_t PageCountH = 0;
    std::int32_t PageCountV = 0;
    double PageWidth = 0;
    double PageHeight = 0;
    double PageScale = 0;
    std::int32_t PageWidthPx = 0;
    std::int32_t PageHeightPx = 0;
    float IDTextHeight = 18;
};

// Which implementation Search_withoptions runs: the fast path by default, the plain
// loops (the definition the fast path is tested against) on request.
enum class SearchPath { Accelerated, Reference };
// Which implementation Draw_FinalMosaic runs: the parallel one by default, the plain
// loop on request.
enum class RenderPath { Parallel, Plain };

class Workspace {
public:
    explicit Workspace(Platform platform = {}, std::uint32_t seed = 0);
    ~Workspace();
    Workspace(const Workspace&) = delete;
    Workspace& operator=(const Workspace&) = delete;

    Platform platform;

private:
    std::unique_ptr<SeededRandom> m_ownRandom;
    std::unique_ptr<TMosaicProject> m_project;
    std::unique_ptr<TTilelib> m_tilelib;
    std::unique_ptr<TTilelib> m_browselib;
    RandomSource* m_random;

public:
    TMosaicProject& mproject;
    TTilelib& mtilelib;   // the working library, whose indices TileID refers to
    TTilelib& mbrowselib; // the library of the library windows
    TmosaicOptions moptions{};
    TGoodTileList goodTileList; // used by the searches
    TGoodTileList pickerList;   // used by the tile picker

    QImage mainImage;     // the photo as loaded
    QImage zoomedImage;   // the photo fitted into the crop view
    QImage fullSizeImage; // the cropped photo at half the working-canvas size
    double mainImageScale = 0;
    QImage overviewImage; // the overview window's picture
    ShapeMasks shapeMasks;
    float screenScale = 1.0f;
    DataFolders folders;
    TworkplanCfg workplanCfg;
    SearchPath searchPath = SearchPath::Accelerated;
    RenderPath renderPath = RenderPath::Parallel;

    RandomSource& random() { return *m_random; }
    // Replaces the random source (tests that script the draws); the workspace does not
    // own it.
    void setRandom(RandomSource& source) { m_random = &source; }
};
