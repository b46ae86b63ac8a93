#pragma once
#include <QComboBox>

namespace nimbra {

// An editable box of Julia constants. Its list, a window of its own, takes the box's font and
// is as wide as its longest item (room for a scroll bar included) rather than eliding it. Each
// item is measured once, when the list is first opened after it came: measuring at start-up,
// or the whole list at every insert, made the window slow to start with a long history.
// A screen reader hears it by its accessible name, as any other field, and its text as its value.
class ConstantBox final : public QComboBox {
    Q_OBJECT
public:
    explicit ConstantBox(QWidget* parent);
    void showPopup() override;

private:
    int measuredRows_ = 0;  // the history only grows, so the rows measured stay the first ones
    int widestItem_ = 0;
};

}  // namespace nimbra
