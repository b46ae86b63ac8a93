#include "mainwindow/ui/constant_box.h"

#include <QAbstractItemView>
#include <QStyle>

#include <algorithm>

namespace nimbra {

ConstantBox::ConstantBox(QWidget* parent) : QComboBox(parent)
{
    setEditable(true);
    // The history is kept by the program (on leaving the field), never by the box itself.
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr);
    view()->setFont(font());
}

void ConstantBox::showPopup()
{
    QAbstractItemView* list = view();
    for (; measuredRows_ < count(); ++measuredRows_)
        widestItem_ = std::max(widestItem_, list->sizeHintForIndex(model()->index(measuredRows_, 0)).width());
    const int scrollBar = list->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, list);
    list->setMinimumWidth(widestItem_ + 2 * list->frameWidth() + scrollBar);
    QComboBox::showPopup();
}

}  // namespace nimbra
