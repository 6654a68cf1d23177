#include "engine/patterns.h"

#include <cstring>

TpatternCfg DefaultPattern()
{
    TpatternCfg p;
    std::memset(&p, 0, sizeof p);
    p.Hscale = 1.0f;
    p.Vscale = 1.0f;
    p.HorzGroupCount = 1;
    p.VertGroupCount = 1;
    for (auto& row : p.CellGroup)
        for (TCellGroupItem& e : row)
            e = TCellGroupItem{1, 0.0f, 1.0, 1.0, 0.0, 0.0};
    return p;
}
