// Loading a stored picture into an image: the canvas takes the picture's pixels
// and size; a file that cannot be read raises an error naming it and leaves the
// canvas as it was.
#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <memory>
#include <ostream>
#include <string>

#include "raster/conversions.h"
#include "ui/toolkit/form.h"
#include "ui/toolkit/image.h"

namespace trapezola {
namespace {

using namespace toolkit;

class PictureLoading : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(folder_.isValid());
    image_ = new TImage(&window_, 40, 30);
    image_->Canvas->Brush->Color = clBlue;
    image_->Canvas->FillRect(0, 0, 40, 30);
  }

  std::string path(const char* name) const {
    return folder_.filePath(QString::fromLatin1(name)).toStdString();
  }

  QTemporaryDir folder_;
  TForm window_;
  TImage* image_ = nullptr;
};

struct StoredPicture {
  const char* name;
  const char* format;
};

void PrintTo(const StoredPicture& p, std::ostream* out) {
  *out << p.name;
}

class PictureFormats : public PictureLoading, public ::testing::WithParamInterface<StoredPicture> {};

TEST_P(PictureFormats, ReplacesTheCanvasSizeAndPixels) {
  QImage picture(7, 5, QImage::Format_RGB32);
  picture.fill(QColor(0, 128, 255));
  picture.setPixelColor(6, 4, QColor(255, 0, 0));
  const std::string file = path(GetParam().name);
  ASSERT_TRUE(picture.save(QString::fromStdString(file), GetParam().format, 100));

  image_->Picture->LoadFromFile(file);
  EXPECT_EQ(image_->Canvas->width(), 7);
  EXPECT_EQ(image_->Canvas->height(), 5);
  // JPEG at full quality keeps flat colours within a step or two per channel.
  const TColor inside = image_->Canvas->pixel(1, 1);
  EXPECT_NEAR(static_cast<int>(inside & 0xFF), 0, 2);
  EXPECT_NEAR(static_cast<int>((inside >> 8) & 0xFF), 128, 2);
  EXPECT_NEAR(static_cast<int>((inside >> 16) & 0xFF), 255, 2);
}

INSTANTIATE_TEST_SUITE_P(Formats, PictureFormats,
                         ::testing::Values(StoredPicture{"portrait.jpg", "JPG"},
                                           StoredPicture{"portrait.png", "PNG"},
                                           StoredPicture{"portrait.bmp", "BMP"}));

TEST_F(PictureLoading, UnreadableFileIsAnErrorThatNamesIt) {
  const std::string file = path("B_0.5_rr_2_i.jpg");
  QFile broken(QString::fromStdString(file));
  ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
  broken.write("not a picture");
  broken.close();

  try {
    image_->Picture->LoadFromFile(file);
    FAIL() << "no error for a file that is no picture";
  } catch (const Exception& error) {
    EXPECT_NE(std::string(error.what()).find(file), std::string::npos) << error.what();
  }
  EXPECT_EQ(image_->Canvas->width(), 40);
  EXPECT_EQ(image_->Canvas->pixel(3, 3), clBlue);
}

TEST_F(PictureLoading, MissingAndEmptyNamesAreErrors) {
  EXPECT_THROW(image_->Picture->LoadFromFile(path("nowhere.jpg")), Exception);
  EXPECT_THROW(image_->Picture->LoadFromFile(""), Exception);
  EXPECT_EQ(image_->Canvas->pixel(0, 0), clBlue);
}

}  // namespace
}  // namespace trapezola
