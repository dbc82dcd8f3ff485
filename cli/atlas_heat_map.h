// The heat map of atlas --png and atlas-plot, in the build with the window
// program (atlas_plot_command.cpp).
#pragma once

#include <string>

#include "report/atlas_files.h"

namespace trapezola::cli {

// The heat map of one value column over the (b, R8/R) plane as the bytes of a
// picture ("png", "svg" or "pdf"); cells the pair lacks (a shard) are drawn as
// missing. Throws FileWriteError when the picture cannot be encoded.
std::string atlasHeatMap(const AtlasPair& pair, const std::string& column, const std::string& format);

}  // namespace trapezola::cli
