#include "ui/toolkit/picture.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <utility>
#include <vector>

#include "files/whole_file.h"
#include "raster/conversions.h"
#include "ui/toolkit/widget_support.h"

namespace trapezola::toolkit {

// Through the one writer of whole files (files/whole_file.h), as trapezola-cli
// and the lg(Tr) data file: its words name the file and the system's reason
// ("No space left on device"), where QSaveFile's commit says "Unknown error".
void writeWholeFile(const std::string& fileName, const std::string& bytes) {
  try {
    trapezola::writeWholeFile(fileName, bytes);
  } catch (const FileWriteError& e) {
    throw Exception(std::string("Cannot save: ") + e.what());
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
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (!view.save(&buffer, "PNG")) throw Exception("Cannot save the picture \"" + fileName + "\": PNG encoding failed");
  try {
    trapezola::writeWholeFile(fileName, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
  } catch (const FileWriteError& e) {
    throw Exception(std::string("Cannot save the picture: ") + e.what());
  }
}

}  // namespace trapezola::toolkit
