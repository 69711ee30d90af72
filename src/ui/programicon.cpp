#include "ui/programicon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

QPixmap DrawIcon(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    // Tag.
    p.setPen(QPen(QColor(0x80, 0x50, 0x00), 1.5));
    p.setBrush(QColor(0xF5, 0xC0, 0x40));
    QPainterPath tag;
    tag.moveTo(3, 12);
    tag.lineTo(11, 4);
    tag.lineTo(29, 4);
    tag.lineTo(29, 20);
    tag.lineTo(11, 20);
    tag.closeSubpath();
    p.drawPath(tag);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(10, 12), 2, 2);
    // Aircraft.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x1A, 0x4A, 0x9A));
    QPainterPath plane;
    plane.moveTo(4, 26);
    plane.lineTo(28, 22);
    plane.lineTo(30, 24);
    plane.lineTo(20, 26);
    plane.lineTo(24, 31);
    plane.lineTo(21, 31);
    plane.lineTo(15, 27);
    plane.lineTo(8, 28);
    plane.closeSubpath();
    p.drawPath(plane);
    return pixmap;
}

} // namespace

QIcon ProgramIcon()
{
    QIcon icon;
    icon.addPixmap(DrawIcon(16));
    icon.addPixmap(DrawIcon(32));
    icon.addPixmap(DrawIcon(64));
    return icon;
}
