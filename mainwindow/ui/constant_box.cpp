#include "mainwindow/ui/constant_box.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QStyle>

#include <algorithm>

namespace nimbra {
namespace {

// On this platform Qt names a combo box by the value it holds and leaves its name to a label
// beside it; i0 has none (one label, "Konstanten", stands before both boxes), so both would be
// read as their numbers.
class ConstantBoxAccessible final : public QAccessibleWidget {
public:
    explicit ConstantBoxAccessible(QWidget* box) : QAccessibleWidget(box, QAccessible::ComboBox) {}

    QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Value) return static_cast<const QComboBox*>(widget())->currentText();
        return QAccessibleWidget::text(kind);
    }
};

QAccessibleInterface* ConstantBoxInterface(const QString& className, QObject* object)
{
    if (className != QLatin1String(ConstantBox::staticMetaObject.className())) return nullptr;
    return new ConstantBoxAccessible(static_cast<QWidget*>(object));
}

}  // namespace

ConstantBox::ConstantBox(QWidget* parent) : QComboBox(parent)
{
    QAccessible::installFactory(ConstantBoxInterface);  // once: a second installation is ignored
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
