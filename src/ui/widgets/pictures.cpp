#include "ui/widgets/pictures.h"

#include <QFont>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRadialGradient>

#include <initializer_list>

namespace mtl::ui::pictures {
namespace {

// Every picture is drawn on a 32 x 32 grid and scaled to the size asked for, so one drawing
// serves the 16-pixel list icons as well as the larger dialog pictures.
constexpr qreal grid = 32.0;

template <typename Draw>
QPixmap drawn(int size, Draw draw)
{
    if (size <= 0) return {};
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / grid, size / grid);
    draw(painter);
    return pixmap;
}

QPen outline(const QColor& colour, qreal width = 1.2)
{
    return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

QPolygonF polygon(std::initializer_list<QPointF> points)
{
    return QPolygonF(QList<QPointF>(points));
}

QPainterPath polygonPath(std::initializer_list<QPointF> points)
{
    QPainterPath path;
    path.addPolygon(polygon(points));
    path.closeSubpath();
    return path;
}

QLinearGradient vertical(qreal top, qreal bottom, const QColor& from, const QColor& to)
{
    QLinearGradient gradient(0, top, 0, bottom);
    gradient.setColorAt(0, from);
    gradient.setColorAt(1, to);
    return gradient;
}

// A sphere lit from the upper left.
QRadialGradient sphere(const QRectF& rect, const QColor& light, const QColor& base, const QColor& dark)
{
    QRadialGradient gradient(rect.center(), rect.width() / 2,
                             rect.topLeft() + QPointF(rect.width() * 0.35, rect.height() * 0.3));
    gradient.setColorAt(0, light);
    gradient.setColorAt(0.6, base);
    gradient.setColorAt(1, dark);
    return gradient;
}

// Draws a stroke twice, a wide dark one under a narrower bright one, so that a bold mark
// keeps a crisp edge on any background.
void boldStroke(QPainter& p, const QPainterPath& path, const QColor& edge, const QColor& fill, qreal width)
{
    p.strokePath(path, outline(edge, width + 2.2));
    p.strokePath(path, outline(fill, width));
}

void drawPage(QPainter& p, const QRectF& rect, bool withText)
{
    const qreal fold = rect.width() * 0.3;
    QPainterPath page;
    page.moveTo(rect.topLeft());
    page.lineTo(rect.right() - fold, rect.top());
    page.lineTo(rect.right(), rect.top() + fold);
    page.lineTo(rect.bottomRight());
    page.lineTo(rect.bottomLeft());
    page.closeSubpath();
    p.setPen(outline(QColor(0x80, 0x80, 0x80)));
    p.setBrush(vertical(rect.top(), rect.bottom(), Qt::white, QColor(0xE6, 0xE6, 0xE6)));
    p.drawPath(page);
    p.setBrush(QColor(0xD0, 0xD0, 0xD0));
    p.drawPolygon(polygon({{rect.right() - fold, rect.top()},
                           {rect.right() - fold, rect.top() + fold},
                           {rect.right(), rect.top() + fold}}));
    if (!withText) return;
    p.setPen(outline(QColor(0x6D, 0x8F, 0xB8), 1.1));
    for (qreal y = rect.top() + fold + 2.5; y < rect.bottom() - 2; y += 3.5)
        p.drawLine(QPointF(rect.left() + 2.5, y), QPointF(rect.right() - 2.5, y));
}

void drawGlobe(QPainter& p, const QColor& light, const QColor& base, const QColor& dark, bool land)
{
    const QRectF ball(3, 3, 26, 26);
    p.setPen(Qt::NoPen);
    p.setBrush(sphere(ball, light, base, dark));
    p.drawEllipse(ball);

    p.save();
    QPainterPath clip;
    clip.addEllipse(ball);
    p.setClipPath(clip);
    if (land) {
        p.setBrush(QColor(0x3C, 0xA8, 0x3C));
        p.drawEllipse(QRectF(6, 8, 9, 7));
        p.drawEllipse(QRectF(9, 13, 5, 9));
        p.drawEllipse(QRectF(18, 16, 9, 8));
        p.drawEllipse(QRectF(19, 6, 6, 4));
    }
    p.setPen(outline(QColor(255, 255, 255, 170), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(16 - 6.5, 3, 13, 26));
    p.drawLine(QPointF(16, 3), QPointF(16, 29));
    for (qreal y : {9.5, 16.0, 22.5}) p.drawLine(QPointF(3, y), QPointF(29, y));
    p.restore();

    p.setPen(outline(dark.darker(140), 1.1));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(ball);
}

void drawClipboard(QPainter& p, bool checklist)
{
    p.setPen(outline(QColor(0x6B, 0x44, 0x20)));
    p.setBrush(vertical(4, 30, QColor(0xC8, 0x8E, 0x4C), QColor(0x9A, 0x66, 0x30)));
    p.drawRoundedRect(QRectF(6, 4, 20, 26), 2, 2);
    p.setPen(outline(QColor(0x99, 0x99, 0x99), 0.8));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(8.5, 7.5, 15, 20));

    for (qreal y : {12.0, 16.0, 20.0, 24.0}) {
        if (checklist) {
            QPainterPath tick;
            tick.moveTo(10, y - 0.3);
            tick.lineTo(11.2, y + 1.1);
            tick.lineTo(13.4, y - 1.6);
            p.strokePath(tick, outline(QColor(0x20, 0xA0, 0x30), 1.3));
            p.setPen(outline(QColor(0x6D, 0x8F, 0xB8), 1.2));
            p.drawLine(QPointF(15, y), QPointF(21.5, y));
        } else {
            p.setPen(outline(QColor(0x6D, 0x8F, 0xB8), 1.2));
            p.drawLine(QPointF(11, y), QPointF(21, y));
        }
    }

    p.setPen(outline(QColor(0x55, 0x55, 0x55), 0.9));
    p.setBrush(vertical(2, 7, QColor(0xF0, 0xF0, 0xF0), QColor(0x90, 0x90, 0x90)));
    p.drawRoundedRect(QRectF(11, 2, 10, 5), 1.5, 1.5);
}

// An isometric cube whose top corner is at (cx, top) and whose half width is w.
void drawCube(QPainter& p, qreal cx, qreal top, qreal w, const QColor& colour)
{
    const QPointF apex(cx, top), right(cx + w, top + w / 2), front(cx, top + w), left(cx - w, top + w / 2);
    const QPointF down(0, w);
    p.setPen(outline(colour.darker(220), 0.9));
    p.setBrush(colour.lighter(150));
    p.drawPolygon(polygon({apex, right, front, left}));
    p.setBrush(colour);
    p.drawPolygon(polygon({left, front, front + down, left + down}));
    p.setBrush(colour.darker(135));
    p.drawPolygon(polygon({front, right, right + down, front + down}));
}

void drawRegistryBlocks(QPainter& p)
{
    drawCube(p, 9.5, 15, 6.8, QColor(0x2F, 0x6F, 0xD0));
    drawCube(p, 22.5, 15, 6.8, QColor(0x1F, 0x9E, 0x9E));
    drawCube(p, 16, 3.5, 6.8, QColor(0x6A, 0x4F, 0xC8));
}

// A straw broom leaning from the upper right to the lower left.
void drawBroom(QPainter& p)
{
    QPainterPath handle;
    handle.moveTo(27.5, 2.5);
    handle.lineTo(14.5, 17.5);
    p.strokePath(handle, outline(QColor(0x5E, 0x3A, 0x18), 3.4));
    p.strokePath(handle, outline(QColor(0xA8, 0x6E, 0x34), 2.0));

    const QPolygonF head = polygon({{12.2, 15.2}, {16.8, 19.8}, {10.5, 30}, {2, 21.5}});
    p.setPen(outline(QColor(0x8A, 0x62, 0x12), 1.0));
    p.setBrush(vertical(15, 30, QColor(0xF5, 0xD0, 0x5A), QColor(0xD8, 0xA2, 0x2E)));
    p.drawPolygon(head);
    p.setPen(outline(QColor(0xA8, 0x7A, 0x1E), 0.7));
    for (qreal t : {0.2, 0.4, 0.6, 0.8}) {
        const QPointF top = QPointF(12.2, 15.2) * (1 - t) + QPointF(16.8, 19.8) * t;
        const QPointF bottom = QPointF(2, 21.5) * (1 - t) + QPointF(10.5, 30) * t;
        p.drawLine(top + (bottom - top) * 0.25, bottom - (bottom - top) * 0.05);
    }
    QPainterPath band;
    band.moveTo(11.6, 15.8);
    band.lineTo(17.2, 21.4);
    p.strokePath(band, outline(QColor(0xC8, 0x28, 0x2C), 2.6));
}

// --- category icons of the descriptions list -------------------------------------------

void drawRecycleBin(QPainter& p)
{
    p.setPen(outline(QColor(0x4A, 0x56, 0x60)));
    p.setBrush(vertical(10, 29, QColor(0xC4, 0xD0, 0xD8), QColor(0x7F, 0x8E, 0x99)));
    p.drawPolygon(polygon({{8, 10}, {24, 10}, {22, 29}, {10, 29}}));
    p.setPen(outline(QColor(0x5C, 0x6A, 0x74), 1.2));
    p.drawLine(QPointF(11.2, 13), QPointF(12, 26));
    p.drawLine(QPointF(20.8, 13), QPointF(20, 26));
    // The recycling mark: three arrows chasing each other round a triangle.
    QPainterPath mark;
    const QPointF corners[] = {{16, 14.5}, {19.6, 21.8}, {12.4, 21.8}};
    for (int i = 0; i < 3; ++i) {
        const QPointF from = corners[i], to = corners[(i + 1) % 3];
        mark.moveTo(from + (to - from) * 0.15);
        mark.lineTo(from + (to - from) * 0.8);
    }
    p.strokePath(mark, outline(QColor(0x1E, 0x9E, 0x3C), 1.6));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x1E, 0x9E, 0x3C));
    for (int i = 0; i < 3; ++i) {
        const QPointF from = corners[i], to = corners[(i + 1) % 3];
        const QPointF tip = from + (to - from) * 0.95, d = (to - from) * 0.28, n(-d.y(), d.x());
        p.drawPolygon(polygon({tip, tip - d + n * 0.5, tip - d - n * 0.5}));
    }
    p.setPen(outline(QColor(0x4A, 0x56, 0x60)));
    p.setBrush(QColor(0x9A, 0xA8, 0xB2));
    p.drawRoundedRect(QRectF(13, 4, 6, 3), 1, 1);
    p.drawRoundedRect(QRectF(6, 6.5, 20, 3.5), 1.2, 1.2);
}

