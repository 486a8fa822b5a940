// The entry point paipan-cli finds in paipan-render.so for its pdf and png
// output. Both are built together from this tree, so C++ types cross it.
#pragma once

#include <string>

#include "chart/chart_request.h"

namespace paipan {

enum class RenderFormat { Pdf, Png };

// Writes a freshly made chart as the window would export it, whole or not at
// all; false with a Chinese reason in `error`. `programFolder` holds the
// print font.
using RenderChartFunction = bool (*)(const ChartResult& chart, RenderFormat format, const std::string& path,
                                     const std::string& programFolder, std::string& error);
// Beside the program, in its folder render/.
inline constexpr const char* kRenderPluginFileName = "render/paipan-render.so";
inline constexpr const char* kRenderChartSymbol = "paipan_render_chart";

}  // namespace paipan
