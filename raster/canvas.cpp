// Notation:
//   W, H      image width and height in pixels
//   D, d      a line's extent along its major and its minor axis (D >= d)
//   q(i)      minor-axis offset of the line's i-th pixel: i * d / D rounded,
//             halves away from the start, i.e. floor((2 i d + D) / (2 D))
//   w, h      ellipse box width and height; a = (w - 1) / 2, b = (h - 1) / 2 are
//             the semi-axes of the ellipse through the centres of the pixels on
//             the box edges
//   lo, hi    first and last column offset (0 .. w - 1) of one ellipse row
//   doubled   offsets from the box centre times two, so that half-pixel centres
//             stay integers
#include "raster/canvas.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstddef>
#include <stdexcept>

namespace trapezola::toolkit {

namespace {

// Clipping a line whose ends lie near INT_MIN and INT_MAX multiplies two
// 33-bit quantities; 128 bits hold that exactly.
__extension__ using Wide = __int128;

constexpr double kTwoPi = 6.283185307179586;
constexpr std::uint32_t kOpaque = 0xFF000000u;

constexpr std::uint32_t rgbFromColor(TColor c) {
  return kOpaque | ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}

constexpr TColor colorFromRgb(std::uint32_t p) {
  return ((p >> 16) & 0xFFu) | (p & 0xFF00u) | ((p & 0xFFu) << 16);
}

// Rounds num / den up; den > 0. C++ division truncates toward zero, which is
// already the ceiling for a negative quotient.
Wide ceilDiv(Wide num, Wide den) {
  Wide q = num / den;
  if (num % den != 0 && num > 0) ++q;
  return q;
}

// The rows of the rounded ellipse in a w x h box. A row holds the pixels that a
// midpoint walk along the curve would reach in it: its own crossing of the curve
// rounded to the nearest pixel (what decides the steep parts), widened to every
// column whose rounded crossing lies in this row or beyond it (what decides the
// flat parts). Taking both keeps a thin box filled to its ends and makes every
// row a symmetric interval that never widens away from the centre.
class EllipseRows {
 public:
  EllipseRows(std::int64_t w, std::int64_t h)
      : w_(w),
        h_(h),
        a_(static_cast<double>(w - 1) / 2),
        b_(static_cast<double>(h - 1) / 2),
        ratio_(w == h ? 1.0 : a_ / b_),
        full_(w <= 2 || h <= 2) {}

  // Columns lo .. hi of row j; lo > hi outside the box.
  void span(std::int64_t j, std::int64_t& lo, std::int64_t& hi) const {
    if (j < 0 || j >= h_) {
      lo = w_;
      hi = -1;
      return;
    }
    // With two rows or columns or fewer every pixel of the box is on the curve;
    // b = 0 would also make the ratio infinite.
    if (full_) {
      lo = 0;
      hi = w_ - 1;
      return;
    }
    const double ady = std::fabs(static_cast<double>(j) - b_);
    // (b - y)(b + y) rather than b^2 - y^2: exact for half-integers, so circles
    // come out symmetric to the last pixel.
    const double onCurve = ratio_ * std::sqrt((b_ - ady) * (b_ + ady)) + 0.5;
    double fromColumns = a_;
    if (ady > 0.5) {
      const double e = ady - 0.5;
      fromColumns = ratio_ * std::sqrt((b_ - e) * (b_ + e));
    }
    const double half = std::max(onCurve, fromColumns);
    hi = std::min(w_ - 1, static_cast<std::int64_t>(std::floor(a_ + half)));
    lo = w_ - 1 - hi;
  }

 private:
  std::int64_t w_;
  std::int64_t h_;
  double a_;
  double b_;
  double ratio_;
  bool full_;
};

// Doubled offset of pixel p from the centre of the box [lo, lo + extent).
std::int64_t doubledOffset(std::int64_t p, std::int64_t lo, std::int64_t extent) {
  return 2 * (p - lo) - (extent - 1);
}

// Angle of a doubled screen offset, counter-clockwise as seen on screen
// (y downwards, hence the sign change).
double screenAngle(std::int64_t dx2, std::int64_t dy2) {
  return std::atan2(-static_cast<double>(dy2), static_cast<double>(dx2));
}

}  // namespace

struct TCanvas::ArcSweep {
  std::int64_t left;
  std::int64_t top;
  std::int64_t w;
  std::int64_t h;
  double start;  // angle of the start ray
  double sweep;  // counter-clockwise extent, in (0, 2 pi]

  bool contains(std::int64_t x, std::int64_t y) const {
    double rel = screenAngle(doubledOffset(x, left, w), doubledOffset(y, top, h)) - start;
    if (rel < 0) rel += kTwoPi;
    return rel <= sweep;
  }
};

int pixelFromReal(double v) {
  // Written so that NaN fails the first test.
  if (!(v > -2147483649.0)) return INT_MIN;
  if (v >= 2147483648.0) return INT_MAX;
  return static_cast<int>(v);
}

TCanvas::TCanvas(int width, int height)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      pixels_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), rgbFromColor(clWhite)) {}

