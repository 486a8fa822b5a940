// The resolution the window and its documents are laid out at: the primary
// screen's logical dots per inch, or 96 when there is no screen (no
// QGuiApplication yet, or a platform without one).
#pragma once

namespace paipan {

// The average of the screen's horizontal and vertical logical dpi (what
// QScreen::logicalDotsPerInch gives): twips and the chart font's points.
double ScreenDpi();

// The screen's horizontal logical dpi alone: a document's width on paper.
// The same as ScreenDpi() wherever the screen's pixels are square.
double ScreenDpiX();

}  // namespace paipan
