#include "palette/ui/palette_window.h"

#include "files/palette_file.h"
#include "palette/palette_editor.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QGroupBox>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QStatusBar>

#include <algorithm>
#include <initializer_list>
#include <utility>

namespace nimbra {

using namespace PaletteEditorGeometry;

namespace {

constexpr int ClientWidth = 593;
constexpr int ClientHeight = 86;
constexpr int ButtonLeft = 432;
constexpr int ButtonWidth = 153;
constexpr int ButtonHeight = 25;
constexpr int SwatchSize = 14;

QColor ToQColor(Rgb colour) { return QColor(colour.Red, colour.Green, colour.Blue); }

void PaintMarker(QWidget& widget, Rgb colour, int size)
{
    QPainter painter(&widget);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(ToQColor(colour));
    painter.drawEllipse(QRectF(0.5, 0.5, size - 1, size - 1));
}

}  // namespace

PaletteMarker::PaletteMarker(QWidget* parent, int left, Rgb colour) : QWidget(parent), colour_(colour)
{
    setGeometry(left, MarkerTop, MarkerSize, MarkerSize);
}

void PaletteMarker::SetColour(Rgb colour)
{
    colour_ = colour;
    update();
}

void PaletteMarker::paintEvent(QPaintEvent*) { PaintMarker(*this, colour_, MarkerSize); }

TLShape::TLShape(QWidget* parent, int left, Rgb colour) : PaletteMarker(parent, left, colour)
{
    // Only the frame's own narrow edges take a drop that deletes: the tooltip says where they are.
    setToolTip(QStringLiteral("Stützpunkt des Verlaufs.\nEntlang des Bandes ziehen: verschieben.\nKnapp unter den "
                              "schwarzen Balken ziehen, noch im Rahmen: löschen.\nRechtsklick: seine Farbe wählen."));
}

PaletteStrip::PaletteStrip(QWidget* parent) : QWidget(parent), Image(StripWidth, StripHeight, QImage::Format_RGB32)
{
    Image.fill(Qt::black);
    setGeometry(StripLeft, StripTop, StripWidth, StripHeight);
}

void PaletteStrip::paintEvent(QPaintEvent*) { QPainter(this).drawImage(0, 0, Image); }

DragSwatch::DragSwatch(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    resize(SwatchSize, SwatchSize);
    hide();
}

void DragSwatch::Show(QPoint pointer, Rgb colour, bool crossedOut)
{
    colour_ = colour;
    crossedOut_ = crossedOut;
    // Beside the pointer, not under it, so the place of the drop stays visible.
    move(pointer + QPoint(6, 6));
    raise();
    show();
    update();
}

void DragSwatch::paintEvent(QPaintEvent*)
{
    PaintMarker(*this, colour_, SwatchSize);
    if (!crossedOut_) return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::red, 2));
    painter.drawLine(QPointF(2, 2), QPointF(SwatchSize - 2, SwatchSize - 2));
    painter.drawLine(QPointF(2, SwatchSize - 2), QPointF(SwatchSize - 2, 2));
}

TLPal::TLPal(PaletteList& gradient, UserDialogs& dialogs, QWidget* parent)
    // The close box, which asks as "Paletten Editor beenden" does: without any box the window
    // manager would offer all of them, maximizing included.
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      Gradient(gradient), Dialogs(dialogs)
{
    setWindowTitle(QStringLiteral("Farbpalette generieren / bearbeiten"));
    setModal(true);
    BuildControls();
    NameControls();
    PlaceControls();
}