void TCanvas::MoveTo(int x, int y) {
  penX_ = x;
  penY_ = y;
}

void TCanvas::LineTo(int x, int y) {
  const std::int64_t x0 = penX_, y0 = penY_;
  penX_ = x;
  penY_ = y;
  const std::int64_t dx = std::int64_t{x} - x0, dy = std::int64_t{y} - y0;
  if ((dx == 0 && dy == 0) || width_ == 0 || height_ == 0) return;

  const bool xMajor = std::abs(dx) >= std::abs(dy);
  const std::int64_t bigD = xMajor ? std::abs(dx) : std::abs(dy);
  const std::int64_t smallD = xMajor ? std::abs(dy) : std::abs(dx);
  const std::int64_t majorSign = (xMajor ? dx : dy) > 0 ? 1 : -1;
  const std::int64_t minorSign = (xMajor ? dy : dx) >= 0 ? 1 : -1;
  const std::int64_t major0 = xMajor ? x0 : y0, minor0 = xMajor ? y0 : x0;
  const std::int64_t majorLimit = xMajor ? width_ : height_, minorLimit = xMajor ? height_ : width_;

  // Steps first .. last of 0 .. D - 1 (the end pixel D is excluded) whose pixel
  // lies in the image: solved in closed form, so that a line across the whole
  // int range costs no more than one across the image.
  Wide first = 0, last = bigD - 1;
  if (majorSign > 0) {
    first = std::max(first, Wide{-major0});
    last = std::min(last, Wide{majorLimit - 1 - major0});
  } else {
    first = std::max(first, Wide{major0 - (majorLimit - 1)});
    last = std::min(last, Wide{major0});
  }
  if (smallD == 0) {
    if (minor0 < 0 || minor0 >= minorLimit) return;
  } else {
    // The minor offsets q allowed by the image are qLo .. qHi; q(i) is monotone,
    // so they bound i: q(i) >= k  <=>  i >= ceil((2 D k - D) / (2 d)).
    const Wide qLo = minorSign > 0 ? -minor0 : minor0 - (minorLimit - 1);
    const Wide qHi = minorSign > 0 ? minorLimit - 1 - minor0 : minor0;
    first = std::max(first, ceilDiv(2 * Wide{bigD} * qLo - bigD, 2 * Wide{smallD}));
    last = std::min(last, ceilDiv(2 * Wide{bigD} * (qHi + 1) - bigD, 2 * Wide{smallD}) - 1);
  }
  if (first > last) return;

  const Wide numerator = 2 * first * smallD + bigD;
  const std::int64_t q = static_cast<std::int64_t>(numerator / (2 * Wide{bigD}));
  std::int64_t err = static_cast<std::int64_t>(numerator - Wide{q} * 2 * bigD);
  const std::int64_t steps = static_cast<std::int64_t>(last - first) + 1;
  const std::int64_t majorStart = major0 + majorSign * static_cast<std::int64_t>(first);
  const std::int64_t minorStart = minor0 + minorSign * q;
  const std::int64_t xStart = xMajor ? majorStart : minorStart;
  const std::int64_t yStart = xMajor ? minorStart : majorStart;

  const std::int64_t majorStride = xMajor ? majorSign : majorSign * width_;
  const std::int64_t minorStride = xMajor ? minorSign * width_ : minorSign;
  const std::uint32_t colour = rgbFromColor(pen_.Color);
  std::uint32_t* const px = pixels_.data();
  std::int64_t index = yStart * width_ + xStart;
  for (std::int64_t k = 0; k < steps; ++k) {
    px[index] = colour;
    index += majorStride;
    err += 2 * smallD;
    if (err >= 2 * bigD) {
      err -= 2 * bigD;
      index += minorStride;
    }
  }
  const std::int64_t qEnd = static_cast<std::int64_t>((2 * last * smallD + bigD) / (2 * Wide{bigD}));
  const std::int64_t majorEnd = major0 + majorSign * static_cast<std::int64_t>(last);
  const std::int64_t minorEnd = minor0 + minorSign * qEnd;
  const std::int64_t xEnd = xMajor ? majorEnd : minorEnd;
  const std::int64_t yEnd = xMajor ? minorEnd : majorEnd;
  markDirty(static_cast<int>(std::min(xStart, xEnd)), static_cast<int>(std::min(yStart, yEnd)),
            static_cast<int>(std::max(xStart, xEnd) + 1), static_cast<int>(std::max(yStart, yEnd) + 1));
  ++generation_;
}

