// Notation: p a parameter value, t a trace; x(p) and y(t) their pixels.
#include "export/stability_diagram.h"

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <stdexcept>

namespace trapezola {

namespace {

constexpr int plotLeftEdge = 100;
constexpr int plotRightEdge = 920;
constexpr int plotTopEdge = 80;
constexpr int plotBottomEdge = 570;
// Tick values per axis: about this many, at steps of 1, 2 or 5 times a power
// of ten.
constexpr int wantedTicks = 8;
const char* const fontFamily = "Liberation Sans";
const QColor curveColour(0x1F, 0x4E, 0xA8);
const QColor ellipticBand(0xE3, 0xF2, 0xE1);
const QColor limitColour(0xC0, 0x20, 0x20);
const QColor markColour(0x6A, 0x1B, 0x9A);

QFont font(int pixels, bool bold = false) {
  QFont f(QString::fromLatin1(fontFamily));
  f.setPixelSize(pixels);
  f.setBold(bold);
  return f;
}

QString number(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%.6g", std::fabs(v) < 1e-12 ? 0.0 : v);
  return QString::fromLatin1(text);
}

double tickStep(double span) {
  const double raw = span / wantedTicks;
  const double power = std::pow(10.0, std::floor(std::log10(raw)));
  for (const double f : {1.0, 2.0, 5.0}) {
    if (f * power >= raw) return f * power;
  }
  return 10 * power;
}

class Axes {
 public:
  Axes(double p0, double p1, double t0, double t1) : p0_(p0), p1_(p1), t0_(t0), t1_(t1) {}
  double x(double p) const { return plotLeftEdge + (p - p0_) / (p1_ - p0_) * (plotRightEdge - plotLeftEdge); }
  double y(double t) const {
    const double clipped = std::clamp(t, t0_, t1_);
    return plotBottomEdge - (clipped - t0_) / (t1_ - t0_) * (plotBottomEdge - plotTopEdge);
  }

