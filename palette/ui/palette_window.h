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

class TLPal;

// A round marker under the gradient strip; a right click recolours the node it stands for.
class PaletteMarker : public QWidget {
    Q_OBJECT
public:
    PaletteMarker(TLPal& editor, QWidget* parent, int left, Rgb colour);
    Rgb Colour() const { return colour_; }
    void SetColour(Rgb colour);

protected:
    void paintEvent(QPaintEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    TLPal& Editor;

private:
    Rgb colour_;
};

// The marker of a node between the ends: it can be dragged onto the group box to move the node,
// or off the marker band to delete it.
class TLShape final : public PaletteMarker {
    Q_OBJECT
public:
    TLShape(TLPal& editor, QWidget* parent, int left, Rgb colour);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};

// The 400-pixel gradient strip; dragging out of it adds a node with the colour where it is dropped.
class PaletteStrip final : public QWidget {
    Q_OBJECT
public:
    PaletteStrip(TLPal& editor, QWidget* parent);
    QImage Image;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    TLPal& Editor;
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
// The drags are plain mouse handling: press on the strip or a node marker, move, release over
// the group box.
class TLPal final : public QDialog {
    Q_OBJECT
public:
    TLPal(PaletteList& palette, UserDialogs& dialogs, QWidget* parent = nullptr);

    QMenuBar* MainMenu1;
    QAction* Load;
    QAction* Save;
    QWidget* Client;  // the client area under the menu bar
    QPushButton* Reset;
    QPushButton* Ende;
    QGroupBox* GB;
    PaletteStrip* Palette;
    PaletteMarker* StartPoint;
    PaletteMarker* EndPoint;
    QWidget* Shape1;
    DragSwatch* Swatch;
    QStatusBar* StatusLine;  // what a drag under way does when let go; a hint otherwise

    std::string PaletteFileName;  // the file saved last; proposed by both file dialogs
    bool PaletteModified = false;

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

    Rgb StripColourAt(int column) const;

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;  // Escape does not leave the editor; its close box asks first

private:
    bool AcceptsDrop(QPoint groupBoxPoint) const;
    void EndDrag();
    Rgb DraggedColour(QWidget* source, QPoint groupBoxPoint) const;

    PaletteList& PaletteNodes;
    UserDialogs& Dialogs;
    QWidget* dragSource_ = nullptr;
    QPoint dragStart_;
    bool dragging_ = false;
    bool leaving_ = false;
    std::vector<PaletteNode> shownNodes_;  // the gradient as the strip shows it
};

}  // namespace nimbra
