// The picture of an image control: the canvas's pixels, loadable from a file.
//
// The picture is always a bitmap that can be drawn on, whatever format it was
// loaded from, so asking for Bitmap converts nothing.
#pragma once

#include <string>

#include "toolkit_core/canvas.h"

namespace trapezola::toolkit {

class TPicture {
 public:
  explicit TPicture(TCanvas& canvas) : canvas_(canvas) {}

  // Replaces the picture, size included, by the decoded file (JPEG, PNG, BMP and
  // the other formats Qt reads). Throws Exception, naming the file and the cause,
  // when it cannot be read; the picture is then left as it was.
  void LoadFromFile(const std::string& fileName);

  TCanvas* Bitmap() { return &canvas_; }

 private:
  TCanvas& canvas_;
};

}  // namespace trapezola::toolkit
