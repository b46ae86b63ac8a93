#pragma once

class QWidget;

namespace nimbra {

// The width a window needs to show its whole caption in the title bar, beside the window's
// icon and buttons. The title bar's font is the desktop's, estimated by the window's own in bold.
int CaptionWidth(const QWidget& window);

}  // namespace nimbra
