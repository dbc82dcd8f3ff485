#include "ui/lyapunov_window/lgtr_data_path.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QString>

#include "raster/conversions.h"

namespace trapezola {

namespace {

std::optional<std::filesystem::path> overridePath;

std::filesystem::path fromQt(const QString& path) {
  return std::filesystem::path(QFile::encodeName(path).toStdString());
}

QString applicationDataFolder() {
  const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
  // An empty answer would put the file in whatever folder the program was
  // started from.
  if (folder.isEmpty()) {
    throw toolkit::Exception("There is no application data folder for the lg(Tr) data file " +
                             std::string(lgTrDataFileName));
  }
  return folder;
}

}  // namespace

std::filesystem::path lgTrDataFilePath() {
  if (overridePath) return *overridePath;
  return fromQt(applicationDataFolder()) / lgTrDataFileName;
}

std::filesystem::path lgTrDataFilePathForWriting() {
  const std::filesystem::path path = lgTrDataFilePath();
  const std::filesystem::path folder = path.parent_path();
  if (!folder.empty()) QDir().mkpath(QFile::decodeName(folder.string().c_str()));
  return path;
}

void setLgTrDataFilePath(std::optional<std::filesystem::path> path) {
  overridePath = std::move(path);
}

}  // namespace trapezola
