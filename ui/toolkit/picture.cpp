#include "ui/toolkit/picture.h"

#include <QImage>
#include <QImageReader>
#include <QSaveFile>
#include <cstdint>
#include <cstring>
#include <utility>
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

DecodedPicture decodePicture(const std::string& fileName) {
  if (fileName.empty()) throw Exception("Cannot load a picture: no file name was given");
  QImageReader reader(qtText(fileName));
  const QImage decoded = reader.read();
  if (decoded.isNull()) {
    throw Exception("Cannot load the picture \"" + fileName + "\": " + stdText(reader.errorString()));
  }
  const QImage rgb = decoded.convertToFormat(QImage::Format_RGB32);
  DecodedPicture picture;
  picture.width = rgb.width();
  picture.height = rgb.height();
  // QImage may pad its rows; the canvas wants them back to back.
  const auto width = static_cast<std::size_t>(picture.width);
  picture.pixels.resize(width * static_cast<std::size_t>(picture.height));
  for (int y = 0; y < picture.height; ++y) {
    std::memcpy(picture.pixels.data() + static_cast<std::size_t>(y) * width, rgb.constScanLine(y),
                width * sizeof(std::uint32_t));
  }
  for (const QString& key : decoded.textKeys()) picture.texts[stdText(key)] = stdText(decoded.text(key));
  return picture;
}

void TPicture::LoadFromFile(const std::string& fileName) {
  Assign(decodePicture(fileName));
}

void TPicture::Assign(DecodedPicture picture) {
  canvas_.assign(picture.width, picture.height, picture.pixels.data());
  texts_ = std::move(picture.texts);
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