void drawGoldenPackage(QPainter& p)
{
    p.setPen(outline(QColor(0x8A, 0x64, 0x10), 1.0));
    p.setBrush(QColor(0xFF, 0xE6, 0x80));
    p.drawPolygon(polygon({{16, 4}, {28, 9}, {16, 14}, {4, 9}}));
    p.setBrush(QColor(0xE6, 0xB4, 0x22));
    p.drawPolygon(polygon({{4, 9}, {16, 14}, {16, 29}, {4, 23}}));
    p.setBrush(QColor(0xC8, 0x96, 0x1A));
    p.drawPolygon(polygon({{16, 14}, {28, 9}, {28, 23}, {16, 29}}));
    // The ribbon runs over the lid and down the right side.
    QPainterPath ribbon;
    ribbon.moveTo(10, 6.5);
    ribbon.lineTo(22, 11.5);
    ribbon.lineTo(22, 26);
    p.strokePath(ribbon, QPen(QColor(0xA0, 0x52, 0x2D), 2.4, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
}

void drawDangerCircle(QPainter& p)
{
    const QRectF disc(3, 3, 26, 26);
    p.setPen(outline(QColor(0x70, 0, 0)));
    p.setBrush(sphere(disc, QColor(0xFF, 0x7A, 0x6A), QColor(0xD0, 0x10, 0x10), QColor(0x9A, 0, 0)));
    p.drawEllipse(disc);
    p.setPen(outline(Qt::white, 3.6));
    p.drawLine(QPointF(11, 11), QPointF(21, 21));
    p.drawLine(QPointF(21, 11), QPointF(11, 21));
}

void drawInfoBubble(QPainter& p)
{
    QPainterPath bubble;
    bubble.addRoundedRect(QRectF(3, 4, 26, 19), 6, 6);
    bubble = bubble.united(polygonPath({{9, 21}, {7.5, 28.5}, {15.5, 22}}));
    p.setPen(outline(QColor(0x3A, 0x6E, 0xA5), 1.3));
    p.setBrush(vertical(4, 28, Qt::white, QColor(0xD8, 0xEA, 0xFF)));
    p.drawPath(bubble);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x1F, 0x5F, 0xBF));
    p.drawEllipse(QPointF(16, 8.6), 1.9, 1.9);
    p.drawRoundedRect(QRectF(14.3, 11.4, 3.4, 9), 1.2, 1.2);
}