void TLPal::BuildControls()
{
    MainMenu1 = new QMenuBar(this);
    Load = MainMenu1->addAction(QStringLiteral("&Laden"));
    Save = MainMenu1->addAction(QStringLiteral("&Speichern"));
    connect(Load, &QAction::triggered, this, [this] { LoadClick(); });
    connect(Save, &QAction::triggered, this, [this] { SaveClick(); });

    Client = new QWidget(this);
    Reset = new QPushButton(QStringLiteral("aktive Palette &reseten"), Client);
    Ende = new QPushButton(QStringLiteral("Paletten Editor &beenden"), Client);
    Reset->setAutoDefault(false);
    Ende->setAutoDefault(false);
    connect(Reset, &QPushButton::clicked, this, [this] { ResetClick(); });
    connect(Ende, &QPushButton::clicked, this, [this] { EndeClick(); });

    GB = new QGroupBox(QStringLiteral(" aktive Palette "), Client);
    Palette = new PaletteStrip(GB);
    StartPoint = new PaletteMarker(GB, StartMarkerLeft, {0, 0, 0});
    EndPoint = new PaletteMarker(GB, EndMarkerLeft, {255, 255, 255});
    for (QWidget* watched : std::initializer_list<QWidget*>{Palette, StartPoint, EndPoint})
        watched->installEventFilter(this);
    Shape1 = new QWidget(GB);
    Shape1->setAutoFillBackground(true);
    Shape1->setPalette(QPalette(Qt::black, Qt::black));
    Swatch = new DragSwatch(this);  // over the whole window: it may pass the status line
    StatusLine = new QStatusBar(this);
    StatusLine->setSizeGripEnabled(false);
    StatusLine->showMessage(QString::fromUtf8(PaletteEditorHint));

    Palette->setToolTip(QStringLiteral("Der Farbverlauf der aktiven Palette.\nEine Farbe von hier in das Band darunter "
                                       "ziehen:\nein neuer Stützpunkt in dieser Farbe."));
    GB->setToolTip(QStringLiteral("Das Band der Stützpunkte, zwischen Verlauf und schwarzem Balken.\n"
                                  "Hier abgelegt wird eine Farbe zum Stützpunkt;\n"
                                  "ein Stützpunkt, der knapp unter dem Balken abgelegt wird, wird gelöscht."));
    Shape1->setToolTip(
        QStringLiteral("Die Skala des Verlaufs: 0 % links, 100 % rechts.\nDie Stützpunkte stehen darüber."));
    StartPoint->setToolTip(QStringLiteral("Anfang des Verlaufs.\nRechtsklick: die Anfangsfarbe wählen."));
    EndPoint->setToolTip(QStringLiteral("Ende des Verlaufs.\nRechtsklick: die Endfarbe wählen."));
}

void TLPal::NameControls()
{
    const std::pair<QObject*, const char*> names[] = {
        {MainMenu1, "MainMenu1"}, {Load, "Load"}, {Save, "Save"}, {Client, "Client"}, {Reset, "Reset"},
        {Ende, "Ende"}, {GB, "GB"}, {Palette, "Palette"}, {StartPoint, "StartPoint"}, {EndPoint, "EndPoint"},
        {Shape1, "Shape1"}, {Swatch, "Swatch"}, {StatusLine, "StatusLine"},
    };
    for (const auto& [control, name] : names) control->setObjectName(QString::fromLatin1(name));
}

void TLPal::PlaceControls()
{
    GB->setGeometry(8, 8, 417, 73);
    Shape1->setGeometry(StripLeft, 60, 401, 5);
    // The buttons keep their places; a caption wider than 153 pixels in the user's font widens
    // them and the window instead of being cut.
    const int buttonWidth = std::max({ButtonWidth, Reset->sizeHint().width(), Ende->sizeHint().width()});
    const int buttonHeight = std::max(ButtonHeight, Reset->sizeHint().height());
    Reset->setGeometry(ButtonLeft, 16, buttonWidth, buttonHeight);
    Ende->setGeometry(ButtonLeft, 48, buttonWidth, buttonHeight);
    const int clientWidth = ClientWidth + buttonWidth - ButtonWidth;
    const int clientHeight = ClientHeight + buttonHeight - ButtonHeight;
    const int menuHeight = MainMenu1->sizeHint().height();
    const int statusHeight = StatusLine->sizeHint().height();
    MainMenu1->setGeometry(0, 0, clientWidth, menuHeight);
    Client->setGeometry(0, menuHeight, clientWidth, clientHeight);
    StatusLine->setGeometry(0, menuHeight + clientHeight, clientWidth, statusHeight);
    setFixedSize(clientWidth, menuHeight + clientHeight + statusHeight);
}

