// Figure units: the plot frame is the portrait's 778 x 666 plotting area, one
// unit a portrait pixel, with margins around it for the tick texts and title.
// PNG scales the units to the chosen width; SVG and PDF keep them (PDF points).
#include "export/figure_writer.h"

#include <QBuffer>
#include <QByteArray>
#include <QFont>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>
#include <algorithm>
#include <cctype>
#include <cmath>
#include <stdexcept>

#include "explorer/figure_layout.h"

namespace trapezola {

namespace {

constexpr double marginLeft = 70;
constexpr double marginRight = 30;
constexpr double marginTop = 50;
constexpr double marginBottom = 64;
constexpr double plotWidth = figurePlotRight - figurePlotLeft;   // 778
constexpr double plotHeight = figurePlotBottom - figurePlotTop;  // 666
constexpr double figureWidth = marginLeft + plotWidth + marginRight;
constexpr double figureHeight = marginTop + plotHeight + marginBottom;
constexpr double tickLength = 6;
constexpr int minimumPngWidth = 200;

QColor colourOf(toolkit::TColor c) {
  return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                static_cast<int>((c >> 16) & 0xFF));
}

void paintFigure(QPainter& p, const FigureContent& f) {
  const PhaseWindowRecord& w = f.window;
  p.setRenderHint(QPainter::Antialiasing, false);
  p.fillRect(QRectF(0, 0, figureWidth, figureHeight), Qt::white);

  // The dots: portrait pixels moved so that the plotting area fills the frame.
  if (f.portrait != nullptr) {
    p.save();
    p.setClipRect(QRectF(marginLeft, marginTop, plotWidth, plotHeight + 3));
    p.setPen(Qt::NoPen);
    for (const DotRun& run :
         dotRuns(*f.portrait, figurePlotLeft, figurePlotTop - 3, figurePlotRight + 1, figurePlotBottom + 3)) {
      p.setBrush(colourOf(run.colour));
      p.drawRect(
          QRectF(marginLeft + (run.x - figurePlotLeft), marginTop + (run.y - figurePlotTop), run.length, 1));
    }
    p.restore();
  }

  QFont font;
  font.setFamily(QStringLiteral("Liberation Sans"));
  font.setPixelSize(14);
  p.setFont(font);
  p.setPen(QPen(Qt::black, 1));
  p.setBrush(Qt::NoBrush);
  p.drawRect(QRectF(marginLeft, marginTop, plotWidth, plotHeight));

  const double bottom = marginTop + plotHeight;
  const auto xOf = [&](double s) { return marginLeft + (s - w.sMin) * plotWidth / (w.sMax - w.sMin); };
  const auto yOf = [&](double phi) { return bottom - (phi - w.phiMin) * plotHeight / (w.phiMax - w.phiMin); };

  const std::vector<double> sTicks = niceTicks(w.sMin, w.sMax, 8);
  const double sStep = sTicks.size() > 1 ? sTicks[1] - sTicks[0] : 1;
  for (const double s : sTicks) {
    const double x = xOf(s);
    p.drawLine(QPointF(x, bottom), QPointF(x, bottom + tickLength));
    p.drawText(QRectF(x - 40, bottom + tickLength + 2, 80, 18), Qt::AlignHCenter | Qt::AlignTop,
               QString::fromStdString(tickText(s, sStep)));
  }
  const std::vector<double> phiTicks = niceTicks(w.phiMin, w.phiMax, 6);
  const double phiStep = phiTicks.size() > 1 ? phiTicks[1] - phiTicks[0] : 1;
  for (const double phi : phiTicks) {
    const double y = yOf(phi);
    p.drawLine(QPointF(marginLeft - tickLength, y), QPointF(marginLeft, y));
    p.drawText(QRectF(0, y - 9, marginLeft - tickLength - 4, 18), Qt::AlignRight | Qt::AlignVCenter,
               QString::fromStdString(tickText(phi, phiStep)));
  }

  // The corners on the s axis: a red mark under the axis with the corner's
  // number (s1 is corner 2, ..., s4 corner 1 again).
  p.setPen(QPen(Qt::red, 1.5));
  const char* const names[] = {"2", "3", "4", "1"};
  for (int k = 0; k < 4; ++k) {
    const double s = f.corners[static_cast<std::size_t>(k)];
    if (!(s >= w.sMin && s <= w.sMax)) continue;
    const double x = xOf(s);
    p.drawLine(QPointF(x, bottom - tickLength), QPointF(x, bottom));
    p.drawText(QRectF(x - 20, bottom - tickLength - 18, 40, 16), Qt::AlignHCenter | Qt::AlignBottom,
               QString::fromLatin1(names[k]));
  }

  p.setPen(Qt::black);
  p.drawText(QRectF(marginLeft, bottom + 26, plotWidth, 20), Qt::AlignHCenter | Qt::AlignTop,
             QStringLiteral("s (perimeter coordinate from corner 1)"));
  p.save();
  p.translate(14, marginTop + plotHeight / 2);
  p.rotate(-90);
  p.drawText(QRectF(-plotHeight / 2, -10, plotHeight, 20), Qt::AlignCenter, QStringLiteral("\u03C6 (rad)"));
  p.restore();
  QFont titleFont = font;
  titleFont.setPixelSize(18);
  p.setFont(titleFont);
  p.drawText(QRectF(0, 10, figureWidth, 30), Qt::AlignHCenter | Qt::AlignVCenter,
             QString::fromStdString(f.title));
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

std::string renderFigure(const FigureContent& content, FigureFormat format, int pngWidth) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  switch (format) {
    case FigureFormat::png: {
      const int width = std::max(pngWidth, minimumPngWidth);
      const double scale = width / figureWidth;
      QImage image(width, static_cast<int>(std::lround(figureHeight * scale)), QImage::Format_RGB32);
      image.fill(Qt::white);
      {
        QPainter p(&image);
        p.scale(scale, scale);
        paintFigure(p, content);
      }
      if (!image.save(&buffer, "PNG")) throw std::runtime_error("cannot encode the figure as PNG");
      break;
    }
    case FigureFormat::svg: {
      QSvgGenerator svg;
      svg.setOutputDevice(&buffer);
      svg.setSize(QSize(static_cast<int>(figureWidth), static_cast<int>(figureHeight)));
      svg.setViewBox(QRectF(0, 0, figureWidth, figureHeight));
      svg.setTitle(QString::fromStdString(content.title));
      QPainter p;
      if (!p.begin(&svg)) throw std::runtime_error("cannot encode the figure as SVG");
      paintFigure(p, content);
      p.end();
      break;
    }
    case FigureFormat::pdf: {
      QPdfWriter pdf(&buffer);
      pdf.setResolution(72);
      pdf.setPageSize(QPageSize(QSizeF(figureWidth, figureHeight), QPageSize::Point));
      pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
      pdf.setTitle(QString::fromStdString(content.title));
      QPainter p;
      if (!p.begin(&pdf)) throw std::runtime_error("cannot encode the figure as PDF");
      paintFigure(p, content);
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
