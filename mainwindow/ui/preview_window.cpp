#include "mainwindow/ui/preview_window.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

namespace nimbra {

TPreView::TPreView(PreviewOwner& owner)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      owner_(owner),
      canvas_(InitialClientSize, InitialClientSize, QImage::Format_RGB32)
{
    setWindowTitle(QStringLiteral("PreView"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    canvas_.fill(Qt::white);
    resize(InitialClientSize, InitialClientSize);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

PreviewSize TPreView::ClientSize() const { return {width(), height()}; }

void TPreView::ClearToWhite()
{
    canvas_.fill(Qt::white);
    Repaint();
}

void TPreView::SetPixel(std::int32_t x, std::int32_t y, Rgb colour)
{
    // The window may have been made smaller while the run goes on.
    if (x < 0 || y < 0 || x >= canvas_.width() || y >= canvas_.height()) return;
    reinterpret_cast<QRgb*>(canvas_.scanLine(y))[x] = qRgb(colour.Red, colour.Green, colour.Blue);
    Repaint();
}

void TPreView::Show()
{
    show();
    raise();
    activateWindow();
}

void TPreView::Close()
{
    // A hidden window gets no close event; a stopped file run closes it by the same rule.
    if (isVisible())
        close();
    else
        FormClose();
}

// One repaint is asked for until it has happened, so that drawing pixel by pixel stays cheap.
void TPreView::Repaint()
{
    if (repaintPending_) return;
    repaintPending_ = true;
    update();
}

void TPreView::paintEvent(QPaintEvent*)
{
    repaintPending_ = false;
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    painter.drawImage(0, 0, canvas_);
}

void TPreView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

void TPreView::closeEvent(QCloseEvent* event)
{
    FormClose();
    event->accept();
}

void TPreView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (size() != canvas_.size()) {
        QImage resized(size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
        resized.fill(Qt::white);
        QPainter(&resized).drawImage(0, 0, canvas_);
        canvas_ = resized;
        Repaint();
    }
    FormResize();
}

void TPreView::mousePressEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    FormMouseDown(at.x(), at.y());
}

void TPreView::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    FormMouseMove(at.x(), at.y());
}

void TPreView::mouseReleaseEvent(QMouseEvent*) { FormMouseUp(); }

void TPreView::FormShow()
{
    everShown_ = true;
    SelStartX = SelStartY = SelEndX = SelEndY = 0;
    Selecting = false;
}

void TPreView::FormClose()
{
    owner_.PreviewClosing();
    if (SelEndX <= 0) return;
    owner_.SelectionKeptForFile(Selection());
    // Two size changes, width first; each may start a run through FormResize.
    resize(InitialClientSize, height());
    resize(width(), InitialClientSize);
}

void TPreView::FormResize()
{
    if (everShown_) owner_.PreviewResized();
}

void TPreView::FormMouseDown(std::int32_t x, std::int32_t y)
{
    SelStartX = SelEndX = x;
    SelStartY = SelEndY = y;
    DrawSelection();
    Selecting = true;
}

void TPreView::FormMouseMove(std::int32_t x, std::int32_t y)
{
    if (!Selecting) return;
    DrawSelection();  // drawn a second time, the old rectangle disappears
    SelEndX = x;
    SelEndY = y;
    DrawSelection();
}

void TPreView::FormMouseUp()
{
    Selecting = false;
    if (SelEndX <= 0) return;
    owner_.SelectionReleased(Selection());
}

// A dotted outline that inverts what lies under it: drawing it twice restores the picture.
void TPreView::DrawSelection()
{
    QPainter painter(&canvas_);
    painter.setCompositionMode(QPainter::RasterOp_NotSourceXorDestination);
    QPen pen(Qt::black, 1);
    pen.setCosmetic(true);
    pen.setDashPattern({1, 1});
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRect(QPoint(SelStartX, SelStartY), QPoint(SelEndX, SelEndY)).normalized());
    Repaint();
}

}  // namespace nimbra
