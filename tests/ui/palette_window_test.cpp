#include "palette/ui/palette_window.h"

#include "files/palette_file.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/temp_folder.h"
#include "tests/ui/find_control.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QGroupBox>
#include <QPushButton>
#include <QtTest>

#include <optional>

using namespace nimbra;
using nimbra::testing::Find;
using nimbra::testing::ScriptedDialogs;
using nimbra::testing::TempFolder;

namespace {

QColor Grey(int level) { return QColor(level, level, level); }

// The strip's colour at a column, as the screen shows it.
QColor Pixel(const TLPal& editor, int column)
{
    return Find<PaletteStrip>(editor, "Palette")->grab().toImage().pixelColor(column, 10);
}

QColor MarkerColour(const PaletteMarker& marker)
{
    const Rgb c = marker.Colour();
    return QColor(c.Red, c.Green, c.Blue);
}

QList<TLShape*> VisibleNodeMarkers(const TLPal& editor)
{
    QList<TLShape*> visible;
    for (TLShape* marker : Find<QGroupBox>(editor, "GB")->findChildren<TLShape*>())
        if (marker->isVisible()) visible.append(marker);
    return visible;
}

std::vector<std::uint8_t> Positions(const PaletteList& palette)
{
    std::vector<std::uint8_t> positions;
    for (const PaletteNode& node : palette.Nodes()) positions.push_back(node.Position);
    return positions;
}

// Presses on source, moves and releases at a point of the group box, as a user drags.
void Drag(QWidget* source, QPoint groupBoxTarget, QPoint from = QPoint(3, 3))
{
    const QPoint to = groupBoxTarget - source->pos();
    QTest::mousePress(source, Qt::LeftButton, {}, from);
    QTest::mouseMove(source, to);
    QTest::mouseRelease(source, Qt::LeftButton, {}, to);
}

void RightClick(QWidget* marker)
{
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(4, 4), marker->mapToGlobal(QPoint(4, 4)));
    QApplication::sendEvent(marker, &event);
}

struct Editor {
    PaletteList Gradient;
    ScriptedDialogs Dialogs;
    TLPal Window{Gradient, Dialogs};
    QAction* Load = Find<QAction>(Window, "Load");
    QAction* Save = Find<QAction>(Window, "Save");
    QWidget* Client = Find<QWidget>(Window, "Client");
    QPushButton* Reset = Find<QPushButton>(Window, "Reset");
    QPushButton* Ende = Find<QPushButton>(Window, "Ende");
    QGroupBox* GB = Find<QGroupBox>(Window, "GB");
    PaletteStrip* Palette = Find<PaletteStrip>(Window, "Palette");
    PaletteMarker* StartPoint = Find<PaletteMarker>(Window, "StartPoint");
    PaletteMarker* EndPoint = Find<PaletteMarker>(Window, "EndPoint");
    QWidget* Shape1 = Find<QWidget>(Window, "Shape1");
    DragSwatch* Swatch = Find<DragSwatch>(Window, "Swatch");
    Editor() { Window.show(); }
};

}  // namespace

class PaletteWindowTest : public QObject {
    Q_OBJECT
private slots:
    void DefaultGradientShowsGreyStripAndOneMarker();
    void StripDroppedOnTheGroupBoxAddsNodesAtClampedPlaces();
    void DropsOverTheStripMarkersOrBarAreRefused();
    void MarkerMovesInsideTheBandAndIsDeletedOutside();
    void RecolouringTheEndMarkerEndsTheGradientInThatColour();
    void CancelledColourDialogStillAddsASecondStartNode();
    void ResetAnsweredNoChangesNothing();
    void LeavingAskedOnlyWhenModified();
    void LeavingAfterAFailedSaveAsksNothing();
    void SaveAndLoadThroughTheMenu();
    void CaptionsFitTheirControls();
};

