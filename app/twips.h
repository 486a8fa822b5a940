// The window's layout is given in twips (1/1440 inch): 15 twips make one
// pixel at 96 dots per inch, and the screen's logical dpi scales them.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <cmath>

#include "render/screen_dpi.h"

namespace paipan {

class Twips {
public:
    // At the primary screen's logical dpi (96 without a screen).
    Twips() : dpi_(ScreenDpi()) {}
    explicit Twips(double logicalDpi) : dpi_(logicalDpi) {}

    int px(int twips) const { return static_cast<int>(std::lround(twips * dpi_ / 1440.0)); }
    int twips(int px) const { return static_cast<int>(std::lround(px * 1440.0 / dpi_)); }
    QRect rect(int left, int top, int width, int height) const { return {px(left), px(top), px(width), px(height)}; }
    QPoint point(int left, int top) const { return {px(left), px(top)}; }
    QSize size(int width, int height) const { return {px(width), px(height)}; }

private:
    double dpi_;
};

}  // namespace paipan
