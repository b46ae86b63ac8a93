#pragma once
#include <QGroupBox>

namespace nimbra {

// A group box whose caption sits in the top line of its frame, so that the contents can
// start just below the caption as the layout places them.
class GroupFrame final : public QGroupBox {
public:
    using QGroupBox::QGroupBox;

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace nimbra
