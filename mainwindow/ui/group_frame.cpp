#include "mainwindow/ui/group_frame.h"

#include <QPainter>
#include <QStyle>
#include <qdrawutil.h>

namespace nimbra {

void GroupFrame::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QFontMetrics metrics(font());
    // The caption's blanks become the gap in the line around it. Its width is the one the
    // painter lays it out with: at a larger scale the text is a little wider than measured in
    // whole pixels of the window, and would run into the line.
    const QString caption = title().trimmed();
    const int blank = metrics.horizontalAdvance(QLatin1Char(' '));
    const int left = metrics.averageCharWidth() + 2 + blank;
    const QRectF text = painter.boundingRect(QRectF(left, 0, 0, metrics.height()),
                                             Qt::AlignLeft | Qt::AlignTop | Qt::TextShowMnemonic, caption);

    // An etched line, broken where the caption stands.
    painter.save();
    painter.setClipRegion(QRegion(rect()).subtracted(text.adjusted(-blank - 2, 0, blank + 2, 0).toAlignedRect()));
    qDrawShadeRect(&painter, rect().adjusted(0, metrics.height() / 2, 0, 0), palette(), true, 1);
    painter.restore();
    style()->drawItemText(&painter, text.toAlignedRect(), Qt::AlignLeft | Qt::TextShowMnemonic, palette(), isEnabled(),
                          caption, QPalette::WindowText);
}

}  // namespace nimbra
