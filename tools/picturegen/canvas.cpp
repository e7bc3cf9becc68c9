// Painting primitives on an 8-bit canvas, and the painters' random numbers.
#include "picturegen.h"

Canvas MakeCanvas(int width, int height, uint8_t fill) {
    Canvas canvas;
    canvas.width = width;
    canvas.height = height;
    canvas.pixels.assign(static_cast<size_t>(width) * height, fill);
    return canvas;
}

uint8_t PixelAt(const Canvas& canvas, int x, int y) {
    if (x < 0 || y < 0 || x >= canvas.width || y >= canvas.height) return 0;
    return canvas.pixels[static_cast<size_t>(y) * canvas.width + x];
}

void PutPixel(Canvas& canvas, int x, int y, uint8_t value) {
    if (x < 0 || y < 0 || x >= canvas.width || y >= canvas.height) return;
    canvas.pixels[static_cast<size_t>(y) * canvas.width + x] = value;
}

void FillBox(Canvas& canvas, int x, int y, int width, int height, uint8_t value) {
    for (int row = y; row < y + height; ++row)
        for (int column = x; column < x + width; ++column) PutPixel(canvas, column, row, value);
}

void DrawLine(Canvas& canvas, double x0, double y0, double x1, double y1, uint8_t value) {
    const int steps = static_cast<int>(std::max(std::fabs(x1 - x0), std::fabs(y1 - y0))) + 1;
    for (int i = 0; i <= steps; ++i) {
        const double t = i / double(steps);
        PutPixel(canvas, static_cast<int>(x0 + (x1 - x0) * t), static_cast<int>(y0 + (y1 - y0) * t), value);
    }
}

void FillPolygon(Canvas& canvas, const std::vector<PointF>& polygon, uint8_t value) {
    ForEachPolygonSpan(polygon, canvas.height, [&](int y, int x0, int x1) {
        for (int x = x0; x < x1; ++x) PutPixel(canvas, x, y, value);
    });
}

int InEllipse(double cx, double cy, double rx, double ry, int x, int y) {
    const double dx = (x + 0.5 - cx) / rx;
    const double dy = (y + 0.5 - cy) / ry;
    return dx * dx + dy * dy <= 1.0;
}

uint32_t NextRandom(PaintRandom& random) {
    random.state = random.state * 1103515245u + 12345u;
    return (random.state >> 16) & 0x7FFF;
}

double RandomUnit(PaintRandom& random) { return NextRandom(random) / 32768.0; }
