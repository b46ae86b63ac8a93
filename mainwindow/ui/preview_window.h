#pragma once
#include "mainwindow/preview_link.h"
#include "mainwindow/region_edit.h"

#include <QImage>
#include <QWidget>

#include <cstdint>

namespace nimbra {

// The preview window: shows a run as it computes, and lets the user drag a rectangle over
// the picture that becomes the region of the next run. Created hidden, lives to the end.
class TPreView final : public QWidget, public OwnedPreview {
    Q_OBJECT

public:
    static constexpr int InitialClientSize = 255;

    explicit TPreView(PreviewOwner& owner);

    PreviewSize ClientSize() const override;
    void ClearToWhite() override;
    void SetPixel(std::int32_t x, std::int32_t y, Rgb colour) override;
    void Show() override;
    void Close() override;
    bool EverShown() const override { return everShown_; }

    const QImage& Canvas() const { return canvas_; }
    SelectionCorners Selection() const { return {SelStartX, SelStartY, SelEndX, SelEndY}; }

    std::int32_t SelStartX = 0;
    std::int32_t SelStartY = 0;
    std::int32_t SelEndX = 0;
    std::int32_t SelEndY = 0;
    bool Selecting = false;

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void FormShow();
    void FormClose();
    void FormResize();
    void FormMouseDown(std::int32_t x, std::int32_t y);
    void FormMouseMove(std::int32_t x, std::int32_t y);
    void FormMouseUp();
    void DrawSelection();
    void Repaint();

    PreviewOwner& owner_;
    bool everShown_ = false;
    QImage canvas_;  // what the window shows; the run and the rubber band draw into it
    bool repaintPending_ = false;
};

}  // namespace nimbra
