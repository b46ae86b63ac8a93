#pragma once
#include "common/rgb.h"

#include <QImage>
#include <QWidget>

#include <vector>

namespace nimbra {

// The picture under the colour-model buttons: a strip of ModeStripHeight rows, one colour per
// column, over the window's ground. Kept at 96-dpi size and drawn scaled.
class ModePicture final : public QWidget {
    Q_OBJECT
public:
    explicit ModePicture(QWidget* parent);

    // Paints rows 0 to 19 of each column from the left; further columns keep their colour.
    void PaintColumns(const std::vector<Rgb>& columns);
    const QImage& Picture() const { return picture_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage picture_;
};

}  // namespace nimbra
