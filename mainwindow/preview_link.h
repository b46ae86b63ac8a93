#pragma once
#include "engine/run_calculation.h"
#include "mainwindow/region_edit.h"

namespace nimbra {

// The preview window as the main window sees it: the canvas of its runs, and whether it has
// been shown yet (the zoom and scroll buttons start runs only from then on).
class OwnedPreview : public PreviewCanvas {
public:
    virtual bool EverShown() const = 0;
};

// What the preview window asks of the main window.
class PreviewOwner {
public:
    virtual ~PreviewOwner() = default;
    virtual void PreviewClosing() = 0;  // the run drawing into the preview stops
    // A rubber band let go: its region goes into the fields and the next preview run starts.
    virtual void SelectionReleased(const SelectionCorners& corners) = 0;
    // The preview closed over a selection: its region goes into the fields, meant for a file.
    virtual void SelectionKeptForFile(const SelectionCorners& corners) = 0;
    virtual void PreviewResized() = 0;  // after its first showing: an idle program runs anew
};

}  // namespace nimbra
