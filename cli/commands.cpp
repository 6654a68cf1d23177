#include "cli/commands.h"

// One declaration per sub-command, implemented in cmd_*.cpp.
int cmdVersion(const QStringList& args);
int cmdMatch(const QStringList& args);
int cmdLibraryInfo(const QStringList& args);
int cmdLibraryCreate(const QStringList& args);
int cmdLibraryAdd(const QStringList& args);
int cmdLibraryList(const QStringList& args);
int cmdLibraryPreview(const QStringList& args);
int cmdPackageExtract(const QStringList& args);
int cmdPatternsWrite(const QStringList& args);
int cmdPatternsList(const QStringList& args);
int cmdInstallSamples(const QStringList& args);
int cmdMosaicCreate(const QStringList& args);
int cmdMosaicExport(const QStringList& args);
int cmdMosaicInfo(const QStringList& args);
int cmdChart(const QStringList& args);
int cmdStats(const QStringList& args);
int cmdEdit(const QStringList& args);
int cmdRobotCode(const QStringList& args);
int cmdWorkplan(const QStringList& args);
int cmdWorkplanGroups(const QStringList& args);
int cmdGuideCards(const QStringList& args);

const CliCommand* cliCommands(int& count)
{
    static const CliCommand kCommands[] = {
        {"version", "", &cmdVersion},
        {"match", "<picture> <library-folder> [--rect L,T,R,B] [--top 10]", &cmdMatch},
        {"library info", "<library-folder>", &cmdLibraryInfo},
        {"library create", "<folder> --name N [--width 400] [--height 400] [--ppi 200]", &cmdLibraryCreate},
        {"library add", "<library-folder> <photo-or-folder>... [--recursive] [--threads 0]", &cmdLibraryAdd},
        {"library list", "[--program-root DIR] [--user-root DIR]", &cmdLibraryList},
        {"library preview", "<library-folder>", &cmdLibraryPreview},
        {"package extract", "<zip> <folder>", &cmdPackageExtract},
        {"patterns write", "<folder>", &cmdPatternsWrite},
        {"patterns list", "[--program-folder P] [--user-folder U]", &cmdPatternsList},
        {"install-samples", "", &cmdInstallSamples},
        {"mosaic create",
         "--photo P|embedded:1..3 --library DIR --out PROJECT_DIR [--pattern NAME|FILE.pat] [--cols 48] [--rows 48] "
         "[--tile-width 60] [--tile-height 60] [--gap-x 2] [--gap-y 2] [--unit pixel|inch|mm] [--ppi 100] "
         "[--enhance 1.0] [--crop L,T,R,B] [--seed N] [--scanline] [--dither 100 | --no-dither] "
         "[--random-level 15] [--repeat-max 50 | --no-repeat-max] [--repeat-radius 1 | --no-repeat-radius] "
         "[--repeat-min N] [--use-all] [--rgb-match] [--weight-l W] [--weight-c W] [--color-adjust 0.4] "
         "[--alpha-blend 0.25] [--bg-main-image] [--grout RRGGBB] [--picture FILE] [--overwrite]",
         &cmdMosaicCreate},
        {"mosaic export", "PROJECT [--view tile-pic|tile-color|source-color|tile-id-color|tile-id] [--text-height 18] --out FILE",
         &cmdMosaicExport},
        {"mosaic info", "PROJECT", &cmdMosaicInfo},
        {"chart", "PROJECT|LIBRARY --kind 10|20 --out FILE", &cmdChart},
        {"stats", "PROJECT [--by-count] [--xlsx FILE] [--pages DIR/NAME.jpg]", &cmdStats},
        {"edit", "PROJECT --cell X,Y --tile N   (Y = -1: add-on cell X)", &cmdEdit},
        {"robot-code", "PROJECT --page X,Y [--cells 10x10] --out FILE", &cmdRobotCode},
        {"workplan", "PROJECT --out DIR [--pages 3x3] [--size 1000|2000|4000] [--no-fill] [--text-size 18]",
         &cmdWorkplan},
        {"workplan-groups",
         "PROJECT --out DIR/NAME.jpg [--cells 24x24] [--group 10] [--size 1000|2000|4000] [--no-fill] "
         "[--text-size 18]",
         &cmdWorkplanGroups},
        {"guide-cards", "PROJECT [--count 2] [--radius 50] [--line 5] [--color 00FF00] [--seed N]", &cmdGuideCards},
    };
    count = static_cast<int>(sizeof kCommands / sizeof kCommands[0]);
    return kCommands;
}
