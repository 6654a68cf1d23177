#pragma once
// The sixteen patterns that ship with the program, and the writer that produces their
// ".pat" files and ".pat.jpg" previews for the pattern pack.

#include "engine/pattern_records.h"
#include "platform/result.h"

#include <QImage>
#include <QString>

#include <vector>

struct BuiltinPattern {
    QString fileName; // e.g. "10_Rectangle.pat"
    TpatternCfg pattern;
};

// All sixteen in the order of the pattern pack. Every record starts from DefaultPattern;
// Name is empty, every listed element has Rotate 0 and the pattern's pitch factors.
std::vector<BuiltinPattern> BuiltinPatterns();

// A picture of a few repeats of the pattern: `columns` x `rows` cells of cellSize x
// cellSize pixels laid out with PatternCellRect, drawn on white.
QImage PatternPreview(const TpatternCfg& pattern, int columns = 4, int rows = 4, int cellSize = 48);

// Writes every built-in pattern into `folder` (created if missing) as "<name>" and its
// preview as "<name>.jpg", each through a temporary file. Stops at the first failure.
Status WriteBuiltinPatterns(const QString& folder);