// --- pictures of the details dialog ----------------------------------------------------

void drawWasteBasket(QPainter& p)
{
    const QPolygonF body = polygon({{7, 11}, {25, 11}, {23, 29.5}, {9, 29.5}});
    p.setPen(Qt::NoPen);
    p.setBrush(vertical(11, 29.5, QColor(0xD8, 0xDC, 0xE0), QColor(0xA8, 0xB0, 0xB8)));
    p.drawPolygon(body);

    // Wire mesh.
    p.save();
    QPainterPath clip;
    clip.addPolygon(body);
    p.setClipPath(clip);
    p.setPen(outline(QColor(0x7D, 0x87, 0x90), 0.8));
    for (qreal x = -14; x < 34; x += 4) {
        p.drawLine(QPointF(x, 11), QPointF(x + 19, 30));
        p.drawLine(QPointF(x + 19, 11), QPointF(x, 30));
    }
    p.restore();

    // Crumpled paper over the rim.
    p.setPen(outline(QColor(0x90, 0x90, 0x88), 0.9));
    p.setBrush(QColor(0xFA, 0xF6, 0xE8));
    p.drawEllipse(QPointF(13, 9.5), 3.6, 3.2);
    p.drawEllipse(QPointF(19.5, 8.8), 3.2, 3.0);

    p.setPen(outline(QColor(0x4D, 0x56, 0x5E), 1.2));
    p.setBrush(Qt::NoBrush);
    p.drawPolygon(body);
    p.setBrush(QColor(0x9A, 0xA3, 0xAB));
    p.drawRoundedRect(QRectF(6, 10, 20, 2.6), 1.2, 1.2);
}

