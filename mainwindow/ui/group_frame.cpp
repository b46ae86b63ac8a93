#include "mainwindow/ui/group_frame.h"

#include <QPainter>
#include <QStyle>
#include <qdrawutil.h>

namespace nimbra {

void GroupFrame::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QFontMetrics metrics(font());
    const QRect caption(metrics.averageCharWidth() + 2, 0, metrics.horizontalAdvance(title()), metrics.height());

    // An etched line, broken where the caption stands.
    painter.save();
    painter.setClipRegion(QRegion(rect()).subtracted(caption.adjusted(-2, 0, 2, 0)));
    qDrawShadeRect(&painter, rect().adjusted(0, metrics.height() / 2, 0, 0), palette(), true, 1);
    painter.restore();
    style()->drawItemText(&painter, caption, Qt::AlignLeft | Qt::TextShowMnemonic, palette(), isEnabled(), title(),
                          QPalette::WindowText);
}

}  // namespace nimbra
