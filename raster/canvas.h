// A raster drawing surface with the semantics the windows rely on, and no Qt in
// its interface: the phase portrait, the table sketch, the Lyapunov graph and the
// command-line renderer all draw through it.
//
// Conventions: pixel coordinates are integers, origin top left, y downwards.
// Colours are TColor values 0x00BBGGRR (255 red, 65280 green, 0xFF0000 blue).
// Line and rectangle ends are exclusive; ellipses and arcs are given by their
// bounding box in any corner order; arcs run counter-clockwise from the ray
// through the start point to the ray through the end point. Everything is
// clipped to the image, whatever the coordinates.
//
// Pixel rules, in the manner of the Windows GDI with a one-pixel pen:
// - LineTo sets the start pixel and every pixel of a Bresenham walk up to, but
//   not including, the end pixel. Ties on the minor axis round away from the
//   start. A line of zero length sets nothing.
// - An ellipse box covers columns min(x1, x2) .. max(x1, x2) - 1 and rows
//   min(y1, y2) .. max(y1, y2) - 1; an empty box draws nothing. The ellipse
//   touches all four sides of its box. A box of width or height 1 or 2 is filled
//   completely with the pen colour (a 2 x 2 box is a square dot); a 3 x 3 box is
//   a plus: four pen pixels around a centre in the brush colour. Larger boxes
//   follow the midpoint rule: the outline is the ring of pixels of the rounded
//   ellipse that have a horizontal or vertical neighbour outside it, and the
//   pixels inside the ring take the brush colour when the brush is bsSolid.
// - Arc sets exactly those outline pixels of Ellipse on the same box whose
//   centres lie within the counter-clockwise (as seen on screen) sweep from the
//   start ray to the end ray, both rays included. The rays start at the centre of
//   the box and pass through the centres of the pixels (x3, y3) and (x4, y4).
//   Equal rays give the whole outline.
// - FillRect and the ellipse interior paint nothing when the brush is bsClear.
#pragma once

#include <climits>
#include <cstdint>
#include <vector>

namespace trapezola::toolkit {

using TColor = std::uint32_t;

inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clGreen = 0x00FF00;  // 65280, the corner curves' green
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clWhite = 0xFFFFFF;

enum TBrushStyle { bsSolid, bsClear };

struct TPen {
  TColor Color = clBlack;
};

struct TBrush {
  TColor Color = clWhite;
  TBrushStyle Style = bsSolid;
};

// A pixel rectangle, Right and Bottom excluded.
struct TRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;

  bool isEmpty() const { return Right <= Left || Bottom <= Top; }
};

// Truncation toward zero that saturates: NaN and -inf give INT_MIN, +inf and
// values beyond the int range give INT_MAX or INT_MIN. Every real-to-pixel
// conversion in the program goes through it.
int pixelFromReal(double v);

class TCanvas {
 public:
  TCanvas(int width, int height);  // starts white; a negative size counts as 0
  TCanvas(const TCanvas&) = delete;
  TCanvas& operator=(const TCanvas&) = delete;

  TPen* const Pen = &pen_;
  TBrush* const Brush = &brush_;

  void MoveTo(int x, int y);
  void LineTo(int x, int y);                     // end pixel excluded; (x, y) becomes the pen position
  void Ellipse(int x1, int y1, int x2, int y2);  // outlined with the pen, filled with the brush
  void Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
  void FillRect(int left, int top, int right, int bottom);  // right and bottom excluded
  void FillRect(const TRect& rect) { FillRect(rect.Left, rect.Top, rect.Right, rect.Bottom); }

  int width() const { return width_; }
  int height() const { return height_; }
  int penX() const { return penX_; }
  int penY() const { return penY_; }

  // The colour at (x, y) as a TColor; black outside the image.
  TColor pixel(int x, int y) const;
  // Pixels as 0xFFRRGGBB words, row after row: the layout of QImage::Format_RGB32,
  // so a display can wrap the buffer without copying it.
  const std::uint32_t* bits() const { return pixels_.data(); }
  std::uint32_t* bits() { return pixels_.data(); }
  // Replaces the whole image (size included) by a loaded picture given in the
  // same 0xFFRRGGBB layout; the top byte is forced to 0xFF. A null picture with a
  // non-empty size throws std::invalid_argument.
  void assign(int width, int height, const std::uint32_t* rgb32);
  // Copies the pixels of `rect` (clipped to both images) from a canvas of the
  // same size, as drawing would: the rectangle becomes dirty. Pen, brush and pen
  // position stay this canvas's own. Canvases of different sizes copy nothing.
  void copyPixels(const TCanvas& from, const TRect& rect);

  // Bumped by every drawing operation that reaches the image, so a display knows
  // when to repaint.
  std::uint64_t generation() const { return generation_; }
  // The smallest rectangle holding every pixel written since the previous call
  // (empty when none was), so a display copies only what changed. Writing
  // through bits() is not tracked.
  TRect takeDirtyRect();

 private:
  struct ArcSweep;

  void markDirty(int left, int top, int right, int bottom);
  void drawSmallEllipse(int left, int top, int w, int h);
  void drawSmallEllipseClipped(int left, int top, int w, int h);
  // Outline (and, with fillInterior, the inside) of the ellipse in the box
  // [left, right) x [top, bottom), restricted to the sweep when one is given.
  void drawEllipseRows(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom,
                       bool fillInterior, const ArcSweep* sweep);

  TPen pen_;
  TBrush brush_;
  int width_;
  int height_;
  int penX_ = 0;
  int penY_ = 0;
  std::uint64_t generation_ = 0;
  // Right < Left until something is written, so that markDirty needs no test.
  TRect dirty_{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
  std::vector<std::uint32_t> pixels_;
};

}  // namespace trapezola::toolkit
