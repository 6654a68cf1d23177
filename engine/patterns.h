#pragma once
// Patterns: which cell template sits at each grid position, and the ".pat" files.
// Grid column x, row y use element [y mod VertGroupCount][x mod HorzGroupCount].

#include "engine/pattern_records.h"
#include "imaging/color_records.h"
#include "platform/result.h"

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QStringList>

#include <array>

using ShapeMasks = std::array<std::array<QImage, kPatternGroupMax>, kPatternGroupMax>;

// Name empty, scales 1.0, one group element, all 64 elements shape 1, rotation 0,
// pitch 1.0, offset 0.
TpatternCfg DefaultPattern();
// Reads a ".pat" file over the pattern. A missing file leaves it unchanged (success); a
// file whose group counts lie outside 1..8 is refused and leaves it unchanged; a file
// shorter than 2832 bytes fills only the leading part.
Status LoadPattern(TpatternCfg& pattern, const QString& fileName);
// The same over a file's bytes already in memory (only the first 2832 count).
Status LoadPatternFromBytes(TpatternCfg& pattern, const QByteArray& bytes, const QString& fileName);
Status SavePattern(const TpatternCfg& pattern, const QString& fileName);

std::int32_t PatternCellShape(const TpatternCfg& pattern, int x, int y);
float PatternCellRotate(const TpatternCfg& pattern, int x, int y);
TRectF PatternCellRect(int x, int y, float cellWidth, float cellHeight, float gapW, float gapH,
                       const TpatternCfg& pattern);

// Masks of the pattern's group positions into masks[row][column].
void BuildPatternShapeMasks(ShapeMasks& masks, const TpatternCfg& pattern);

// Pattern files ("*.pat", ordinary files, in directory order) of the program folder,
// then the user folder; names with extension and full paths, index-parallel.
void ListPatterns(QStringList& names, QStringList& paths, const QString& programPatternFolder,
                  const QString& userPatternFolder);
