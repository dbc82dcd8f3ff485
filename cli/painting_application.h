// The application object that Qt's painter needs for its fonts, for the
// commands that draw pictures with text (atlas-plot, continue --png).
#pragma once

#include <functional>
#include <string>

namespace trapezola::cli {

// Calls `paint` with a QGuiApplication in the process: the existing one, or
// one on the offscreen platform (no display needed) for the length of the
// call. Qt's notes on standard error (no XDG_RUNTIME_DIR and the like) are
// kept back meanwhile: the tool says in one line what went wrong, or nothing.
std::string paintWithApplication(const std::function<std::string()>& paint);

}  // namespace trapezola::cli
