#include "ui/glyphs.h"

#include <QPainter>
#include <QPainterPath>
#include <cmath>

namespace pf {

namespace {

const QColor kInk(40, 40, 40);
const QColor kBlue(30, 90, 200);
const QColor kRed(200, 40, 40);
const QColor kGreen(40, 150, 60);
const QColor kYellow(240, 200, 60);

void Arrow(QPainter& p, QPointF tip, double angleDeg, double size)
{
    const double a = angleDeg * M_PI / 180;
    QPointF l(tip.x() - size * std::cos(a - 0.5), tip.y() - size * std::sin(a - 0.5));
    QPointF r(tip.x() - size * std::cos(a + 0.5), tip.y() - size * std::sin(a + 0.5));
    QPolygonF head{tip, l, r};
    p.setBrush(p.pen().color());
    p.drawPolygon(head);
    p.setBrush(Qt::NoBrush);
}

void Spiral(QPainter& p, bool clockwise)
{
    QPainterPath path;
    const QPointF c(12, 10);
    for (int i = 0; i <= 60; ++i) {
        double t = i / 60.0 * 3.0 * M_PI;
        double rad = 1 + t * 0.85;
        double a = clockwise ? t : -t;
        QPointF pt(c.x() + rad * std::cos(a), c.y() + rad * std::sin(a));
        if (i == 0)
            path.moveTo(pt);
        else
            path.lineTo(pt);
    }
    p.drawPath(path);
    Arrow(p, path.currentPosition(), clockwise ? 90 + 3 * 180 : -90 - 3 * 180, 4);
}

void Draw(QPainter& p, const QString& n)
{
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kInk, 1.4));
    if (n == "open") {
        p.setBrush(kYellow);
        p.drawPolygon(QPolygonF{{3, 6}, {9, 6}, {11, 8}, {20, 8}, {20, 17}, {3, 17}});
        p.setBrush(QColor(250, 225, 120));
        p.drawPolygon(QPolygonF{{5, 11}, {22, 11}, {20, 17}, {3, 17}});
    } else if (n == "save") {
        p.setBrush(kBlue);
        p.drawRect(QRectF(5, 2.5, 14, 15));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(8, 2.5, 8, 5));
        p.drawRect(QRectF(7.5, 11, 9, 6.5));
    } else if (n == "undo" || n == "redo") {
        const bool undo = n == "undo";
        p.setPen(QPen(kBlue, 2));
        QPainterPath path;
        path.moveTo(undo ? 18 : 6, 16);
        path.cubicTo(undo ? 22 : 2, 6, undo ? 10 : 14, 4, undo ? 6 : 18, 9);
        p.drawPath(path);
        p.setPen(QPen(kBlue, 1));
        Arrow(p, QPointF(undo ? 4 : 20, 11), undo ? 150 : 30, 6);
    } else if (n == "restore") {
        p.setBrush(QColor(220, 235, 250));
        p.drawRect(QRectF(4, 4, 16, 12));
        p.setPen(QPen(kGreen, 2));
        p.drawArc(QRectF(7, 5, 10, 10), 60 * 16, 280 * 16);
        p.setPen(QPen(kGreen, 1));
        Arrow(p, QPointF(15, 5.5), 20, 4);
    } else if (n == "zoomout" || n == "zoomin") {
        p.setBrush(Qt::white);
        p.drawEllipse(QRectF(3, 2, 12, 12));
        p.setPen(QPen(kInk, 2.5));
        p.drawLine(QPointF(13.5, 12.5), QPointF(20, 18));
        p.setPen(QPen(kInk, 1.6));
        p.drawLine(QPointF(6, 8), QPointF(12, 8));
        if (n == "zoomin")
            p.drawLine(QPointF(9, 5), QPointF(9, 11));
    } else if (n == "select") {
        p.setPen(QPen(kInk, 1, Qt::DashLine));
        p.drawRect(QRectF(3.5, 3.5, 17, 13));
        p.setPen(QPen(kInk, 1));
        p.drawLine(QPointF(12, 7), QPointF(12, 13));
        p.drawLine(QPointF(9, 10), QPointF(15, 10));
    } else if (n == "crop") {
        p.setPen(QPen(kInk, 2));
        p.drawPolyline(QPolygonF{{7, 2}, {7, 14}, {21, 14}});
        p.drawPolyline(QPolygonF{{3, 6}, {17, 6}, {17, 18}});
    } else if (n == "print") {
        p.setBrush(Qt::white);
        p.drawRect(QRectF(7, 2, 10, 7));
        p.setBrush(QColor(160, 160, 170));
        p.drawRect(QRectF(3, 8, 18, 7));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(7, 12, 10, 6));
    } else if (n == "mail") {
        p.setBrush(Qt::white);
        p.drawRect(QRectF(3, 4, 18, 12));
        p.drawPolyline(QPolygonF{{3, 4}, {12, 11}, {21, 4}});
    } else if (n == "online") {
        p.setBrush(QColor(120, 180, 240));
        p.drawEllipse(QRectF(4, 2, 16, 16));
        p.drawEllipse(QRectF(8.5, 2, 7, 16));
        p.drawLine(QPointF(4, 10), QPointF(20, 10));
    } else if (n == "expand" || n == "shrink") {
        const bool out = n == "expand";
        p.setBrush(out ? QColor(255, 225, 180) : QColor(200, 225, 250));
        p.drawEllipse(out ? QRectF(2.5, 0.5, 19, 19) : QRectF(6, 4, 12, 12));
        p.setPen(QPen(out ? kRed : kBlue, 1.6));
        for (int i = 0; i < 4; ++i) {
            const double deg = 45 + 90 * i, a = deg * M_PI / 180;
            const QPointF inner(12 + (out ? 2 : 3.5) * std::cos(a), 10 + (out ? 2 : 3.5) * std::sin(a));
            const QPointF outer(12 + 9.5 * std::cos(a), 10 + 9.5 * std::sin(a));
            p.drawLine(inner, outer);
            Arrow(p, out ? outer : inner, out ? deg : deg + 180, 4.5);
        }
    } else if (n == "twistright" || n == "twistleft") {
        p.setPen(QPen(kBlue, 1.4));
        Spiral(p, n == "twistright");
    } else if (n == "smear") {
        p.setPen(QPen(QColor(190, 120, 60), 4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(4, 15), QPointF(14, 8));
        p.setPen(QPen(kInk, 1.2));
        p.setBrush(QColor(230, 230, 230));
        p.drawPolygon(QPolygonF{{14, 8}, {20, 2}, {22, 4}, {16, 10}});
    } else if (n == "pen") {
        p.setBrush(kInk);
        p.drawPolygon(QPolygonF{{4, 18}, {6, 12}, {17, 1}, {21, 5}, {10, 16}});
        p.setBrush(Qt::white);
        p.drawPolygon(QPolygonF{{4, 18}, {6, 12}, {10, 16}});
    } else if (n == "pencil") {
        p.setBrush(kYellow);
        p.drawPolygon(QPolygonF{{6, 12}, {17, 1}, {21, 5}, {10, 16}});
        p.setBrush(QColor(240, 210, 170));
        p.drawPolygon(QPolygonF{{4, 18}, {6, 12}, {10, 16}});
    } else if (n == "redeye") {
        p.setBrush(Qt::white);
        p.drawEllipse(QRectF(2, 5, 20, 10));
        p.setBrush(kRed);
        p.drawEllipse(QRectF(8, 6, 8, 8));
        p.setBrush(Qt::black);
        p.drawEllipse(QRectF(10.5, 8.5, 3, 3));
    } else if (n == "eraser") {
        p.setBrush(QColor(240, 150, 170));
        p.drawPolygon(QPolygonF{{3, 14}, {12, 5}, {20, 10}, {11, 19}});
        p.setBrush(Qt::white);
        p.drawPolygon(QPolygonF{{3, 14}, {7, 10}, {15, 15}, {11, 19}});
    }
}