 private:
  double p0_, p1_, t0_, t1_;
};

void paintDiagram(QPainter& painter, const StabilityDiagram& d) {
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.fillRect(0, 0, stabilityWidth, stabilityHeight, Qt::white);
  double low = 0, high = 0;
  stabilityTraceRange(d, low, high);
  double p0 = d.parameters.front();
  double p1 = d.parameters.back();
  if (p0 == p1) {
    p0 -= 0.5;
    p1 += 0.5;
  }
  const Axes axes(p0, p1, low, high);

  painter.setPen(Qt::black);
  painter.setFont(font(20, true));
  painter.drawText(QRect(0, 10, stabilityWidth, 28), Qt::AlignCenter, QString::fromStdString(d.title));
  painter.setFont(font(14));
  painter.drawText(QRect(0, 40, stabilityWidth, 22), Qt::AlignCenter, QString::fromStdString(d.subtitle));

  const QRectF plot(plotLeftEdge, plotTopEdge, plotRightEdge - plotLeftEdge, plotBottomEdge - plotTopEdge);
  painter.fillRect(QRectF(plot.left(), axes.y(2), plot.width(), axes.y(-2) - axes.y(2)), ellipticBand);

  // Ticks and grid lines.
  painter.setFont(font(13));
  const double pLow = std::min(p0, p1);
  const double pHigh = std::max(p0, p1);
  const double pStep = tickStep(pHigh - pLow);
  for (double p = std::ceil(pLow / pStep) * pStep; p <= pHigh + 1e-9 * pStep; p += pStep) {
    const double x = axes.x(p);
    painter.setPen(QColor(0xDD, 0xDD, 0xDD));
    painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
    painter.setPen(Qt::black);
    painter.drawLine(QPointF(x, plot.bottom()), QPointF(x, plot.bottom() + 6));
    painter.drawText(QRectF(x - 45, plot.bottom() + 8, 90, 18), Qt::AlignHCenter | Qt::AlignTop, number(p));
  }
  const double tStep = tickStep(high - low);
  for (double t = std::ceil(low / tStep) * tStep; t <= high + 1e-9 * tStep; t += tStep) {
    const double y = axes.y(t);
    painter.setPen(QColor(0xDD, 0xDD, 0xDD));
    painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
    painter.setPen(Qt::black);
    painter.drawLine(QPointF(plot.left() - 6, y), QPointF(plot.left(), y));
    painter.drawText(QRectF(plot.left() - 90, y - 9, 80, 18), Qt::AlignRight | Qt::AlignVCenter, number(t));
  }

  QPen limit(limitColour, 1.5, Qt::DashLine);
  painter.setPen(limit);
  for (const double t : {2.0, -2.0}) {
    painter.drawLine(QPointF(plot.left(), axes.y(t)), QPointF(plot.right(), axes.y(t)));
    painter.drawText(QRectF(plot.right() - 80, axes.y(t) - 20, 76, 18), Qt::AlignRight | Qt::AlignVCenter,
                     t > 0 ? QStringLiteral("trace = 2") : QStringLiteral("trace = -2"));
  }

  painter.setClipRect(plot);
  QPainterPath curve;
  bool drawing = false;
  for (std::size_t i = 0; i < d.parameters.size(); ++i) {
    if (!std::isfinite(d.traces[i])) {
      drawing = false;
      continue;
    }
    const QPointF at(axes.x(d.parameters[i]), axes.y(d.traces[i]));
    if (drawing) {
      curve.lineTo(at);
    } else {
      curve.moveTo(at);
    }
    drawing = true;
  }
  painter.setPen(QPen(curveColour, 2));
  painter.setBrush(Qt::NoBrush);
  painter.drawPath(curve);
  painter.setBrush(curveColour);
  painter.setPen(Qt::NoPen);
  for (std::size_t i = 0; i < d.parameters.size(); ++i) {
    if (std::isfinite(d.traces[i]))
      painter.drawEllipse(QPointF(axes.x(d.parameters[i]), axes.y(d.traces[i])), 2.5, 2.5);
  }
  painter.setClipping(false);

  painter.setFont(font(13, true));
  // Labels stack down from the top of the plot, clear of the curve.
  double labelTop = plot.top() + 4;
  for (const StabilityDiagram::Mark& mark : d.bifurcations) {
    const double x = axes.x(mark.parameter);
    const double y = axes.y(mark.trace);
    painter.setPen(QPen(markColour, 1, Qt::DotLine));
    painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
    painter.setPen(QPen(markColour, 2));
    painter.setBrush(Qt::white);
    painter.drawEllipse(QPointF(x, y), 6, 6);
    const bool leftOfMark = x > plot.right() - 200;
    painter.drawText(QRectF(leftOfMark ? x - 204 : x + 4, labelTop, 200, 18),
                     (leftOfMark ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter,
                     QString::fromStdString(mark.label));
    labelTop += 18;
  }

  painter.setBrush(Qt::NoBrush);
  painter.setPen(Qt::black);
  painter.drawRect(plot);
  painter.setFont(font(16));
  painter.drawText(QRectF(plot.left(), plot.bottom() + 32, plot.width(), 24), Qt::AlignCenter,
                   QString::fromStdString(d.parameterName));
  painter.save();
  painter.translate(26, (plot.top() + plot.bottom()) / 2);
  painter.rotate(-90);
  painter.drawText(QRectF(-200, -12, 400, 24), Qt::AlignCenter, QStringLiteral("trace of the n-fold map"));
  painter.restore();
}

}  // namespace

void stabilityTraceRange(const StabilityDiagram& diagram, double& low, double& high) {
  low = -2.5;
  high = 2.5;
  for (const double t : diagram.traces) {
    if (!std::isfinite(t)) continue;
    low = std::min(low, t);
    high = std::max(high, t);
  }
  const double margin = 0.05 * (high - low);
  low = std::max(low - margin, -traceClip);
  high = std::min(high + margin, traceClip);
}

std::string renderStabilityDiagram(const StabilityDiagram& diagram) {
  if (diagram.parameters.empty() || diagram.parameters.size() != diagram.traces.size()) {
    throw std::runtime_error("a stability diagram needs one trace per parameter");
  }
  QImage image(stabilityWidth, stabilityHeight, QImage::Format_RGB32);
  {
    QPainter painter(&image);
    paintDiagram(painter, diagram);
  }
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (!image.save(&buffer, "PNG")) throw std::runtime_error("cannot encode the stability diagram as PNG");
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

}  // namespace trapezola
