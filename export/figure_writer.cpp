// Figure units are points (1/72 inch): the page is the figure's width in
// points, the plot frame fills it less the margins for the tick texts and the
// title, with the portrait's aspect (its 778 x 666 plotting area), and the
// legend's rows go under the axis label. PDF and SVG keep the units; a PNG
// scales them to its width in pixels.
#include "export/figure_writer.h"

#include <QBuffer>
#include <QByteArray>
#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QSvgGenerator>
#include <algorithm>
#include <cctype>
#include <cmath>
#include <stdexcept>

namespace trapezola {

namespace {

// Text sizes in points, as a journal sets a figure's lettering.
constexpr int tickPoints = 7;
constexpr int labelPoints = 8;
constexpr int titlePoints = 9;
constexpr int legendPoints = 6;

constexpr double marginLeft = 30;
constexpr double marginRight = 8;
constexpr double marginTop = 16;
constexpr double axisBelow = 26;  // tick texts and the s label under the frame
constexpr double bottomPad = 4;
constexpr double tickLength = 3;
constexpr double frameLine = 0.5;
constexpr double portraitPlotWidth = figurePlotRight - figurePlotLeft;   // 778
constexpr double portraitPlotHeight = figurePlotBottom - figurePlotTop;  // 666
constexpr double legendSwatch = 4;
constexpr double legendGap = 2;
constexpr double legendSpacing = 6;
constexpr double legendLine = 7.5;

QColor colourOf(toolkit::TColor c) {
  return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                static_cast<int>((c >> 16) & 0xFF));
}

QFont fontOf(int points) {
  QFont font;
  font.setFamily(QStringLiteral("Liberation Sans"));
  // Pixel size in figure units, which are points.
  font.setPixelSize(points);
  return font;
}

struct Layout {
  double width = 0;
  double height = 0;
  double plotWidth = 0;
  double plotHeight = 0;
  double legendTop = 0;
  int legendColumns = 1;
  double legendColumnWidth = 0;
};

Layout layoutOf(const FigureContent& f, double widthMm) {
  Layout l;
  l.width = pointsFromMm(widthMm);
  l.plotWidth = l.width - marginLeft - marginRight;
  l.plotHeight = l.plotWidth * portraitPlotHeight / portraitPlotWidth;
  l.legendTop = marginTop + l.plotHeight + axisBelow;
  l.height = l.legendTop + bottomPad;
  if (f.legend && !f.orbits.empty()) {
    const QFontMetricsF metrics(fontOf(legendPoints));
    double widest = 0;
    for (const FigureOrbit& orbit : f.orbits) {
      widest = std::max(widest, metrics.horizontalAdvance(QString::fromStdString(legendText(orbit.start))));
    }
    l.legendColumnWidth = legendSwatch + legendGap + widest + legendSpacing;
    l.legendColumns = std::max(1, static_cast<int>((l.plotWidth + legendSpacing) / l.legendColumnWidth));
    const auto rows = (static_cast<int>(f.orbits.size()) + l.legendColumns - 1) / l.legendColumns;
    l.height += rows * legendLine + 2;
  }
  return l;
}

void paintFigure(QPainter& p, const FigureContent& f, const Layout& l) {
  const PhaseWindowRecord& w = f.window;
  p.fillRect(QRectF(0, 0, l.width, l.height), Qt::white);
  const double left = marginLeft;
  const double top = marginTop;
  const double bottom = top + l.plotHeight;
  const double right = left + l.plotWidth;
  const auto xOf = [&](double s) { return left + (s - w.sMin) * l.plotWidth / (w.sMax - w.sMin); };
  const auto yOf = [&](double phi) {
    return bottom - (phi - w.phiMin) * l.plotHeight / (w.phiMax - w.phiMin);
  };
  // Points per portrait pixel.
  const double unit = l.plotWidth / portraitPlotWidth;

  p.save();
  p.setClipRect(QRectF(left, top, l.plotWidth, l.plotHeight));
  if (f.grid) {
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(Qt::red, 0.3));
    for (const double s : f.corners) p.drawLine(QPointF(xOf(s), top), QPointF(xOf(s), bottom));
    for (const double phi : {pi / 4, pi / 2, 3 * pi / 4})
      p.drawLine(QPointF(left, yOf(phi)), QPointF(right, yOf(phi)));
  }
  if (!f.orbits.empty()) {
    // Each dot a stroke of one dot's length across, as wide as it is long:
    // the portrait's square dot at its exact place, in few bytes.
    p.setRenderHint(QPainter::Antialiasing, true);
    const double d = f.dotSize * unit;
    for (const FigureOrbit& orbit : f.orbits) {
      QPainterPath path;
      for (const PhasePoint& point : orbit.points) {
        if (!(point.s >= w.sMin && point.s <= w.sMax && point.phi >= w.phiMin && point.phi <= w.phiMax))
          continue;
        const double x = xOf(point.s);
        const double y = yOf(point.phi);
        path.moveTo(x - d / 2, y);
        path.lineTo(x + d / 2, y);
      }
      if (path.isEmpty()) continue;
      QPen pen(colourOf(orbit.colour), d, Qt::SolidLine, Qt::FlatCap);
      p.setPen(pen);
      p.setBrush(Qt::NoBrush);
      p.drawPath(path);
    }
  } else if (f.portrait != nullptr) {
    // The window's picture: its pixels moved so that the plotting area fills the frame.
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(Qt::NoPen);
    for (const DotRun& run :
         dotRuns(*f.portrait, figurePlotLeft, figurePlotTop - 3, figurePlotRight + 1, figurePlotBottom + 3)) {
      p.setBrush(colourOf(run.colour));
      p.drawRect(QRectF(left + (run.x - figurePlotLeft) * unit, top + (run.y - figurePlotTop) * unit,
                        run.length * unit, unit));
    }
  }
  p.restore();