void PaletteWindowTest::DefaultGradientShowsGreyStripAndOneMarker()
{
    Editor e;
    TLPal& w = e.Window;
    QCOMPARE(w.windowTitle(), QStringLiteral("Farbpalette generieren / bearbeiten"));
    QVERIFY(w.isModal());
    QVERIFY(w.windowFlags() & Qt::WindowCloseButtonHint);
    QVERIFY(!(w.windowFlags() & Qt::WindowMaximizeButtonHint));
    QCOMPARE(e.Client->height(), 86);
    QCOMPARE(e.GB->geometry(), QRect(8, 8, 417, 73));
    QCOMPARE(e.GB->title(), QStringLiteral(" aktive Palette "));
    QCOMPARE(e.Palette->geometry(), QRect(8, 16, 400, 25));
    QCOMPARE(e.StartPoint->geometry(), QRect(6, 48, 8, 8));
    QCOMPARE(e.EndPoint->geometry(), QRect(404, 48, 8, 8));
    QCOMPARE(e.Shape1->geometry(), QRect(8, 60, 401, 5));
    QCOMPARE(e.Load->text(), QStringLiteral("&Laden"));
    QCOMPARE(e.Save->text(), QStringLiteral("&Speichern"));

    QCOMPARE(Pixel(w, 0), Grey(0));
    QCOMPARE(Pixel(w, 80), Grey(128));
    QCOMPARE(Pixel(w, 399), Grey(253));
    const QList<TLShape*> markers = VisibleNodeMarkers(w);
    QCOMPARE(markers.size(), 1);
    QCOMPARE(markers[0]->geometry(), QRect(88, 48, 8, 8));
    QCOMPARE(MarkerColour(*markers[0]), Grey(128));
    QCOMPARE(MarkerColour(*e.StartPoint), Grey(0));
    QCOMPARE(MarkerColour(*e.EndPoint), Grey(253));
    QVERIFY(!w.EditedSinceSave());
}

void PaletteWindowTest::StripDroppedOnTheGroupBoxAddsNodesAtClampedPlaces()
{
    Editor e;
    TLPal& w = e.Window;
    Drag(e.Palette, {108, 45}, {100, 10});
    Drag(e.Palette, {5, 45}, {100, 10});
    Drag(e.Palette, {400, 45}, {100, 10});

    QCOMPARE(Positions(e.Gradient), (std::vector<std::uint8_t>{0, 1, 20, 25, 97, 100}));
    QCOMPARE(e.Gradient.Nodes()[3], (PaletteNode{139, 139, 139, 25}));  // column 108, not the gray of 25 %
    QList<int> lefts;
    for (TLShape* marker : VisibleNodeMarkers(w)) lefts.append(marker->x());
    std::sort(lefts.begin(), lefts.end());
    QCOMPARE(lefts, (QList<int>{12, 88, 108, 396}));
    QVERIFY(w.EditedSinceSave());
    QVERIFY(!e.Swatch->isVisible());
}

void PaletteWindowTest::DropsOverTheStripMarkersOrBarAreRefused()
{
    Editor e;
    TLPal& w = e.Window;
    TLShape* marker = VisibleNodeMarkers(w)[0];
    Drag(e.Palette, {200, 30}, {100, 10});  // onto the strip itself
    Drag(e.Palette, {200, 62}, {100, 10});  // onto the black bar
    Drag(e.Palette, {8, 50}, {100, 10});    // onto the start marker
    Drag(e.Palette, {200, 100}, {100, 10}); // outside the group box
    Drag(marker, {200, 30});
    QCOMPARE(Positions(e.Gradient), (std::vector<std::uint8_t>{0, 20, 100}));
    QCOMPARE(marker->x(), 88);
    QVERIFY(!w.EditedSinceSave());

    // A press and release without moving is a click, not a drop.
    QTest::mouseClick(e.Palette, Qt::LeftButton, {}, QPoint(100, 10));
    QVERIFY(!w.EditedSinceSave());
    RightClick(e.Palette);  // the strip has no colour of its own to choose
    QVERIFY(e.Dialogs.ColourStarts.empty());
    QVERIFY(!w.EditedSinceSave());
}

