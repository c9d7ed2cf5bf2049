// The plot toolbar's button pictures: fourteen commands, each 24 x 24 and (SMALL...) 16 x 16, in the
// sixteen standard colours, on teal, which the toolbar treats as see-through. They are written to
// plot/NAME.png, every pixel one of the sixteen colours.
//
// Each picture is drawn once, in a 24-unit design square, by shapes that say which points they
// cover; a pixel takes a shape's colour when its centre lies inside, and a shape's outline is made of
// its inside pixels that touch an outside one. So both sizes come from one drawing and stay crisp.

#include "Common.h"

#include <QFile>
#include <QImage>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace pictures {

namespace {

// The standard 16-colour palette, in its usual order.
const std::array<QColor, 16> kVga = {
    QColor(0, 0, 0),       QColor(128, 0, 0),   QColor(0, 128, 0),   QColor(128, 128, 0),
    QColor(0, 0, 128),     QColor(128, 0, 128), QColor(0, 128, 128), QColor(192, 192, 192),
    QColor(128, 128, 128), QColor(255, 0, 0),   QColor(0, 255, 0),   QColor(255, 255, 0),
    QColor(0, 0, 255),     QColor(255, 0, 255), QColor(0, 255, 255), QColor(255, 255, 255)};

const QColor kBlack = kVga[0], kMaroon = kVga[1], kGreen = kVga[2], kNavy = kVga[4], kTeal = kVga[6],
             kSilver = kVga[7], kGray = kVga[8], kRed = kVga[9], kLime = kVga[10], kYellow = kVga[11],
             kBlue = kVga[12], kAqua = kVga[14], kWhite = kVga[15];

int NearestVga(QRgb rgb) {
    int best = 0, bestDistance = 1 << 30;
    for (int i = 0; i < 16; ++i) {
        const int dr = qRed(rgb) - kVga[i].red(), dg = qGreen(rgb) - kVga[i].green(),
                  db = qBlue(rgb) - kVga[i].blue();
        const int d = dr * dr + dg * dg + db * db;
        if (d < bestDistance) {
            best = i;
            bestDistance = d;
        }
    }
    return best;
}

using Inside = std::function<bool(double x, double y)>;

// One picture being drawn, in design units (0..24 across) mapped onto its pixels.
class Icon {
public:
    explicit Icon(int size) : FImage(size, size, QImage::Format_RGB32), FScale(size / 24.0) {
        FImage.fill(kTeal);
    }
    const QImage& Image() const { return FImage; }
    int Size() const { return FImage.width(); }
    bool Small() const { return Size() < 24; }

    // Fills what `inside` covers; with an edge colour, its outline `edgeWidth` pixels wide in that
    // colour (dotted: every other outline pixel).
    void Shape(const Inside& inside, const QColor& fill, const QColor& edge = QColor(), int edgeWidth = 1,
               bool dotted = false) {
        const int n = Size();
        std::vector<char> in(static_cast<std::size_t>(n * n));
        auto at = [&](int x, int y) {
            return x >= 0 && y >= 0 && x < n && y < n && in[static_cast<std::size_t>(y * n + x)];
        };
        for (int y = 0; y < n; ++y)
            for (int x = 0; x < n; ++x)
                in[static_cast<std::size_t>(y * n + x)] = inside((x + 0.5) / FScale, (y + 0.5) / FScale);
        for (int y = 0; y < n; ++y)
            for (int x = 0; x < n; ++x) {
                if (!at(x, y))
                    continue;
                bool border = false;
                for (int dy = -edgeWidth; dy <= edgeWidth && !border; ++dy)
                    for (int dx = -edgeWidth; dx <= edgeWidth && !border; ++dx)
                        if (!at(x + dx, y + dy))
                            border = true;
                if (border && edge.isValid() && (!dotted || (x + y) % 2 == 0))
                    FImage.setPixel(x, y, edge.rgb());
                else if (fill.isValid())
                    FImage.setPixel(x, y, fill.rgb());
            }
    }

    // A rectangle from (x0, y0) to (x1, y1) in design units, snapped to whole pixels and at least one
    // pixel each way.
    void Box(double x0, double y0, double x1, double y1, const QColor& fill, const QColor& edge = QColor(),
             int edgeWidth = 1, bool dotted = false) {
        const int px0 = Px(x0), py0 = Px(y0);
        const int px1 = std::max(px0 + 1, Px(x1)), py1 = std::max(py0 + 1, Px(y1));
        Shape(
            [&](double x, double y) {
                const double sx = x * FScale, sy = y * FScale;
                return sx >= px0 && sx < px1 && sy >= py0 && sy < py1;
            },
            fill, edge, edgeWidth, dotted);
    }

    void Polygon(const std::vector<QPointF>& points, const QColor& fill, const QColor& edge = QColor(),
                 int edgeWidth = 1) {
        Shape([&](double x, double y) { return InPolygon(points, x, y); }, fill, edge, edgeWidth);
    }

    void Disc(double cx, double cy, double r, const QColor& fill, const QColor& edge = QColor(),
              int edgeWidth = 1) {
        Shape([&](double x, double y) { return std::hypot(x - cx, y - cy) <= r; }, fill, edge, edgeWidth);
    }

