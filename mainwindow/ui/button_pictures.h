#pragma once
#include <QPixmap>

namespace nimbra {

enum class ButtonPicture { ZoomOut, ZoomIn, ArrowLeft, ArrowRight, ArrowUp, ArrowDown };

// The picture of a zoom or scroll button, drawn in code, size x size pixels on transparent ground.
QPixmap DrawButtonPicture(ButtonPicture picture, int size);

}  // namespace nimbra