void PaletteWindowTest::MarkerMovesInsideTheBandAndIsDeletedOutside()
{
    const struct { QPoint drop; bool kept; int left; } cases[] = {
        {{5, 36}, true, 12}, {{208, 59}, true, 208}, {{5, 35}, false, 0}, {{412, 60}, false, 0},
    };
    for (const auto& c : cases) {
        Editor e;
        TLPal& w = e.Window;
        TLShape* marker = VisibleNodeMarkers(w)[0];
        Drag(marker, c.drop);
        QVERIFY(w.EditedSinceSave());
        QCOMPARE(marker->isVisible(), c.kept);
        if (c.kept) {
            QCOMPARE(marker->geometry(), QRect(c.left, 48, 8, 8));
            QCOMPARE(e.Gradient.Nodes()[1], (PaletteNode{128, 128, 128, static_cast<std::uint8_t>((c.left - 8) / 4)}));
        } else {
            QCOMPARE(Positions(e.Gradient), (std::vector<std::uint8_t>{0, 100}));
            QCOMPARE(Pixel(w, 200), Grey(128));  // black to white now, halfway at column 200
        }
    }
}

void PaletteWindowTest::RecolouringTheEndMarkerEndsTheGradientInThatColour()
{
    Editor e;
    TLPal& w = e.Window;
    e.Dialogs.ColourAnswers.push_back(Rgb{255, 0, 0});
    RightClick(e.EndPoint);
    QCOMPARE(e.Dialogs.ColourStarts, (std::vector<Rgb>{{253, 253, 253}}));
    QCOMPARE(Pixel(w, 399), QColor(255, 0, 0));
    QCOMPARE(MarkerColour(*e.EndPoint), QColor(255, 0, 0));
    QCOMPARE(e.Gradient.Nodes().back(), (PaletteNode{255, 255, 255, 100}));
    QCOMPARE(VisibleNodeMarkers(w).size(), 1);
    QVERIFY(w.EditedSinceSave());

    w.hide();
    w.show();
    QList<int> lefts;
    for (TLShape* marker : VisibleNodeMarkers(w)) lefts.append(marker->x());
    QCOMPARE(lefts, (QList<int>{88, 404}));
}

void PaletteWindowTest::CancelledColourDialogStillAddsASecondStartNode()
{
    Editor e;
    TLPal& w = e.Window;
    e.Dialogs.ColourAnswers.push_back(std::nullopt);
    RightClick(e.StartPoint);
    QCOMPARE(e.Gradient.Nodes(),
             (std::vector<PaletteNode>{{0, 0, 0, 0}, {0, 0, 0, 0}, {128, 128, 128, 20}, {255, 255, 255, 100}}));
    QVERIFY(w.EditedSinceSave());
    QVERIFY(e.Dialogs.Unexpected.empty());
}

void PaletteWindowTest::ResetAnsweredNoChangesNothing()
{
    Editor e;
    TLPal& w = e.Window;
    e.Gradient.SetPaletteNode(1, 2, 3, 50);
    const std::vector<PaletteNode> before = e.Gradient.Nodes();
    e.Dialogs.YesNoAnswers = {false, true};
    QTest::mouseClick(e.Reset, Qt::LeftButton);
    QCOMPARE(e.Gradient.Nodes(), before);
    QCOMPARE(e.Dialogs.Questions.at(0), std::string("Die aktuelle Palette wird auf eine Graustufen-Palette zurückgesetzt !"));
    QCOMPARE(e.Dialogs.QuestionCaptions.at(0), std::string("Aktuelle Palette reseten"));

    QTest::mouseClick(e.Reset, Qt::LeftButton);
    QCOMPARE(Positions(e.Gradient), (std::vector<std::uint8_t>{0, 20, 100}));
    QCOMPARE(VisibleNodeMarkers(w).size(), 1);
    QVERIFY(!w.EditedSinceSave());
}

void PaletteWindowTest::LeavingAskedOnlyWhenModified()
{
    Editor e;
    TLPal& w = e.Window;
    Drag(e.Palette, {208, 45}, {100, 10});
    e.Dialogs.YesNoAnswers = {false, true};
    QTest::mouseClick(e.Ende, Qt::LeftButton);
    QVERIFY(w.isVisible());
    QCOMPARE(e.Dialogs.Questions.at(0), std::string("Palette wurde noch nicht gespeichert ! Trotzdem beenden ?"));
    QCOMPARE(e.Dialogs.QuestionCaptions.at(0), std::string("Paletten Editor beenden"));
    QTest::keyClick(&w, Qt::Key_Escape);
    QVERIFY(w.isVisible());
    QTest::mouseClick(e.Ende, Qt::LeftButton);
    QVERIFY(!w.isVisible());
    QVERIFY(w.EditedSinceSave());
    QCOMPARE(Positions(e.Gradient), (std::vector<std::uint8_t>{0, 20, 50, 100}));
}

