// Notation: nb and nr are the numbers of b and R8/R values, i a b index (a
// column of cells), j an R8/R index (a row, counted from the bottom); t is a
// value's place on the colour scale, 0 at its low end and 1 at its high end.
#include "export/heat_map.h"

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QFont>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <stdexcept>

namespace trapezola {

namespace {

// viridis at t = k / 9.
constexpr std::array<std::uint32_t, 10> viridisStops{0x440154, 0x482878, 0x3E4989, 0x31688E, 0x26828E,
                                                     0x1F9E89, 0x35B779, 0x6ECE58, 0xB5DE2B, 0xFDE725};
constexpr QRgb missingCell = 0xFFC0C0C0;
constexpr int barLeft = 800;
constexpr int barRight = 830;
// At most this many tick values along an axis, so that their texts never meet.
constexpr std::size_t maxAxisTicks = 8;
constexpr int colourBarTicks = 5;
const char* const fontFamily = "Liberation Sans";

int columnEdge(std::size_t i, std::size_t nb) {
  return plotLeft + static_cast<int>(static_cast<std::size_t>(plotRight - plotLeft) * i / nb);
}

// Rows are counted from the bottom: edge j is the lower edge of row j.
int rowEdge(std::size_t j, std::size_t nr) {
  return plotBottom - static_cast<int>(static_cast<std::size_t>(plotBottom - plotTop) * j / nr);
}

QString number(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%.4g", v);
  return QString::fromLatin1(text);
}

QFont font(int pixels, bool bold = false) {
  QFont f(QString::fromLatin1(fontFamily));
  f.setPixelSize(pixels);
  f.setBold(bold);
  return f;
}

void paintHeatMap(QPainter& painter, const HeatMap& map) {
  const std::size_t nb = map.bValues.size();
  const std::size_t nr = map.rrValues.size();
  double low = 0;
  double high = 1;
  heatMapScale(map, low, high);
  painter.fillRect(0, 0, heatMapWidth, heatMapHeight, Qt::white);
  painter.setPen(Qt::black);

  painter.setFont(font(20, true));
  painter.drawText(QRect(0, 12, heatMapWidth, 28), Qt::AlignCenter, QString::fromStdString(map.title));
  painter.setFont(font(14));
  painter.drawText(QRect(0, 42, heatMapWidth, 22), Qt::AlignCenter, QString::fromStdString(map.subtitle));

  for (std::size_t i = 0; i < nb; ++i) {
    for (std::size_t j = 0; j < nr; ++j) {
      const double v = map.values[i * nr + j];
      const QRgb colour = std::isfinite(v) ? 0xFF000000u | viridis((v - low) / (high - low)) : missingCell;
      const int left = columnEdge(i, nb);
      const int top = rowEdge(j + 1, nr);
      painter.fillRect(left, top, columnEdge(i + 1, nb) - left, rowEdge(j, nr) - top,
                       QColor::fromRgb(colour));
    }
  }
  painter.setPen(Qt::black);
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(plotLeft - 1, plotTop - 1, plotRight - plotLeft + 1, plotBottom - plotTop + 1);

  // Ticks at cell centres, every step-th cell and always the last.
  painter.setFont(font(13));
  const auto ticks = [](std::size_t n) {
    std::vector<std::size_t> at;
    const std::size_t step = (n + maxAxisTicks - 1) / maxAxisTicks;
    for (std::size_t k = 0; k < n; k += std::max<std::size_t>(step, 1)) at.push_back(k);
    if (at.back() != n - 1) {
      if (at.size() > 1 && n - 1 - at.back() < step) at.pop_back();
      at.push_back(n - 1);
    }
    return at;
  };
  if (nb > 0) {
    for (const std::size_t i : ticks(nb)) {
      const int x = (columnEdge(i, nb) + columnEdge(i + 1, nb)) / 2;
      painter.drawLine(x, plotBottom, x, plotBottom + 6);
      painter.drawText(QRect(x - 40, plotBottom + 8, 80, 18), Qt::AlignHCenter | Qt::AlignTop,
                       number(map.bValues[i]));
    }
  }
  if (nr > 0) {
    for (const std::size_t j : ticks(nr)) {
      const int y = (rowEdge(j, nr) + rowEdge(j + 1, nr)) / 2;
      painter.drawLine(plotLeft - 7, y, plotLeft - 1, y);
      painter.drawText(QRect(plotLeft - 90, y - 9, 80, 18), Qt::AlignRight | Qt::AlignVCenter,
                       number(map.rrValues[j]));
    }
  }
  painter.setFont(font(16));
  painter.drawText(QRect(plotLeft, plotBottom + 34, plotRight - plotLeft, 24), Qt::AlignCenter,
                   QStringLiteral("b (half the short side)"));
  painter.save();
  painter.translate(24, (plotTop + plotBottom) / 2);
  painter.rotate(-90);
  painter.drawText(QRect(-200, -12, 400, 24), Qt::AlignCenter,
                   QStringLiteral("R8/R (side radius / bottom radius)"));
  painter.restore();

  // The colour bar, one pixel row per step of the scale.
  for (int y = plotTop; y < plotBottom; ++y) {
    const double t = static_cast<double>(plotBottom - 1 - y) / (plotBottom - 1 - plotTop);
    painter.fillRect(barLeft, y, barRight - barLeft, 1, QColor::fromRgb(0xFF000000u | viridis(t)));
  }
  painter.drawRect(barLeft - 1, plotTop - 1, barRight - barLeft + 1, plotBottom - plotTop + 1);
  painter.setFont(font(13));
  for (int k = 0; k < colourBarTicks; ++k) {
    const double v = low + (high - low) * k / (colourBarTicks - 1);
    const int y = plotBottom - 1 - (plotBottom - 1 - plotTop) * k / (colourBarTicks - 1);
    painter.drawLine(barRight, y, barRight + 6, y);
    painter.drawText(QRect(barRight + 9, y - 9, 110, 18), Qt::AlignLeft | Qt::AlignVCenter, number(v));
  }
  painter.setFont(font(14, true));
  painter.drawText(QRect(barLeft - 60, plotTop - 30, 200, 22), Qt::AlignCenter,
                   QString::fromStdString(map.valueName));
  if (std::any_of(map.values.begin(), map.values.end(), [](double v) { return !std::isfinite(v); })) {
    painter.fillRect(barLeft, plotBottom + 30, 14, 14, QColor::fromRgb(missingCell));
    painter.setFont(font(13));
    painter.drawText(QRect(barLeft + 20, plotBottom + 28, 130, 18), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("no value"));
  }
}

}  // namespace

std::uint32_t viridis(double t) {
  if (!(t > 0)) return viridisStops.front();
  if (t >= 1) return viridisStops.back();
  const double scaled = t * (viridisStops.size() - 1);
  const auto k = static_cast<std::size_t>(scaled);
  const double f = scaled - static_cast<double>(k);
  const std::uint32_t a = viridisStops[k];
  const std::uint32_t b = viridisStops[k + 1];
  std::uint32_t rgb = 0;
  for (const int shift : {16, 8, 0}) {
    const double from = (a >> shift) & 0xFFu;
    const double to = (b >> shift) & 0xFFu;
    rgb |= static_cast<std::uint32_t>(std::lround(from + (to - from) * f)) << shift;
  }
  return rgb;
}

void heatMapScale(const HeatMap& map, double& low, double& high) {
  bool any = false;
  for (const double v : map.values) {
    if (!std::isfinite(v)) continue;
    low = any ? std::min(low, v) : v;
    high = any ? std::max(high, v) : v;
    any = true;
  }
  if (!any) {
    low = 0;
    high = 1;
  } else if (low == high) {
    low -= 0.5;
    high += 0.5;
  }
}

void heatMapCellCentre(const HeatMap& map, std::size_t i, std::size_t j, int& x, int& y) {
  const std::size_t nb = map.bValues.size();
  const std::size_t nr = map.rrValues.size();
  x = (columnEdge(i, nb) + columnEdge(i + 1, nb)) / 2;
  y = (rowEdge(j, nr) + rowEdge(j + 1, nr)) / 2;
}

std::string renderHeatMap(const HeatMap& map, const std::string& format) {
  if (map.values.size() != map.bValues.size() * map.rrValues.size() || map.values.empty()) {
    throw std::runtime_error("a heat map needs one value per cell");
  }
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (format == "png") {
    QImage image(heatMapWidth, heatMapHeight, QImage::Format_RGB32);
    {
      QPainter painter(&image);
      paintHeatMap(painter, map);
    }
    if (!image.save(&buffer, "PNG")) throw std::runtime_error("cannot encode the heat map as PNG");
  } else if (format == "svg") {
    // Cells, text and the colour bar stay vectors; the cells are rectangles.
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(QSize(heatMapWidth, heatMapHeight));
    svg.setViewBox(QRect(0, 0, heatMapWidth, heatMapHeight));
    svg.setTitle(QString::fromStdString(map.title));
    QPainter painter;
    if (!painter.begin(&svg)) throw std::runtime_error("cannot start the SVG");
    paintHeatMap(painter, map);
    painter.end();
  } else if (format == "pdf") {
    QPdfWriter pdf(&buffer);
    pdf.setResolution(72);
    pdf.setPageLayout(QPageLayout(QPageSize(QSizeF(heatMapWidth, heatMapHeight), QPageSize::Point),
                                  QPageLayout::Portrait, QMarginsF()));
    pdf.setTitle(QString::fromStdString(map.title));
    QPainter painter;
    if (!painter.begin(&pdf)) throw std::runtime_error("cannot start the PDF");
    paintHeatMap(painter, map);
    painter.end();
  } else {
    throw std::runtime_error("no heat-map format " + format);
  }
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

}  // namespace trapezola
