#include "render/color_charts.h"

#include "engine/workspace.h"
#include "imaging/canvas.h"
#include "imaging/color_convert.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

namespace {

int bucket(double value, int width, int last) { return std::clamp(int(std::trunc(value)) / width, 0, last); }

TAlphaColor hsvColor(double h, double s, double v)
{
    int r, g, b, gray;
    HSVToRGB(h, s, v, r, g, b, gray);
    return MakeColor(std::clamp(r, 0, 255), std::clamp(g, 0, 255), std::clamp(b, 0, 255), 255);
}

void circle(QPainter& painter, QPointF centre, double radius) { painter.drawEllipse(centre, radius, radius); }

// A filled dot of `radius` at `distance` from `centre` at the angle of hue bucket j.
void dot(QPainter& painter, QPointF centre, int j, double distance, double radius, TAlphaColor color)
{
    const double theta = j * 6 * std::numbers::pi / 180;
    painter.setBrush(toQColor(color));
    painter.drawEllipse(centre + distance * QPointF(std::cos(theta), std::sin(theta)), radius, radius);
}

QImage whiteChart(int w, int h)
{
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(toQColor(0xFFFFFFFF));
    return img;
}

} // namespace

void ClearColorHistogram(TColorHistogram& hist) { std::memset(&hist, 0, sizeof hist); }

void CountColor(TColorHistogram& hist, TAlphaColor rgb)
{
    int a, r, g, b;
    SplitColor(rgb, a, r, g, b);
    double H, S, V;
    RGBToHSV(r, g, b, H, S, V);
    const int last = kColorBands - 1;
    ++hist.HSVCount[bucket(H, 6, kHueBuckets - 1)][bucket(S, 34, last)][bucket(V, 34, last)];
    ++hist.HueCount[std::clamp(int(std::trunc(H / 6)), 0, kHueBuckets - 1)];
}

void ProjectColorHistogram(TColorHistogram& hist, const TMosaicProject& project)
{
    ClearColorHistogram(hist);
    const int rows = std::clamp(project.cfg.Vcc, 0, kGridCapacity);
    const int cols = std::clamp(project.cfg.Hcc, 0, kGridCapacity);
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < cols; ++x)
            CountColor(hist, project.Cells[y][x].ICinfo.ci1.rgb);
    const int n = std::clamp(project.cfg.AddonTilesCount, 0, kAddonCapacity);
    for (int j = 0; j < n; ++j)
        CountColor(hist, project.AddonTiles[j].ICinfo.ci1.rgb);
}

void TileLibColorHistogram(TColorHistogram& hist, const TTilelib& library)
{
    ClearColorHistogram(hist);
    const int n = std::clamp(library.Count, 0, kTileCapacity);
    for (int i = 0; i < n; ++i)
        CountColor(hist, library.items[i].ColorInfo.ci1.rgb);
}

void TileLibColorHistogram(TColorHistogram& hist, const Workspace& ws, int source)
{
    if (source == kChartSourceWorking)
        TileLibColorHistogram(hist, ws.mtilelib);
    else if (source == kChartSourceBrowse)
        TileLibColorHistogram(hist, ws.mbrowselib);
    else
        ClearColorHistogram(hist);
}

void DrawColorWheel(QImage& bitmap, const TColorHistogram& hist, int kind)
{
    if (kind != kChartThreeWheels && kind != kChartHueWheel)
        return;
    bitmap = kind == kChartThreeWheels ? whiteChart(1080, 360) : whiteChart(360, 360);
    Canvas canvas(bitmap);
    Canvas::Scene scene(canvas);
    QPainter& painter = scene.painter();
    painter.setOpacity(1.0);

    if (kind == kChartThreeWheels) {
        for (int v = 0; v < kColorBands; ++v) {
            // Band 0 (dark) on the right, band 2 (bright) on the left.
            const QPointF C((2 - v) * 360 + 180, 180);
            painter.setPen(canvas.pen());
            painter.setBrush(Qt::NoBrush);
            for (double radius : {180.0, 170.0, 150.0, 130.0, 110.0})
                circle(painter, C, radius);
            painter.setPen(Qt::NoPen);
            for (int s = 0; s < kColorBands; ++s)
                for (int j = 0; j < kHueBuckets; ++j) {
                    dot(painter, C, j, 175, 4, hsvColor(j * 6, 99, 99));
                    if (hist.HSVCount[j][s][v] > 0)
                        dot(painter, C, j, 120 + 20 * s, 9, hsvColor(j * 6, 33 * (s + 1), 33 * (v + 1)));
                }
        }
        return;
    }

    const QPointF C(180, 180);
    painter.setPen(canvas.pen());
    painter.setBrush(Qt::NoBrush);
    for (double radius : {180.0, 170.0, 150.0})
        circle(painter, C, radius);
    painter.setPen(Qt::NoPen);
    for (int j = 0; j < kHueBuckets; ++j) {
        const TAlphaColor color = hsvColor(j * 6, 99, 99);
        dot(painter, C, j, 175, 4, color);
        if (hist.HueCount[j] > 0)
            dot(painter, C, j, 160, 9, color);
    }
}