void drawDoctor(QPainter& p)
{
    // White coat over the shoulders, blue scrubs at the collar.
    QPainterPath coat;
    coat.moveTo(4, 31);
    coat.cubicTo(4, 23, 8, 19.5, 16, 19.5);
    coat.cubicTo(24, 19.5, 28, 23, 28, 31);
    coat.closeSubpath();
    p.setPen(outline(QColor(0x7B, 0x8A, 0x96), 1.1));
    p.setBrush(vertical(19.5, 31, Qt::white, QColor(0xD8, 0xE0, 0xE6)));
    p.drawPath(coat);
    p.setBrush(QColor(0x4A, 0x7F, 0xC0));
    p.drawPolygon(polygon({{13.2, 19.8}, {18.8, 19.8}, {16, 25.5}}));

    // Head with hair and the head mirror.
    p.setPen(outline(QColor(0xA8, 0x79, 0x5A), 1.0));
    p.setBrush(QColor(0xF2, 0xC9, 0xA0));
    p.drawEllipse(QPointF(16, 12.5), 6, 6.3);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x5A, 0x3A, 0x22));
    p.drawChord(QRectF(9.8, 6, 12.4, 10), 15 * 16, 150 * 16);
    p.setPen(outline(QColor(0x66, 0x66, 0x66), 0.8));
    p.setBrush(sphere(QRectF(13.6, 5.6, 4.8, 4.8), Qt::white, QColor(0xD8, 0xD8, 0xD8), QColor(0x90, 0x90, 0x90)));
    p.drawEllipse(QRectF(13.6, 5.6, 4.8, 4.8));

    // The syringe, held up at the right.
    p.save();
    p.translate(24.5, 18.5);
    p.rotate(-50);
    p.setPen(outline(QColor(0x55, 0x55, 0x55), 0.8));
    p.drawLine(QPointF(4, 0), QPointF(9.5, 0));                 // needle
    p.setBrush(QColor(0x90, 0x90, 0x90));
    p.drawRect(QRectF(-10, -0.6, 4.2, 1.2));                    // plunger rod
    p.drawRect(QRectF(-11, -2.4, 1.2, 4.8));                    // thumb rest
    p.drawRect(QRectF(-6.5, -3, 0.9, 6));                       // finger grip
    p.setPen(outline(QColor(0x4A, 0x6A, 0x8A), 0.9));
    p.setBrush(QColor(0xDC, 0xEE, 0xFF));
    p.drawRect(QRectF(-5.8, -1.8, 9.8, 3.6));                   // barrel
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x4F, 0xC0, 0x60));
    p.drawRect(QRectF(-1.5, -1.3, 5.3, 2.6));                   // medicine
    p.restore();
}