    // A straight stroke `width` design units thick, never thinner than one pixel.
    void Line(double x0, double y0, double x1, double y1, double width, const QColor& colour) {
        const double half = std::max(width * FScale, 1.0) / 2;
        Shape(
            [&](double x, double y) {
                return SegmentDistance(x * FScale, y * FScale, x0 * FScale, y0 * FScale, x1 * FScale,
                                       y1 * FScale) <= half;
            },
            colour);
    }

    // One pixel, in pixels.
    void Dot(int x, int y, const QColor& colour) {
        if (x >= 0 && y >= 0 && x < Size() && y < Size())
            FImage.setPixel(x, y, colour.rgb());
    }
    int Px(double v) const { return static_cast<int>(std::lround(v * FScale)); }

private:
    static bool InPolygon(const std::vector<QPointF>& p, double x, double y) {
        bool in = false;
        for (std::size_t i = 0, j = p.size() - 1; i < p.size(); j = i++)
            if ((p[i].y() > y) != (p[j].y() > y) &&
                x < (p[j].x() - p[i].x()) * (y - p[i].y()) / (p[j].y() - p[i].y()) + p[i].x())
                in = !in;
        return in;
    }
    static double SegmentDistance(double x, double y, double x0, double y0, double x1, double y1) {
        const double dx = x1 - x0, dy = y1 - y0;
        const double len2 = dx * dx + dy * dy;
        double t = len2 > 0 ? ((x - x0) * dx + (y - y0) * dy) / len2 : 0;
        t = std::clamp(t, 0.0, 1.0);
        return std::hypot(x - (x0 + t * dx), y - (y0 + t * dy));
    }

