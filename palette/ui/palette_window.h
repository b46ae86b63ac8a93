#pragma once
#include "common/rgb.h"
#include "common/user_dialogs.h"
#include "palette/palette_list.h"

#include <QDialog>
#include <QImage>
#include <QPoint>
#include <QString>

#include <string>
#include <vector>

class QAction;
class QGroupBox;
class QMenuBar;
class QPushButton;
class QStatusBar;

namespace nimbra {

// A round marker under the gradient strip; the editor handles its right click.
class PaletteMarker : public QWidget {
    Q_OBJECT
public:
    PaletteMarker(QWidget* parent, int left, Rgb colour);
    Rgb Colour() const { return colour_; }
    void SetColour(Rgb colour);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Rgb colour_;
};

// The marker of a node between the ends: it can be dragged onto the group box to move the node,
// or off the marker band to delete it.
class TLShape final : public PaletteMarker {
    Q_OBJECT
public:
    TLShape(QWidget* parent, int left, Rgb colour);
};

// The 400-pixel gradient strip; dragging out of it adds a node with the colour where it is dropped.
class PaletteStrip final : public QWidget {
    Q_OBJECT
public:
    explicit PaletteStrip(QWidget* parent);
    QImage Image;

protected:
    void paintEvent(QPaintEvent* event) override;
};

// Follows the pointer while a drag is under way, in the colour being dragged; crossed out
// where letting go deletes the node.
class DragSwatch final : public QWidget {
    Q_OBJECT
public:
    explicit DragSwatch(QWidget* parent);
    void Show(QPoint pointer, Rgb colour, bool crossedOut);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Rgb colour_;
    bool crossedOut_ = false;
};

// The palette editor: edits the one gradient in place, node by node, and loads and saves it.
// The drags are plain mouse handling of the strip and the node markers, which the editor
// watches: press, move, release over the group box. Its controls carry their names as object names.
class TLPal final : public QDialog {
    Q_OBJECT
public:
    TLPal(PaletteList& gradient, UserDialogs& dialogs, QWidget* parent = nullptr);

    // The gradient was edited since the last save: leaving then asks first.
    bool EditedSinceSave() const { return PaletteModified; }

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;  // Escape does not leave the editor; its close box asks first
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    void NameControls();
    void PlaceControls();
    void AddNodeMarker(int left, Rgb colour);
    void PaintPaletteStrip();
    void LayoutPaletteMarkers();
    void ResetClick();
    void EndeClick();
    void LoadClick();
    void SaveClick();
    void GBDragDrop(QWidget* source, int x, int y);
    void PointContextPopup(PaletteMarker& marker);

    // The drag of the strip or of a node marker, fed by their mouse events.
    void DragPressed(QWidget* source, QPoint local);
    void DragMoved(QWidget* source, QPoint local);
    void DragReleased(QWidget* source, QPoint local);
    bool AcceptsDrop(QPoint groupBoxPoint) const;
    void EndDrag();
    Rgb DraggedColour(QWidget* source, QPoint groupBoxPoint) const;
    Rgb StripColourAt(int column) const;

    PaletteList& Gradient;
    UserDialogs& Dialogs;
    std::string PaletteFileName;  // the file saved last; proposed by both file dialogs
    bool PaletteModified = false;
    QWidget* dragSource_ = nullptr;
    QPoint dragStart_;
    bool dragging_ = false;
    bool leaving_ = false;
    std::vector<PaletteNode> shownNodes_;  // the gradient as the strip shows it

    QMenuBar* MainMenu1 = nullptr;
    QAction* Load = nullptr;
    QAction* Save = nullptr;
    QWidget* Client = nullptr;  // the client area under the menu bar
    QPushButton* Reset = nullptr;
    QPushButton* Ende = nullptr;
    QGroupBox* GB = nullptr;
    PaletteStrip* Palette = nullptr;  // the gradient strip
    PaletteMarker* StartPoint = nullptr;
    PaletteMarker* EndPoint = nullptr;
    QWidget* Shape1 = nullptr;
    DragSwatch* Swatch = nullptr;
    QStatusBar* StatusLine = nullptr;  // what a drag under way does when let go; a hint otherwise
};

}  // namespace nimbra