void drawCardboardBox(QPainter& p)
{
    const QColor edge(0x6B, 0x4A, 0x24);
    p.setPen(outline(edge, 1.0));
    p.setBrush(QColor(0xDB, 0xB4, 0x7C));
    p.drawPolygon(polygon({{4, 12}, {16, 7}, {14, 2.5}, {2, 7.5}}));      // back flaps
    p.drawPolygon(polygon({{16, 7}, {28, 12}, {30, 7.5}, {18, 2.5}}));
    p.setBrush(QColor(0x7A, 0x55, 0x30));
    p.drawPolygon(polygon({{4, 12}, {16, 7}, {28, 12}, {16, 17}}));       // inside
    p.setBrush(QColor(0xC9, 0x9A, 0x5E));
    p.drawPolygon(polygon({{4, 12}, {16, 17}, {16, 30}, {4, 25}}));       // front faces
    p.setBrush(QColor(0xB0, 0x82, 0x4A));
    p.drawPolygon(polygon({{16, 17}, {28, 12}, {28, 25}, {16, 30}}));
    p.setBrush(QColor(0xE2, 0xC0, 0x8C));
    p.drawPolygon(polygon({{4, 12}, {16, 17}, {13.5, 21.5}, {1.5, 16.5}})); // open front flaps
    p.drawPolygon(polygon({{16, 17}, {28, 12}, {30.5, 16.5}, {18.5, 21.5}}));
}

void drawDocumentWithBubble(QPainter& p)
{
    drawPage(p, QRectF(3, 2.5, 17, 25), true);
    QPainterPath bubble;
    bubble.addRoundedRect(QRectF(13, 14.5, 17, 11), 4, 4);
    bubble = bubble.united(polygonPath({{17, 24}, {15.5, 30}, {22, 25}}));
    p.setPen(outline(QColor(0xB0, 0x90, 0x2A), 1.1));
    p.setBrush(vertical(14.5, 30, QColor(0xFF, 0xFB, 0xD8), QColor(0xFF, 0xEC, 0x9A)));
    p.drawPath(bubble);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x8A, 0x6A, 0x10));
    for (qreal x : {17.5, 21.5, 25.5}) p.drawEllipse(QPointF(x, 20), 1.1, 1.1);
}

void drawWindowWithClock(QPainter& p)
{
    const QRectF frame(2, 4, 24, 20);
    p.setPen(outline(QColor(0x1D, 0x3F, 0x7A), 1.0));
    p.setBrush(Qt::white);
    p.drawRect(frame);
    p.setBrush(vertical(4, 9, QColor(0x4A, 0x80, 0xD8), QColor(0x1F, 0x4E, 0xA0)));
    p.drawRect(QRectF(2, 4, 24, 5));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xE8, 0xE8, 0xE8));
    for (qreal x : {19.0, 22.2}) p.drawRect(QRectF(x, 5.3, 2.4, 2.4));
    p.setPen(outline(QColor(0xB0, 0xB8, 0xC4), 1.0));
    for (qreal y : {12.0, 15.0, 18.0}) p.drawLine(QPointF(4.5, y), QPointF(13, y));

    const QPointF centre(22, 21.5);
    const qreal radius = 8;
    p.setPen(outline(QColor(0x44, 0x44, 0x44), 1.3));
    p.setBrush(sphere(QRectF(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius), Qt::white,
                      QColor(0xF4, 0xF4, 0xF0), QColor(0xC8, 0xC8, 0xC0)));
    p.drawEllipse(centre, radius, radius);
    p.setPen(outline(QColor(0x44, 0x44, 0x44), 1.0));
    const QPointF hours[] = {{0, -1}, {1, 0}, {0, 1}, {-1, 0}};
    for (const QPointF& d : hours) p.drawLine(centre + d * (radius - 2.6), centre + d * (radius - 1.2));
    p.setPen(outline(QColor(0x22, 0x22, 0x22), 1.4));
    p.drawLine(centre, centre + QPointF(0, -5.2));
    p.drawLine(centre, centre + QPointF(3.8, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xD0, 0x20, 0x20));
    p.drawEllipse(centre, 1.1, 1.1);
}

