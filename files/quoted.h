// A file name or an argument as an error line shows it.
#pragma once

#include <string>
#include <string_view>

namespace trapezola {

// `text` in single quotes, with its control characters (line ends among them)
// written as C escapes: an error line stays one line whatever the text held.
std::string quoted(std::string_view text);

}  // namespace trapezola