void TCanvas::Ellipse(int x1, int y1, int x2, int y2) {
  const int left = std::min(x1, x2), top = std::min(y1, y2);
  const std::int64_t w = std::int64_t{std::max(x1, x2)} - left;
  const std::int64_t h = std::int64_t{std::max(y1, y2)} - top;
  if (w <= 0 || h <= 0) return;
  // Every plotted bounce is one of these dots: keep them off the general path.
  if (w <= 3 && h <= 3) {
    drawSmallEllipse(left, top, static_cast<int>(w), static_cast<int>(h));
    return;
  }
  drawEllipseRows(left, top, left + w, top + h, brush_.Style == bsSolid, nullptr);
}

void TCanvas::drawSmallEllipse(int left, int top, int w, int h) {
  // Local copies: a pixel store may alias any int or unsigned member, so the
  // compiler would reload them after every store.
  const int stride = width_;
  if (left < 0 || top < 0 || left > stride - w || top > height_ - h) {
    drawSmallEllipseClipped(left, top, w, h);
    return;
  }
  const std::uint32_t pen = rgbFromColor(pen_.Color);
  const bool fillCentre = brush_.Style == bsSolid;
  const std::uint32_t brush = rgbFromColor(brush_.Color);
  std::uint32_t* const row = pixels_.data() + static_cast<std::size_t>(top) * stride + left;
  if (w == 2 && h == 2) {
    row[0] = pen;
    row[1] = pen;
    row[stride] = pen;
    row[stride + 1] = pen;
  } else if (w == 3 && h == 3) {
    row[1] = pen;
    row[stride] = pen;
    if (fillCentre) row[stride + 1] = brush;
    row[stride + 2] = pen;
    row[2 * stride + 1] = pen;
  } else {
    for (int j = 0; j < h; ++j) {
      for (int i = 0; i < w; ++i) row[j * stride + i] = pen;
    }
  }
  markDirty(left, top, left + w, top + h);
  ++generation_;
}

void TCanvas::drawSmallEllipseClipped(int left, int top, int w, int h) {
  const std::uint32_t pen = rgbFromColor(pen_.Color);
  const std::uint32_t brush = rgbFromColor(brush_.Color);
  const bool plus = w == 3 && h == 3;
  const bool fillCentre = plus && brush_.Style == bsSolid;
  bool drawn = false;
  for (int j = 0; j < h; ++j) {
    const std::int64_t y = std::int64_t{top} + j;
    if (y < 0 || y >= height_) continue;
    for (int i = 0; i < w; ++i) {
      const std::int64_t x = std::int64_t{left} + i;
      if (x < 0 || x >= width_) continue;
      const bool corner = plus && i != 1 && j != 1;
      const bool centre = plus && i == 1 && j == 1;
      if (corner || (centre && !fillCentre)) continue;
      pixels_[static_cast<std::size_t>(y) * width_ + static_cast<std::size_t>(x)] = centre ? brush : pen;
      markDirty(static_cast<int>(x), static_cast<int>(y), static_cast<int>(x + 1), static_cast<int>(y + 1));
      drawn = true;
    }
  }
  if (drawn) ++generation_;
}

void TCanvas::Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
  const std::int64_t left = std::min(x1, x2), top = std::min(y1, y2);
  const std::int64_t right = std::max(x1, x2), bottom = std::max(y1, y2);
  if (right <= left || bottom <= top) return;
  ArcSweep s{left, top, right - left, bottom - top, 0, 0};
  s.start = screenAngle(doubledOffset(x3, left, s.w), doubledOffset(y3, top, s.h));
  const double end = screenAngle(doubledOffset(x4, left, s.w), doubledOffset(y4, top, s.h));
  s.sweep = end - s.start;
  // Equal rays mean a full turn, as in the GDI.
  if (s.sweep <= 0) s.sweep += kTwoPi;
  drawEllipseRows(left, top, right, bottom, false, &s);
}