// The strip and the markers are plain widgets: their mouse and context-menu events are the
// editor's drags and colour choices.
bool TLPal::eventFilter(QObject* watched, QEvent* event)
{
    if (auto* marker = qobject_cast<PaletteMarker*>(watched); marker && event->type() == QEvent::ContextMenu) {
        event->accept();
        PointContextPopup(*marker);
        return true;
    }
    auto* source = static_cast<QWidget*>(watched);
    const bool draggable = source == Palette || qobject_cast<TLShape*>(source) != nullptr;
    const QEvent::Type type = event->type();
    // A double click is a press too, as for any widget: the drag may start with its second press.
    const bool pressed = type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick;
    if (!draggable || !(pressed || type == QEvent::MouseMove || type == QEvent::MouseButtonRelease))
        return QDialog::eventFilter(watched, event);
    const QPoint local = static_cast<QMouseEvent*>(event)->position().toPoint();
    if (pressed)
        DragPressed(source, local);
    else if (type == QEvent::MouseMove)
        DragMoved(source, local);
    else
        DragReleased(source, local);
    return true;
}

void TLPal::AddNodeMarker(int left, Rgb colour)
{
    auto* marker = new TLShape(GB, left, colour);
    marker->installEventFilter(this);
    marker->show();
}

void TLPal::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    leaving_ = false;
    PaintPaletteStrip();
    LayoutPaletteMarkers();
}

void TLPal::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    // A menu command run from the editor (a configuration with a gradient loaded by F2) may
    // have changed the gradient behind it.
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && Gradient.Nodes() != shownNodes_) {
        PaintPaletteStrip();
        LayoutPaletteMarkers();
    }
}

void TLPal::closeEvent(QCloseEvent* event)
{
    if (leaving_) {
        event->accept();
    } else {
        event->ignore();
        EndeClick();
    }
}

void TLPal::reject() {}

void TLPal::PaintPaletteStrip()
{
    for (int column = 0; column < StripWidth; ++column) {
        const QRgb colour = ToQColor(PaletteColourAt(Gradient, column, StripWidth)).rgb();
        for (int row = 0; row < StripHeight; ++row) Palette->Image.setPixel(column, row, colour);
    }
    Palette->update();
    shownNodes_ = Gradient.Nodes();
}

Rgb TLPal::StripColourAt(int column) const
{
    const QColor colour = Palette->Image.pixelColor(column, StripSampleRow);
    return {static_cast<std::uint8_t>(colour.red()), static_cast<std::uint8_t>(colour.green()),
            static_cast<std::uint8_t>(colour.blue())};
}

void TLPal::LayoutPaletteMarkers()
{
    if (dragSource_ != nullptr && dragSource_ != Palette) EndDrag();  // the dragged marker is about to go
    for (TLShape* marker : GB->findChildren<TLShape*>()) delete marker;
    const MarkerLayout layout = PlanPaletteMarkers(Gradient);
    if (layout.StartFromStrip) StartPoint->SetColour(StripColourAt(0));
    if (layout.EndFromStrip) EndPoint->SetColour(StripColourAt(StripWidth - 1));
    for (const NodeMarker& node : layout.Nodes) AddNodeMarker(node.Left, node.Colour);
}

void TLPal::ResetClick()
{
    if (!Dialogs.AskYesNo("Die aktuelle Palette wird auf eine Graustufen-Palette zurückgesetzt !",
                          "Aktuelle Palette reseten"))
        return;
    Gradient.ResetPalette();
    PaintPaletteStrip();
    LayoutPaletteMarkers();
}

void TLPal::EndeClick()
{
    if (PaletteModified &&
        !Dialogs.AskYesNo("Palette wurde noch nicht gespeichert ! Trotzdem beenden ?", "Paletten Editor beenden"))
        return;
    leaving_ = true;
    done(QDialog::Accepted);
}

namespace {

FileRequest PaletteFileRequest(FileRequest::Kind kind, const std::string& proposed)
{
    FileRequest request;
    request.DialogKind = kind;
    request.Filter = "Farbpalette|*.pal";
    request.DefaultExtension = "pal";
    request.InitialFolder = "pal";
    request.FileName = proposed;
    request.AskBeforeReplacing = kind == FileRequest::Kind::Save;
    return request;
}

}  // namespace

