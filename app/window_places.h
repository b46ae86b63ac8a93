#pragma once
#include <QHash>
#include <QObject>
#include <QPoint>

class QWidget;

namespace nimbra {

// Each window it watches opens again where it was when it was last hidden: its first place is
// its own (centred), later ones are not moved by the frame the window manager adds after the
// first showing, nor centred anew when the user moved the window.
class WindowPlaces final : public QObject {
    Q_OBJECT
public:
    void Watch(QWidget& window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QHash<QObject*, QPoint> places_;  // the frame's top left corner, by window
};

}  // namespace nimbra