void TCanvas::drawEllipseRows(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom,
                              bool fillInterior, const ArcSweep* sweep) {
  const std::int64_t yFirst = std::max<std::int64_t>(top, 0);
  const std::int64_t yEnd = std::min<std::int64_t>(bottom, height_);
  const std::int64_t xFirst = std::max<std::int64_t>(left, 0);
  const std::int64_t xEnd = std::min<std::int64_t>(right, width_);
  if (yFirst >= yEnd || xFirst >= xEnd) return;

  const std::int64_t w = right - left;
  const EllipseRows rows(w, bottom - top);
  const std::uint32_t pen = rgbFromColor(pen_.Color);
  const std::uint32_t brush = rgbFromColor(brush_.Color);

  // Sets columns left + from .. left + to of row y, clipped to the image.
  auto paint = [&](std::int64_t y, std::int64_t from, std::int64_t to, std::uint32_t colour, bool outline) {
    const std::int64_t x0 = std::max(left + from, xFirst);
    const std::int64_t x1 = std::min(left + to, xEnd - 1);
    std::uint32_t* row = pixels_.data() + y * width_;
    for (std::int64_t x = x0; x <= x1; ++x) {
      if (outline && sweep != nullptr && !sweep->contains(x, y)) continue;
      row[x] = colour;
    }
  };

  // Only the visible rows are visited, with their neighbours above and below:
  // an outline pixel is one of the ellipse that has a horizontal or vertical
  // neighbour outside it, and everything else inside is interior.
  std::int64_t j = yFirst - top;
  std::int64_t loAbove, hiAbove, lo, hi, loBelow, hiBelow;
  rows.span(j - 1, loAbove, hiAbove);
  rows.span(j, lo, hi);
  for (std::int64_t y = yFirst; y < yEnd; ++y, ++j) {
    rows.span(j + 1, loBelow, hiBelow);
    const std::int64_t innerLo = std::max({lo + 1, loAbove, loBelow});
    const std::int64_t innerHi = std::min({hi - 1, hiAbove, hiBelow});
    if (innerLo > innerHi) {
      paint(y, lo, hi, pen, true);
    } else {
      paint(y, lo, innerLo - 1, pen, true);
      paint(y, innerHi + 1, hi, pen, true);
      if (fillInterior) paint(y, innerLo, innerHi, brush, false);
    }
    loAbove = lo;
    hiAbove = hi;
    lo = loBelow;
    hi = hiBelow;
  }
  markDirty(static_cast<int>(xFirst), static_cast<int>(yFirst), static_cast<int>(xEnd),
            static_cast<int>(yEnd));
  ++generation_;
}

void TCanvas::FillRect(int left, int top, int right, int bottom) {
  if (brush_.Style == bsClear || right <= left || bottom <= top) return;
  const int x0 = std::max(left, 0), x1 = std::min(right, width_);
  const int y0 = std::max(top, 0), y1 = std::min(bottom, height_);
  if (x0 >= x1 || y0 >= y1) return;
  const std::uint32_t colour = rgbFromColor(brush_.Color);
  for (int y = y0; y < y1; ++y) {
    std::uint32_t* row = pixels_.data() + static_cast<std::size_t>(y) * width_;
    std::fill(row + x0, row + x1, colour);
  }
  markDirty(x0, y0, x1, y1);
  ++generation_;
}

TColor TCanvas::pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return clBlack;
  return colorFromRgb(pixels_[static_cast<std::size_t>(y) * width_ + x]);
}

void TCanvas::assign(int width, int height, const std::uint32_t* rgb32) {
  const int w = std::max(width, 0), h = std::max(height, 0);
  const std::size_t count = static_cast<std::size_t>(w) * static_cast<std::size_t>(h);
  if (count > 0 && rgb32 == nullptr)
    throw std::invalid_argument("TCanvas::assign: no pixels for a non-empty image");
  std::vector<std::uint32_t> pixels(count);
  for (std::size_t i = 0; i < count; ++i) pixels[i] = rgb32[i] | kOpaque;
  pixels_.swap(pixels);
  width_ = w;
  height_ = h;
  dirty_ = TRect{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
  if (count > 0) markDirty(0, 0, w, h);
  ++generation_;
}

void TCanvas::copyPixels(const TCanvas& from, const TRect& rect) {
  if (from.width_ != width_ || from.height_ != height_) return;
  const int left = std::max(rect.Left, 0), right = std::min(rect.Right, width_);
  const int top = std::max(rect.Top, 0), bottom = std::min(rect.Bottom, height_);
  if (right <= left || bottom <= top) return;
  for (int y = top; y < bottom; ++y) {
    const std::size_t row = static_cast<std::size_t>(y) * static_cast<std::size_t>(width_);
    std::copy(from.pixels_.begin() + static_cast<std::ptrdiff_t>(row + static_cast<std::size_t>(left)),
              from.pixels_.begin() + static_cast<std::ptrdiff_t>(row + static_cast<std::size_t>(right)),
              pixels_.begin() + static_cast<std::ptrdiff_t>(row + static_cast<std::size_t>(left)));
  }
  markDirty(left, top, right, bottom);
  ++generation_;
}

void TCanvas::markDirty(int left, int top, int right, int bottom) {
  dirty_.Left = std::min(dirty_.Left, left);
  dirty_.Top = std::min(dirty_.Top, top);
  dirty_.Right = std::max(dirty_.Right, right);
  dirty_.Bottom = std::max(dirty_.Bottom, bottom);
}

TRect TCanvas::takeDirtyRect() {
  const TRect taken = dirty_.isEmpty() ? TRect{} : dirty_;
  dirty_ = TRect{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
  return taken;
}

}  // namespace trapezola::toolkit