QPixmap Greyed(const QPixmap& src)
{
    QImage img = src.toImage().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < img.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            int g = qGray(row[x]);
            g = 128 + g / 2;
            row[x] = qRgba(g, g, g, qAlpha(row[x]) / 2);
        }
    }
    return QPixmap::fromImage(img);
}

}  // namespace

QPixmap Glyph(const QString& name)
{
    QPixmap pm(24, 20);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    Draw(p, name);
    return pm;
}

QPixmap GlyphPair(const QString& name)
{
    QPixmap g = Glyph(name);
    QPixmap pair(48, 20);
    pair.fill(Qt::transparent);
    QPainter p(&pair);
    p.drawPixmap(0, 0, g);
    p.drawPixmap(24, 0, Greyed(g));
    return pair;
}

QIcon GlyphIcon(const QString& name, bool twoImages)
{
    QIcon icon;
    if (twoImages) {
        QPixmap pair = GlyphPair(name);
        icon.addPixmap(pair.copy(0, 0, 24, 20), QIcon::Normal);
        icon.addPixmap(pair.copy(24, 0, 24, 20), QIcon::Disabled);
    } else {
        icon.addPixmap(Glyph(name), QIcon::Normal);
    }
    return icon;
}

QIcon AppIcon()
{
    return QIcon(":/pullface.svg");
}

}  // namespace pf
