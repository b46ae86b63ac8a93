#include "palette/palette_editor.h"

#include <algorithm>

namespace nimbra {

using namespace PaletteEditorGeometry;

int MarkerLeftFor(std::uint8_t position) { return position * 4 + StripLeft; }

std::uint8_t PositionOfMarker(int left) { return static_cast<std::uint8_t>((left - StripLeft) / 4); }

int ClampDropX(int x) { return std::clamp(x, DropMinX, DropMaxX); }

namespace {

// The rows of the markers, where a dropped marker stays a node.
bool InMarkerBand(int y) { return y >= BandTop && y <= BandBottom; }

}  // namespace

MarkerLayout PlanPaletteMarkers(const PaletteList& palette)
{
    MarkerLayout layout;
    for (const PaletteNode& node : palette.Nodes()) {
        if (node.Position == 0) {
            layout.StartFromStrip = true;
        } else if (node.Position == 100) {
            layout.EndFromStrip = true;
        } else {
            layout.Nodes.push_back({MarkerLeftFor(node.Position), {node.Red, node.Green, node.Blue}});
        }
    }
    return layout;
}

std::optional<int> MoveNodeMarker(PaletteList& palette, int markerLeft, Rgb colour, int dropX, int dropY)
{
    palette.RemovePaletteNode(PositionOfMarker(markerLeft));
    if (!InMarkerBand(dropY)) return std::nullopt;
    const int left = ClampDropX(dropX);
    palette.SetPaletteNode(colour.Red, colour.Green, colour.Blue, PositionOfMarker(left));
    return left;
}

void RecolourMarkerNode(PaletteList& palette, int markerLeft, Rgb colour)
{
    palette.SetPaletteNode(colour.Red, colour.Green, colour.Blue, PositionOfMarker(markerLeft));
}

DropEffect PlannedDrop(bool fromStrip, bool accepted, int y)
{
    if (!accepted) return DropEffect::Refused;
    if (fromStrip) return DropEffect::AddNode;
    return InMarkerBand(y) ? DropEffect::MoveNode : DropEffect::DeleteNode;
}

std::string DragStatusText(DropEffect effect, int x)
{
    const std::string position = std::to_string(PositionOfMarker(ClampDropX(x))) + " %";
    switch (effect) {
    case DropEffect::AddNode: return "Loslassen fügt bei " + position + " einen Stützpunkt in dieser Farbe ein";
    case DropEffect::MoveNode: return "Loslassen verschiebt den Stützpunkt nach " + position;
    case DropEffect::DeleteNode: return "Loslassen löscht den Stützpunkt (außerhalb des Bandes der Punkte)";
    case DropEffect::Refused: break;
    }
    return "Hier kann nichts abgelegt werden";
}

}  // namespace nimbra
