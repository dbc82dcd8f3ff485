#include "ui/toolkit/picture.h"

#include <QImage>
#include <QImageReader>
#include <QSaveFile>
#include <cstdint>
#include <cstring>
#include <vector>

#include "raster/conversions.h"
#include "ui/toolkit/widget_support.h"

namespace trapezola::toolkit {

void writeWholeFile(const std::string& fileName, const std::string& bytes) {
  QSaveFile file(qtText(fileName));
  if (!file.open(QIODevice::WriteOnly) ||
      file.write(bytes.data(), static_cast<qint64>(bytes.size())) != static_cast<qint64>(bytes.size()) ||
      !file.commit()) {
    throw Exception("Cannot write \"" + fileName + "\": " + stdText(file.errorString()));
  }
}

void TPicture::LoadFromFile(const std::string& fileName) {
  if (fileName.empty()) throw Exception("Cannot load a picture: no file name was given");
  QImageReader reader(qtText(fileName));
  const QImage decoded = reader.read();
  if (decoded.isNull()) {
    throw Exception("Cannot load the picture \"" + fileName + "\": " + stdText(reader.errorString()));
  }
  const QImage rgb = decoded.convertToFormat(QImage::Format_RGB32);
  const int width = rgb.width();
  const int height = rgb.height();
  // QImage may pad its rows; the canvas wants them back to back.
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  for (int y = 0; y < height; ++y) {
    std::memcpy(pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width),
                rgb.constScanLine(y), static_cast<std::size_t>(width) * sizeof(std::uint32_t));
  }
  canvas_.assign(width, height, pixels.data());
  texts_.clear();
  for (const QString& key : decoded.textKeys()) texts_[stdText(key)] = stdText(decoded.text(key));
}

void TPicture::SaveToFile(const std::string& fileName,
                          const std::vector<std::pair<std::string, std::string>>& texts) const {
  QImage view(reinterpret_cast<const uchar*>(canvas_.bits()), canvas_.width(), canvas_.height(),
              canvas_.width() * 4, QImage::Format_RGB32);
  for (const auto& [key, value] : texts) view.setText(qtText(key), qtText(value));
  QSaveFile file(qtText(fileName));
  if (!file.open(QIODevice::WriteOnly) || !view.save(&file, "PNG") || !file.commit()) {
    throw Exception("Cannot save the picture \"" + fileName + "\": " + stdText(file.errorString()));
  }
}

}  // namespace trapezola::toolkit
