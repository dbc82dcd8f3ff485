// Where the lg(Tr) data file lives: adat2.dat in the user's application data
// folder (QStandardPaths::AppDataLocation, e.g. ~/.local/share/Trapezola), the
// same file for the series that writes it and the fit that reads it back.
#pragma once

#include <filesystem>
#include <optional>

namespace trapezola {

inline constexpr const char* lgTrDataFileName = "adat2.dat";

// The data file's path: the one set by setLgTrDataFilePath, otherwise adat2.dat
// in the application data folder. Throws toolkit::Exception when the platform
// names no such folder.
std::filesystem::path lgTrDataFilePath();

// The path for writing: as lgTrDataFilePath, with its folder created when it
// does not exist yet. A folder that cannot be created is left to the writer,
// whose error names the path.
std::filesystem::path lgTrDataFilePathForWriting();

// Puts the data file elsewhere (tests keep it in a temporary folder); no value
// goes back to the application data folder.
void setLgTrDataFilePath(std::optional<std::filesystem::path> path);

}  // namespace trapezola