    QImage FImage;
    double FScale;
};

// A sheet of paper with its top-right corner folded down, and lines of text on it.
void Page(Icon& icon, double x0, double y0, double x1, double y1, bool lines) {
    const double fold = 4;
    icon.Polygon({{x0, y0}, {x1 - fold, y0}, {x1, y0 + fold}, {x1, y1}, {x0, y1}}, kWhite, kBlack);
    icon.Polygon({{x1 - fold, y0}, {x1 - fold, y0 + fold}, {x1, y0 + fold}}, kSilver, kBlack);
    if (!lines)
        return;
    for (double y = y0 + fold + 2; y + 1 < y1 - 1; y += 3)
        icon.Box(x0 + 2.5, y, x1 - 2.5, y + 1, kGray);
}

// A magnifying glass: a lens with its rim and a handle towards the bottom right.
void Magnifier(Icon& icon, double cx, double cy, double r, double handleEnd, double handleWidth,
               const QColor& glass) {
    const double d = r * 0.7071;
    icon.Line(cx + d, cy + d, handleEnd, handleEnd - (cx - cy), handleWidth, kBlack);
    icon.Disc(cx, cy, r, glass, kBlack, icon.Small() ? 1 : 2);
    // A glint on the glass.
    icon.Line(cx - r * 0.45, cy - r * 0.15, cx - r * 0.15, cy - r * 0.45, 1, kWhite);
}

// A triangle as an arrowhead with its tip at (x, y), pointing in direction (dx, dy), `size` long and
// twice as wide.
void Arrowhead(Icon& icon, double x, double y, double dx, double dy, double size, const QColor& colour) {
    const double bx = x - dx * size, by = y - dy * size;
    icon.Polygon({{x, y}, {bx - dy * size, by + dx * size}, {bx + dy * size, by - dx * size}}, colour);
}

void Resume(Icon& icon) {
    icon.Polygon({{7, 3.5}, {7, 20.5}, {19.5, 12}}, kLime, kGreen);
}

void Pause(Icon& icon) {
    icon.Box(6, 5, 10, 19, kBlack);
    icon.Box(14, 5, 18, 19, kBlack);
}

void Scroll(Icon& icon) {
    icon.Box(4, 11, 20, 13, kBlack);
    icon.Box(11, 4, 13, 20, kBlack);
    Arrowhead(icon, 0.5, 12, -1, 0, 5, kBlack);
    Arrowhead(icon, 23.5, 12, 1, 0, 5, kBlack);
    Arrowhead(icon, 12, 0.5, 0, -1, 5, kBlack);
    Arrowhead(icon, 12, 23.5, 0, 1, 5, kBlack);
}

void Zoom(Icon& icon) {
    Magnifier(icon, 12, 9, 4.5, 19.5, 3, kAqua);
    Arrowhead(icon, 0.5, 9, -1, 0, 4.5, kBlack);
    Arrowhead(icon, 23.5, 9, 1, 0, 4.5, kBlack);
}

void ZoomSign(Icon& icon, bool plus) {
    Magnifier(icon, 10, 10, 7.5, 22, 4, kWhite);
    icon.Box(6, 9, 14, 11, kBlack);
    if (plus)
        icon.Box(9, 6, 11, 14, kBlack);
}

void Select(Icon& icon) {
    icon.Polygon({{6, 1.5}, {6, 19.5}, {9.5, 16}, {12.5, 22.5}, {16, 21}, {13, 14.5}, {18, 14.5}}, kWhite,
                 kBlack);
}

void ZoomBox(Icon& icon) {
    icon.Box(3, 5, 21, 19, QColor(), kBlack, 1, true);
}

void Cursor(Icon& icon) {
    icon.Line(12, 1, 12, 23, 1, kBlue);
    // At 16 pixels an outline would leave no red inside.
    const QColor edge = icon.Small() ? QColor() : kMaroon;
    icon.Polygon({{6, 1}, {18, 1}, {12, 7}}, kRed, edge);
    icon.Polygon({{6, 23}, {18, 23}, {12, 17}}, kRed, edge);
}

void Properties(Icon& icon) {
    icon.Box(1, 2, 18, 19, kWhite, kBlack);
    icon.Box(1, 2, 18, 6, kNavy);
    const std::vector<double> rows =
        icon.Small() ? std::vector<double>{9, 13.5} : std::vector<double>{8.5, 12, 15.5};
    for (double y : rows) {
        icon.Box(3, y, 7, y + 2, kGray);
        icon.Box(8, y, 16, y + 2, kSilver, kGray);
    }
    // The pencil lies from the top right down to the bottom left, its point on the form.
    const double ax = 22.5, ay = 7.5, bx = 12.5, by = 17.5; // body: from the cap to where the point starts
    const double w = icon.Small() ? 2.2 : 2.3;
    const double nx = 0.7071 * w, ny = 0.7071 * w; // across the body
    icon.Polygon({{ax - nx, ay - ny}, {ax + nx, ay + ny}, {bx + nx, by + ny}, {bx - nx, by - ny}}, kYellow,
                 kBlack);
    icon.Polygon({{bx - nx, by - ny}, {bx + nx, by + ny}, {bx - 3.5, by + 3.5}}, kWhite, kBlack);
    icon.Polygon({{ax - nx, ay - ny},
                  {ax + nx, ay + ny},
                  {ax + nx + 1.6, ay + ny - 1.6},
                  {ax - nx + 1.6, ay - ny - 1.6}},
                 kRed, kBlack);
}

void Copy(Icon& icon) {
    Page(icon, 2, 1, 14, 16, true);
    Page(icon, 9, 7, 22, 23, true);
}

void Save(Icon& icon) {
    icon.Polygon({{2, 2}, {19, 2}, {22, 5}, {22, 22}, {2, 22}}, kNavy, kBlack);
    icon.Box(6, 2, 17, 9, kSilver, kBlack);
    icon.Box(12.5, 3, 15, 8, kNavy);
    icon.Box(5, 12, 19, 22, kWhite, kBlack);
    icon.Box(7, 15, 17, 16, kGray);
    icon.Box(7, 18, 17, 19, kGray);
}

void Printer(Icon& icon) {
    icon.Box(6, 1, 18, 10, kWhite, kBlack);
    icon.Box(8, 4, 16, 5, kGray);
    icon.Box(8, 6.5, 14, 7.5, kGray);
    icon.Box(1, 9, 23, 19, kSilver, kBlack);
    icon.Box(2, 15, 22, 18, kGray);
    icon.Box(17, 11, 20, 13, kLime, kGreen);
    icon.Box(5, 16, 19, 23, kWhite, kBlack);
    icon.Box(7, 19, 17, 20, kGray);
}

void Preview(Icon& icon) {
    Page(icon, 2, 1, 16, 22, true);
    Magnifier(icon, 14, 13.5, 5.5, 22, 3, kAqua);
}

struct ToolBarPicture {
    const char* name;
    void (*draw)(Icon&);
};

const ToolBarPicture kPictures[] = {
    {"AUTO", Resume},
    {"PAUSE", Pause},
    {"SCROLL", Scroll},
    {"ZOOM", Zoom},
    {"ZOOMOUT", [](Icon& i) { ZoomSign(i, false); }},
    {"ZOOMIN", [](Icon& i) { ZoomSign(i, true); }},
    {"SELECT", Select},
    {"SCROLLBOX", ZoomBox},
    {"CURSOR", Cursor},
    {"PROPERTIES", Properties},
    {"COPY", Copy},
    {"SAVE", Save},
    {"PRINTER", Printer},
    {"PREVIEW", Preview},
};

const Registrar reg([] {
    for (const ToolBarPicture& picture : kPictures)
        for (int size : {24, 16}) {
            const std::string name = std::string(size == 16 ? "SMALL" : "") + picture.name;
            Add("plot/" + name + ".png", {size, size}, [draw = picture.draw](QPainter& p, QSize s) {
                Icon icon(s.width());
                draw(icon);
                QImage image = icon.Image().convertToFormat(QImage::Format_RGB32);
                for (int y = 0; y < image.height(); ++y)
                    for (int x = 0; x < image.width(); ++x)
                        image.setPixel(x, y, kVga[NearestVga(image.pixel(x, y))].rgb());
                p.drawImage(0, 0, image);
            });
        }
});

} // namespace

} // namespace pictures
