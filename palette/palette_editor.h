#pragma once
#include "common/rgb.h"
#include "palette/palette_list.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace nimbra {

// The palette editor's places, in pixels of its group box.
namespace PaletteEditorGeometry {
constexpr int StripLeft = 8;
constexpr int StripTop = 16;
constexpr int StripWidth = 400;
constexpr int StripHeight = 25;
constexpr int StripSampleRow = 10;  // markers take their colour from this row of the strip
constexpr int MarkerTop = 48;
constexpr int MarkerSize = 8;
constexpr int StartMarkerLeft = 6;
constexpr int EndMarkerLeft = 404;
constexpr int DropMinX = 12;
constexpr int DropMaxX = 396;
constexpr int BandTop = 36;  // a marker dropped between these rows moves; elsewhere it is deleted
constexpr int BandBottom = 59;
}  // namespace PaletteEditorGeometry

// Left edge of the marker of a node: position x 4 + 8.
int MarkerLeftFor(std::uint8_t position);
// The node position a marker's left edge stands for: (left - 8) / 4, the fraction dropped toward
// zero, so the start marker (6) is 0 and the end marker (404) is 99.
std::uint8_t PositionOfMarker(int left);
// A drop's x, kept where the new position lies between 1 and 97.
int ClampDropX(int x);

struct NodeMarker {
    int Left = 0;
    Rgb Colour;
};

// What the editor shows of the list: the start and end markers take the strip's end colours
// when a node sits at 0 or 100; every other node (99 included) gets a marker of its own.
struct MarkerLayout {
    bool StartFromStrip = false;
    bool EndFromStrip = false;
    std::vector<NodeMarker> Nodes;  // in list order
};
MarkerLayout PlanPaletteMarkers(const PaletteList& palette);

// A node marker dropped at (x, y): its node is removed, and set again at the clamped x when y
// lies in the marker band. The marker's new left edge, or nothing when the node was deleted.
std::optional<int> MoveNodeMarker(PaletteList& palette, int markerLeft, Rgb colour, int dropX, int dropY);

// The node a marker stands for takes the colour (the start marker's adds a second node at 0).
void RecolourMarkerNode(PaletteList& palette, int markerLeft, Rgb colour);

// What letting go of a drag does where the pointer is.
enum class DropEffect { Refused, AddNode, MoveNode, DeleteNode };
// accepted: the place takes drops (the group box's own area, no control of it); y in the group box.
DropEffect PlannedDrop(bool fromStrip, bool accepted, int y);
// The editor's status line while a drag is under way at x of the group box.
std::string DragStatusText(DropEffect effect, int x);
// The status line when no drag is under way.
inline constexpr char PaletteEditorHint[] =
    "Verlauf nach unten ziehen: neuer Stützpunkt; Rechtsklick auf einen Punkt: neue Farbe";

}  // namespace nimbra