void drawMediaPlayer(QPainter& p)
{
    p.setPen(outline(QColor(0x10, 0x10, 0x14), 1.0));
    p.setBrush(vertical(6, 27, QColor(0x4C, 0x50, 0x58), QColor(0x1E, 0x20, 0x25)));
    p.drawRoundedRect(QRectF(3, 6, 26, 21), 3, 3);
    p.setPen(Qt::NoPen);
    p.setBrush(vertical(8.5, 20.5, QColor(0x3A, 0x80, 0xE6), QColor(0x0D, 0x2F, 0x6B)));
    p.drawRect(QRectF(5.5, 8.5, 21, 12));
    p.setBrush(Qt::white);
    p.drawPolygon(polygon({{14, 11.3}, {14, 17.7}, {19.6, 14.5}}));
    p.setPen(outline(QColor(0x90, 0x94, 0x9C), 1.2));
    p.drawLine(QPointF(6.5, 23.6), QPointF(25.5, 23.6));
    p.setPen(outline(QColor(0xFF, 0x9A, 0x20), 1.2));
    p.drawLine(QPointF(6.5, 23.6), QPointF(13, 23.6));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xFF, 0xB0, 0x40));
    p.drawEllipse(QPointF(13, 23.6), 1.4, 1.4);
}

} // namespace

QPixmap categoryIcon(int index, int size)
{
    switch (index) {
    case 0: return drawn(size, [](QPainter& p) { drawPage(p, QRectF(7, 3, 19, 26), false); });
    case 1: return drawn(size, drawRecycleBin);
    case 2:
        return drawn(size, [](QPainter& p) {
            drawGlobe(p, QColor(0xA8, 0xD8, 0xFF), QColor(0x2A, 0x7F, 0xE0), QColor(0x10, 0x40, 0x90), true);
        });
    case 3: return drawn(size, drawGoldenPackage);
    case 4: return drawn(size, drawDangerCircle);
    case 5: return drawn(size, [](QPainter& p) { drawClipboard(p, false); });
    case 6: return drawn(size, drawInfoBubble);
    case 7: return drawn(size, drawRegistryBlocks);
    default: return {};
    }
}

QPixmap alertLow(int size)
{
    return drawn(size, [](QPainter& p) {
        QPainterPath tick;
        tick.moveTo(6, 17);
        tick.lineTo(13, 24);
        tick.lineTo(26, 8);
        boldStroke(p, tick, QColor(0x1E, 0x6B, 0x1E), QColor(0x3C, 0xC2, 0x3C), 4.2);
    });
}

QPixmap alertMedium(int size)
{
    return drawn(size, [](QPainter& p) {
        p.setPen(outline(QColor(0x8A, 0x6A, 0x00), 1.5));
        p.setBrush(vertical(3, 28, QColor(0xFF, 0xEE, 0x60), QColor(0xF0, 0xB4, 0x00)));
        p.drawPolygon(polygon({{16, 3}, {30, 28}, {2, 28}}));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x22, 0x22, 0x22));
        p.drawRoundedRect(QRectF(14.4, 10, 3.2, 10.5), 1.6, 1.6);
        p.drawEllipse(QPointF(16, 24), 1.9, 1.9);
    });
}

QPixmap alertHigh(int size)
{
    return drawn(size, [](QPainter& p) {
        QPainterPath cross;
        cross.moveTo(7, 7);
        cross.lineTo(25, 25);
        cross.moveTo(25, 7);
        cross.lineTo(7, 25);
        boldStroke(p, cross, QColor(0x7A, 0, 0), QColor(0xE0, 0x20, 0x20), 5);
    });
}