void PaletteWindowTest::LeavingAfterAFailedSaveAsksNothing()
{
    TempFolder folder;
    Editor e;
    TLPal& w = e.Window;
    Drag(e.Palette, {208, 45}, {100, 10});
    const std::string name = folder / "fehlt/neu.pal";
    e.Dialogs.FileAnswers.push_back(name);
    e.Save->trigger();
    QCOMPARE(e.Dialogs.Messages, std::vector<std::string>{"Fehler beim Schreiben der Palette " + name +
                                                          " !\nDatei oder Ordner nicht vorhanden"});
    e.Dialogs.FileAnswers.push_back(std::nullopt);
    e.Load->trigger();
    QCOMPARE(e.Dialogs.FileRequests.back().FileName, name);  // proposed from now on
    QTest::mouseClick(e.Ende, Qt::LeftButton);
    QVERIFY(!w.isVisible());
    QVERIFY(e.Dialogs.Questions.empty());
}

void PaletteWindowTest::SaveAndLoadThroughTheMenu()
{
    TempFolder folder;
    Editor e;
    TLPal& w = e.Window;
    Drag(e.Palette, {208, 45}, {100, 10});
    const std::string name = folder / "blau.pal";
    e.Dialogs.FileAnswers.push_back(name);
    e.Save->trigger();
    const FileRequest& save = e.Dialogs.FileRequests.at(0);
    QVERIFY(save.DialogKind == FileRequest::Kind::Save);
    QCOMPARE(save.Filter, std::string("Farbpalette|*.pal"));
    QCOMPARE(save.DefaultExtension, std::string("pal"));
    QCOMPARE(save.InitialFolder, std::string("pal"));
    QCOMPARE(save.FileName, std::string());
    QVERIFY(save.AskBeforeReplacing);
    QVERIFY(!w.EditedSinceSave());
    const std::vector<PaletteNode> saved = e.Gradient.Nodes();

    QTest::mouseClick(e.Reset, Qt::LeftButton);  // unanswered: counts as No
    e.Dialogs.YesNoAnswers.push_back(true);
    QTest::mouseClick(e.Reset, Qt::LeftButton);
    QCOMPARE(VisibleNodeMarkers(w).size(), 1);

    e.Dialogs.FileAnswers.push_back(std::nullopt);
    e.Load->trigger();
    QCOMPARE(Positions(e.Gradient), (std::vector<std::uint8_t>{0, 20, 100}));

    e.Dialogs.FileAnswers.push_back(name);
    e.Load->trigger();
    const FileRequest& load = e.Dialogs.FileRequests.at(2);
    QVERIFY(load.DialogKind == FileRequest::Kind::Open);
    QCOMPARE(load.FileName, name);
    QVERIFY(!load.AskBeforeReplacing);
    QCOMPARE(e.Gradient.Nodes(), saved);
    QCOMPARE(VisibleNodeMarkers(w).size(), 2);
    QCOMPARE(Pixel(w, 200), QColor(saved[2].Red, saved[2].Green, saved[2].Blue));  // the node at 50
    QVERIFY(!w.EditedSinceSave());
    QCOMPARE(e.Dialogs.Messages.size(), std::size_t{0});
}

void PaletteWindowTest::CaptionsFitTheirControls()
{
    Editor e;
    for (QPushButton* button : {e.Reset, e.Ende}) {
        QVERIFY2(button->width() >= button->sizeHint().width(), qPrintable(button->text()));
        QVERIFY(button->height() >= 25);
        QCOMPARE(button->x(), 432);
    }
    QCOMPARE(e.Reset->y(), 16);
    QCOMPARE(e.Ende->y(), 48);
    QCOMPARE(e.Client->width(), 432 + e.Reset->width() + 8);
    QVERIFY(e.GB->fontMetrics().horizontalAdvance(e.GB->title()) < 417 - 16);
}

QTEST_MAIN(PaletteWindowTest)
#include "palette_window_test.moc"