  p.setRenderHint(QPainter::Antialiasing, true);
  p.setFont(fontOf(tickPoints));
  p.setPen(QPen(Qt::black, frameLine));
  p.setBrush(Qt::NoBrush);
  p.drawRect(QRectF(left, top, l.plotWidth, l.plotHeight));

  const std::vector<double> sTicks = niceTicks(w.sMin, w.sMax, 8);
  const double sStep = sTicks.size() > 1 ? sTicks[1] - sTicks[0] : 1;
  for (const double s : sTicks) {
    const double x = xOf(s);
    p.drawLine(QPointF(x, bottom), QPointF(x, bottom + tickLength));
    p.drawText(QRectF(x - 20, bottom + tickLength + 1, 40, tickPoints + 2), Qt::AlignHCenter | Qt::AlignTop,
               QString::fromStdString(tickText(s, sStep)));
  }
  for (const AxisTick& tick : phiTicks(w.phiMin, w.phiMax)) {
    const double y = yOf(tick.value);
    p.drawLine(QPointF(left - tickLength, y), QPointF(left, y));
    p.drawText(QRectF(0, y - tickPoints, left - tickLength - 1.5, 2 * tickPoints),
               Qt::AlignRight | Qt::AlignVCenter, QString::fromStdString(tick.text));
  }

  // The corners on the s axis: a red mark inside the frame with the corner's
  // number (s1 is corner 2, ..., s4 corner 1 again).
  p.setPen(QPen(Qt::red, 0.8));
  const char* const names[] = {"2", "3", "4", "1"};
  for (int k = 0; k < 4; ++k) {
    const double s = f.corners[static_cast<std::size_t>(k)];
    if (!(s >= w.sMin && s <= w.sMax)) continue;
    const double x = xOf(s);
    p.drawLine(QPointF(x, bottom - tickLength), QPointF(x, bottom));
    // A corner at the frame's right edge (s4) keeps its number inside the frame.
    const bool atRight = x > right - tickPoints;
    p.drawText(QRectF(atRight ? x - 21 : x - 10, bottom - tickLength - tickPoints - 2, 20, tickPoints + 1),
               (atRight ? Qt::AlignRight : Qt::AlignHCenter) | Qt::AlignBottom,
               QString::fromLatin1(names[k]));
  }

  p.setPen(Qt::black);
  p.setFont(fontOf(labelPoints));
  p.drawText(QRectF(left, bottom + tickLength + tickPoints + 3, l.plotWidth, labelPoints + 3),
             Qt::AlignHCenter | Qt::AlignTop, QStringLiteral("s (perimeter coordinate from corner 1)"));
  p.save();
  p.translate(labelPoints / 2.0 + 1, top + l.plotHeight / 2);
  p.rotate(-90);
  p.drawText(QRectF(-l.plotHeight / 2, -labelPoints / 2.0 - 1, l.plotHeight, labelPoints + 2),
             Qt::AlignCenter, QStringLiteral("\u03C6 (rad)"));
  p.restore();
  p.setFont(fontOf(titlePoints));
  p.drawText(QRectF(0, 2, l.width, marginTop - 3), Qt::AlignHCenter | Qt::AlignVCenter,
             QString::fromStdString(f.title));

