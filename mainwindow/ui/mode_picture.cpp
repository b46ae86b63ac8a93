#include "mainwindow/ui/mode_picture.h"

#include "mainwindow/mode_picture_colours.h"

#include <QPainter>

namespace nimbra {

ModePicture::ModePicture(QWidget* parent)
    : QWidget(parent), picture_(ModePictureWidth, ModeStripHeight, QImage::Format_RGB32)
{
    picture_.fill(Qt::white);
}

void ModePicture::PaintColumns(const std::vector<Rgb>& columns)
{
    const int count = std::min(static_cast<int>(columns.size()), picture_.width());
    for (int x = 0; x < count; ++x) {
        const QRgb colour = qRgb(columns[x].Red, columns[x].Green, columns[x].Blue);
        for (int y = 0; y < picture_.height(); ++y) picture_.setPixel(x, y, colour);
    }
    update();
}

void ModePicture::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const double scale = static_cast<double>(width()) / ModePictureWidth;
    painter.drawImage(QRectF(0, 0, width(), picture_.height() * scale), picture_);
}

}  // namespace nimbra