QPixmap alertUnknown(int size)
{
    return drawn(size, [](QPainter& p) {
        const QRectF disc(2, 2, 28, 28);
        p.setPen(outline(QColor(0x0C, 0x2E, 0x70)));
        p.setBrush(sphere(disc, QColor(0x8F, 0xC4, 0xFF), QColor(0x1F, 0x5F, 0xD0), QColor(0x12, 0x3F, 0x99)));
        p.drawEllipse(disc);
        QPainterPath mark;
        mark.moveTo(11.3, 12);
        mark.arcTo(QRectF(11.3, 7.3, 9.4, 9.4), 180, -225);
        mark.lineTo(16, 17.8);
        mark.lineTo(16, 19.4);
        p.strokePath(mark, outline(Qt::white, 3.2));
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(16, 24.2), 1.9, 1.9);
    });
}

QPixmap detailsCategory(int code, int size)
{
    switch (code) {
    case 1:
        return drawn(size, [](QPainter& p) {
            drawGlobe(p, QColor(0xB8, 0xF0, 0xA8), QColor(0x2E, 0xA8, 0x3A), QColor(0x10, 0x60, 0x18), false);
        });
    case 2: return drawn(size, drawWasteBasket);
    case 3: return drawn(size, [](QPainter& p) { drawClipboard(p, true); });
    case 4: return drawn(size, drawDoctor);
    case 5: return drawn(size, drawRegistryBlocks);
    case 6: return drawn(size, drawCardboardBox);
    case 7: return drawn(size, drawDocumentWithBubble);
    case 8: return drawn(size, drawWindowWithClock);
    case 9: return drawn(size, drawMediaPlayer);
    default: return {};
    }
}

QIcon applicationIcon()
{
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256}) icon.addPixmap(drawn(size, drawBroom));
    return icon;
}

QPixmap logo(int width, int height)
{
    if (width <= 0 || height <= 0) return {};
    QPixmap pixmap(width, height);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    const QRectF area(0, 0, width, height);
    QLinearGradient sky(0, 0, 0, height);
    sky.setColorAt(0, QColor(0x4A, 0x90, 0xE2));
    sky.setColorAt(0.5, QColor(0x1F, 0x5F, 0xB8));
    sky.setColorAt(1, QColor(0x0E, 0x33, 0x70));
    p.fillRect(area, sky);
    // A soft gloss over the upper half.
    p.fillRect(QRectF(0, 0, width, height / 2.0), QColor(255, 255, 255, 28));
    p.fillRect(QRectF(0, height - qMax(1.0, height / 30.0), width, qMax(1.0, height / 30.0)),
               QColor(0xF5, 0xC0, 0x40));

    const qreal margin = height * 0.1;
    const qreal iconSize = height - 2 * margin;
    p.save();
    p.translate(margin, margin);
    p.scale(iconSize / grid, iconSize / grid);
    drawBroom(p);
    p.restore();

    const QString text = QStringLiteral("Miotlarz 9.0 Professional");
    const QRectF textArea(margin * 2 + iconSize, 0, width - margin * 3 - iconSize, height);
    if (textArea.width() <= 0) return pixmap;
    QFont font;
    font.setBold(true);
    font.setItalic(true);
    // The largest size at which the text fits the space beside the broom.
    qreal pixels = height * 0.45;
    for (; pixels > 4; pixels *= 0.92) {
        font.setPixelSize(int(pixels));
        if (QFontMetricsF(font).horizontalAdvance(text) <= textArea.width()) break;
    }
    font.setPixelSize(qMax(1, int(pixels)));
    p.setFont(font);
    const qreal shadow = qMax(1.0, pixels / 14);
    p.setPen(QColor(0, 0, 0, 120));
    p.drawText(textArea.translated(shadow, shadow), Qt::AlignVCenter | Qt::AlignLeft, text);
    p.setPen(Qt::white);
    p.drawText(textArea, Qt::AlignVCenter | Qt::AlignLeft, text);
    return pixmap;
}

} // namespace mtl::ui::pictures
