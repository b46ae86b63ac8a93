#pragma once
#include <QCheckBox>

namespace nimbra {

// A check box whose caption wraps onto as many lines as its width needs; the box stands
// vertically centred before the text, and a click anywhere on the control toggles it.
class WrappingCheckBox final : public QCheckBox {
public:
    using QCheckBox::QCheckBox;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& position) const override;
};

}  // namespace nimbra
