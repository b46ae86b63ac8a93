#include "common/ui/caption_width.h"

#include <QFontMetrics>
#include <QStyle>
#include <QWidget>

namespace nimbra {

int CaptionWidth(const QWidget& window)
{
    QFont font = window.font();
    font.setBold(true);
    // The icon and up to three buttons, each about as wide as the title bar is high, with the
    // margins around them and the caption.
    const int titleBarButton = window.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &window);
    return QFontMetrics(font).horizontalAdvance(window.windowTitle()) + 6 * titleBarButton;
}

}  // namespace nimbra