void TLPal::LoadClick()
{
    const std::optional<std::string> fileName =
        Dialogs.ChooseFile(PaletteFileRequest(FileRequest::Kind::Open, PaletteFileName));
    if (!fileName) return;
    ReadPaletteFile(*fileName, Gradient, Dialogs);
    PaintPaletteStrip();
    LayoutPaletteMarkers();
}

void TLPal::SaveClick()
{
    const std::optional<std::string> fileName =
        Dialogs.ChooseFile(PaletteFileRequest(FileRequest::Kind::Save, PaletteFileName));
    if (!fileName) return;
    WritePaletteFile(*fileName, Gradient, Dialogs);
    // Taken as saved even after a failed write: the user has been told, and may still leave.
    PaletteFileName = *fileName;
    PaletteModified = false;
}

void TLPal::GBDragDrop(QWidget* source, int x, int y)
{
    PaletteModified = true;
    if (source == Palette) {
        const int left = ClampDropX(x);
        // The drop's x is taken as a strip column as it is, though the strip starts 8 pixels in.
        const Rgb colour = StripColourAt(left);
        AddNodeMarker(left, colour);
        Gradient.SetPaletteNode(colour.Red, colour.Green, colour.Blue, PositionOfMarker(left));
    } else if (auto* marker = qobject_cast<TLShape*>(source)) {
        const std::optional<int> left = MoveNodeMarker(Gradient, marker->x(), marker->Colour(), x, y);
        if (left) {
            marker->move(*left, MarkerTop);
        } else {
            marker->hide();
        }
    }
    PaintPaletteStrip();
}

void TLPal::PointContextPopup(PaletteMarker& marker)
{
    PaletteModified = true;
    if (const std::optional<Rgb> chosen = Dialogs.ChooseColour(marker.Colour())) marker.SetColour(*chosen);
    RecolourMarkerNode(Gradient, marker.x(), marker.Colour());
    PaintPaletteStrip();
}

bool TLPal::AcceptsDrop(QPoint groupBoxPoint) const
{
    // Only the group box's own area takes drops: the strip, the markers and the bar take none.
    return GB->rect().contains(groupBoxPoint) && GB->childAt(groupBoxPoint) == nullptr;
}

Rgb TLPal::DraggedColour(QWidget* source, QPoint groupBoxPoint) const
{
    if (const auto* marker = qobject_cast<const PaletteMarker*>(source)) return marker->Colour();
    return StripColourAt(ClampDropX(groupBoxPoint.x()));
}

void TLPal::DragPressed(QWidget* source, QPoint local)
{
    dragSource_ = source;
    dragStart_ = local;
    dragging_ = false;
}

void TLPal::DragMoved(QWidget* source, QPoint local)
{
    if (source != dragSource_) return;
    if (!dragging_ && (local - dragStart_).manhattanLength() < QApplication::startDragDistance()) return;
    dragging_ = true;
    const QPoint target = source->mapTo(GB, local);
    const DropEffect effect = PlannedDrop(source == Palette, AcceptsDrop(target), target.y());
    const Qt::CursorShape dragCursor = source == Palette ? Qt::PointingHandCursor : Qt::DragMoveCursor;
    source->setCursor(effect == DropEffect::Refused ? Qt::ForbiddenCursor : dragCursor);
    Swatch->Show(source->mapTo(this, local), DraggedColour(source, target), effect == DropEffect::DeleteNode);
    StatusLine->showMessage(QString::fromStdString(DragStatusText(effect, target.x())));
}

void TLPal::DragReleased(QWidget* source, QPoint local)
{
    if (source != dragSource_) return;
    const bool dropped = dragging_;
    EndDrag();
    if (!dropped) return;
    const QPoint target = source->mapTo(GB, local);
    if (AcceptsDrop(target)) GBDragDrop(source, target.x(), target.y());
}

void TLPal::EndDrag()
{
    if (dragSource_ != nullptr) dragSource_->unsetCursor();
    dragSource_ = nullptr;
    dragging_ = false;
    Swatch->hide();
    StatusLine->showMessage(QString::fromUtf8(PaletteEditorHint));
}

}  // namespace nimbra
