// Shows the palette editor for a screenshot, then quits:
//   xvfb-run -s "-screen 0 1024x768x24" sh -c 'build/tools/palette_window_shot nodes &
//     sleep 2; import -window root shot.png; wait'
// Modes: default (the start gradient), nodes (several nodes, recoloured ends), drag (a node
// marker being dragged over the group box).
#include "palette/ui/palette_window.h"

#include "palette/palette_editor.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/ui/find_control.h"

#include <QApplication>
#include <QGroupBox>
#include <QMouseEvent>
#include <QTimer>

#include <string>

using namespace nimbra;

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    const std::string mode = argc > 1 ? argv[1] : "default";
    PaletteList palette;
    testing::ScriptedDialogs dialogs;
    if (mode != "default") {
        palette.SetPaletteNode(255, 0, 0, 0);
        palette.SetPaletteNode(255, 200, 0, 35);
        palette.SetPaletteNode(0, 160, 60, 50);
        palette.SetPaletteNode(30, 60, 255, 75);
        palette.SetPaletteNode(200, 0, 200, 99);
    }
    TLPal editor(palette, dialogs);
    editor.show();
    if (mode == "drag") {
        QWidget* marker = testing::Find<QGroupBox>(editor, "GB")->childAt(MarkerLeftFor(50) + 4, 52);
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(3, 3), marker->mapToGlobal(QPointF(3, 3)), Qt::LeftButton,
                          Qt::LeftButton, {});
        QApplication::sendEvent(marker, &press);
        const QPointF to(-60, 0);
        QMouseEvent move(QEvent::MouseMove, to, marker->mapToGlobal(to), Qt::NoButton, Qt::LeftButton, {});
        QApplication::sendEvent(marker, &move);
    }
    QTimer::singleShot(4000, &application, &QApplication::quit);
    return application.exec();
}
