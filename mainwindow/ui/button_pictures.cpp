#include "mainwindow/ui/button_pictures.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

namespace nimbra {
namespace {

const QColor Ink(0x20, 0x30, 0x70);
const QColor Glass(0xd8, 0xe8, 0xff);

// A magnifying glass: lens at the upper left, handle to the lower right, the sign in the lens.
void DrawMagnifier(QPainter& painter, double size, bool plus)
{
    const QPointF centre(size * 0.42, size * 0.42);
    const double radius = size * 0.30;
    painter.setPen(QPen(Ink, size * 0.14, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(size * 0.64, size * 0.64), QPointF(size * 0.90, size * 0.90));
    painter.setPen(QPen(Ink, size * 0.08));
    painter.setBrush(Glass);
    painter.drawEllipse(centre, radius, radius);
    painter.setPen(QPen(Ink, size * 0.09, Qt::SolidLine, Qt::FlatCap));
    const double arm = radius * 0.6;
    painter.drawLine(centre - QPointF(arm, 0), centre + QPointF(arm, 0));
    if (plus) painter.drawLine(centre - QPointF(0, arm), centre + QPointF(0, arm));
}

// An arrow pointing right, turned by the given angle in degrees (clockwise).
void DrawArrow(QPainter& painter, double size, double angle)
{
    painter.translate(size / 2, size / 2);
    painter.rotate(angle);
    const double s = size / 2;
    const QPolygonF arrow({QPointF(-0.80 * s, -0.22 * s), QPointF(0.05 * s, -0.22 * s), QPointF(0.05 * s, -0.62 * s),
                           QPointF(0.85 * s, 0), QPointF(0.05 * s, 0.62 * s), QPointF(0.05 * s, 0.22 * s),
                           QPointF(-0.80 * s, 0.22 * s)});
    painter.setPen(QPen(Ink, size * 0.05, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.setBrush(QColor(0x30, 0x60, 0xc0));
    painter.drawPolygon(arrow);
}

}  // namespace

QPixmap DrawButtonPicture(ButtonPicture picture, int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const double length = size;
    switch (picture) {
    case ButtonPicture::ZoomOut: DrawMagnifier(painter, length, false); break;
    case ButtonPicture::ZoomIn: DrawMagnifier(painter, length, true); break;
    case ButtonPicture::ArrowRight: DrawArrow(painter, length, 0); break;
    case ButtonPicture::ArrowDown: DrawArrow(painter, length, 90); break;
    case ButtonPicture::ArrowLeft: DrawArrow(painter, length, 180); break;
    case ButtonPicture::ArrowUp: DrawArrow(painter, length, 270); break;
    }
    return pixmap;
}

}  // namespace nimbra
