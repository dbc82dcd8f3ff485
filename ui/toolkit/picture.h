// The picture of an image control: the canvas's pixels, loadable from a file.
//
// The picture is always a bitmap that can be drawn on, whatever format it was
// loaded from, so asking for Bitmap converts nothing.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "raster/canvas.h"

namespace trapezola::toolkit {

// Writes the bytes to a file whole or not at all; throws Exception naming it.
void writeWholeFile(const std::string& fileName, const std::string& bytes);

// A picture file read into memory: its pixels (0x00RRGGBB, rows back to back)
// and its key/value texts, not yet shown anywhere.
struct DecodedPicture {
  int width = 0, height = 0;
  std::vector<std::uint32_t> pixels;
  std::map<std::string, std::string> texts;
};

// Reads a picture file (JPEG, PNG, BMP and the other formats Qt reads). Throws
// Exception, naming the file and the cause, when it cannot be read.
DecodedPicture decodePicture(const std::string& fileName);

class TPicture {
 public:
  explicit TPicture(TCanvas& canvas) : canvas_(canvas) {}

  // Replaces the picture, size included, by the decoded file (JPEG, PNG, BMP and
  // the other formats Qt reads). Throws Exception, naming the file and the cause,
  // when it cannot be read; the picture is then left as it was.
  // The key/value texts of the file last loaded (a PNG's text chunks), none
  // for formats without them.
  void LoadFromFile(const std::string& fileName);
  // Replaces the picture and its texts by a decoded one.
  void Assign(DecodedPicture picture);
  const std::map<std::string, std::string>& Texts() const { return texts_; }

  // Writes the picture as a PNG file with the given texts as its text chunks,
  // whole or not at all. Throws Exception, naming the file, when it cannot.
  void SaveToFile(const std::string& fileName,
                  const std::vector<std::pair<std::string, std::string>>& texts) const;

  TCanvas* Bitmap() { return &canvas_; }

 private:
  TCanvas& canvas_;
  std::map<std::string, std::string> texts_;
};

}  // namespace trapezola::toolkit