  if (f.legend && !f.orbits.empty()) {
    p.setFont(fontOf(legendPoints));
    for (std::size_t i = 0; i < f.orbits.size(); ++i) {
      const int column = static_cast<int>(i) % l.legendColumns;
      const int row = static_cast<int>(i) / l.legendColumns;
      const double x = left + column * l.legendColumnWidth;
      const double y = l.legendTop + row * legendLine;
      p.fillRect(QRectF(x, y + (legendLine - legendSwatch) / 2, legendSwatch, legendSwatch),
                 colourOf(f.orbits[i].colour));
      p.drawText(QRectF(x + legendSwatch + legendGap, y, l.legendColumnWidth, legendLine),
                 Qt::AlignLeft | Qt::AlignVCenter, QString::fromStdString(legendText(f.orbits[i].start)));
    }
  }
}

}  // namespace

std::optional<FigureFormat> figureFormatFor(const std::string& path) {
  const auto dot = path.find_last_of('.');
  if (dot == std::string::npos) return std::nullopt;
  std::string ext = path.substr(dot + 1);
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (ext == "png") return FigureFormat::png;
  if (ext == "svg") return FigureFormat::svg;
  if (ext == "pdf") return FigureFormat::pdf;
  return std::nullopt;
}

int pngWidthFor(double widthMm, double dpi) {
  return static_cast<int>(std::lround(widthMm / 25.4 * dpi));
}

std::string renderFigure(const FigureContent& content, FigureFormat format, const FigurePage& page) {
  const Layout layout = layoutOf(content, page.widthMm);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  switch (format) {
    case FigureFormat::png: {
      const int width = std::clamp(page.pngWidth, minimumPngWidth, maximumPngWidth);
      const double scale = width / layout.width;
      QImage image(width, static_cast<int>(std::lround(layout.height * scale)), QImage::Format_RGB32);
      image.fill(Qt::white);
      // The resolution the width stands for, recorded in the file.
      const double dotsPerMetre = width / (page.widthMm / 1000);
      image.setDotsPerMeterX(static_cast<int>(std::lround(dotsPerMetre)));
      image.setDotsPerMeterY(static_cast<int>(std::lround(dotsPerMetre)));
      {
        QPainter p(&image);
        p.scale(scale, scale);
        paintFigure(p, content, layout);
      }
      if (!image.save(&buffer, "PNG")) throw std::runtime_error("cannot encode the figure as PNG");
      break;
    }
    case FigureFormat::svg: {
      // The generator states the size in millimetres from pixels at its
      // resolution: a thousandth of a point keeps the width exact.
      constexpr int thousandthsPerPoint = 1000;
      QSvgGenerator svg;
      svg.setOutputDevice(&buffer);
      svg.setResolution(72 * thousandthsPerPoint);
      svg.setSize(QSize(static_cast<int>(std::lround(layout.width * thousandthsPerPoint)),
                        static_cast<int>(std::lround(layout.height * thousandthsPerPoint))));
      svg.setViewBox(QRectF(0, 0, layout.width, layout.height));
      svg.setTitle(QString::fromStdString(content.title));
      QPainter p;
      if (!p.begin(&svg)) throw std::runtime_error("cannot encode the figure as SVG");
      paintFigure(p, content, layout);
      p.end();
      break;
    }
    case FigureFormat::pdf: {
      QPdfWriter pdf(&buffer);
      pdf.setResolution(72);
      pdf.setPageSize(QPageSize(QSizeF(page.widthMm, layout.height / 72 * 25.4), QPageSize::Millimeter));
      pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
      pdf.setTitle(QString::fromStdString(content.title));
      QPainter p;
      if (!p.begin(&pdf)) throw std::runtime_error("cannot encode the figure as PDF");
      paintFigure(p, content, layout);
      p.end();
      break;
    }
  }
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

std::string figureTitle(const std::string& b, const std::string& rr) {
  return "b = " + b + ", R8/R = " + rr;
}

}  // namespace trapezola
