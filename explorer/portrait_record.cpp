#include "explorer/portrait_record.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace trapezola {

namespace {

std::optional<double> number(const std::string& text) {
  if (text.empty()) return std::nullopt;
  char* end = nullptr;
  errno = 0;
  const double v = std::strtod(text.c_str(), &end);
  if (end != text.c_str() + text.size() || errno == ERANGE) return std::nullopt;
  return v;
}

std::optional<std::string> sevenCharacters(double v) {
  char text[64];
  for (int decimals = 5; decimals >= 0; --decimals) {
    const int n = std::snprintf(text, sizeof text, "%.*f", decimals, v);
    if (n == 7) return std::string(text);
    if (n < 7) {
      // Only the decimal-free forms can come out short ("-0" never does here):
      // pad with leading zeros, which still read as one number.
      std::string padded(text);
      const bool negative = padded[0] == '-';
      padded.insert(negative ? 1 : 0, std::string(static_cast<std::size_t>(7 - n), '0'));
      return padded;
    }
  }
  return std::nullopt;
}

}  // namespace

std::string exactNumber(double v) {
  char text[40];
  std::snprintf(text, sizeof text, "%.17g", v);
  return text;
}

std::vector<std::pair<std::string, std::string>> portraitTexts(const PortraitRecord& r) {
  const PhaseWindowRecord& w = r.window;
  return {{"Trapezola", r.version},
          {"b", r.b},
          {"R8/R", r.rr},
          {"distance", r.distance},
          {"angle", r.angle},
          {"repeat", r.repeat},
          {"sMin", exactNumber(w.sMin)},
          {"sMax", exactNumber(w.sMax)},
          {"phiMin", exactNumber(w.phiMin)},
          {"phiMax", exactNumber(w.phiMax)},
          {"scaleS", exactNumber(w.scaleS)},
          {"scalePhi", exactNumber(w.scalePhi)},
          {"point size", std::to_string(r.pointSize)},
          {"colour", std::to_string(r.colour)},
          {"resume", exactNumber(r.resume.x) + " " + exactNumber(r.resume.y) + " " +
                         exactNumber(r.resume.dx) + " " + exactNumber(r.resume.dy)}};
}

std::optional<PortraitRecord> portraitRecordFromTexts(const std::map<std::string, std::string>& texts) {
  const auto text = [&](const char* key) -> std::optional<std::string> {
    const auto found = texts.find(key);
    if (found == texts.end()) return std::nullopt;
    return found->second;
  };
  const auto value = [&](const char* key) -> std::optional<double> {
    const std::optional<std::string> t = text(key);
    return t ? number(*t) : std::nullopt;
  };
  PortraitRecord r;
  const std::optional<std::string> version = text("Trapezola");
  if (!version) return std::nullopt;
  r.version = *version;
  for (const auto& [key, field] :
       {std::pair{"b", &r.b}, std::pair{"R8/R", &r.rr}, std::pair{"distance", &r.distance},
        std::pair{"angle", &r.angle}, std::pair{"repeat", &r.repeat}}) {
    const std::optional<std::string> t = text(key);
    if (!t) return std::nullopt;
    *field = *t;
  }
  const auto sMin = value("sMin"), sMax = value("sMax"), phiMin = value("phiMin"), phiMax = value("phiMax");
  const auto scaleS = value("scaleS"), scalePhi = value("scalePhi");
  const auto size = value("point size"), colour = value("colour");
  if (!sMin || !sMax || !phiMin || !phiMax || !scaleS || !scalePhi || !size || !colour) return std::nullopt;
  if (*size < 0 || *size > 64 || *colour < 0 || *colour > 0xFFFFFF) return std::nullopt;
  r.window = PhaseWindowRecord{*sMin, *sMax, *phiMin, *phiMax, *scaleS, *scalePhi};
  r.pointSize = static_cast<int>(*size);
  r.colour = static_cast<toolkit::TColor>(*colour);
  const std::optional<std::string> resume = text("resume");
  if (!resume) return std::nullopt;
  std::istringstream parts(*resume);
  std::string x, y, dx, dy, extra;
  parts >> x >> y >> dx >> dy;
  if (parts >> extra) return std::nullopt;
  const auto rx = number(x), ry = number(y), rdx = number(dx), rdy = number(dy);
  if (!rx || !ry || !rdx || !rdy) return std::nullopt;
  r.resume = ResumeStateRecord{*rx, *ry, *rdx, *rdy};
  return r;
}

std::optional<std::string> storedPortraitFileName(const std::string& bText, const std::string& rrText,
                                                  long long repeat, const PhaseWindowRecord& w) {
  const auto sMax = sevenCharacters(w.sMax), sMin = sevenCharacters(w.sMin);
  const auto phiMax = sevenCharacters(w.phiMax), phiMin = sevenCharacters(w.phiMin);
  if (!sMax || !sMin || !phiMax || !phiMin) return std::nullopt;
  return "B_" + bText + "_rr_" + rrText + "_i" + std::to_string(repeat) + "_kx_" + *sMax + "_kn_" + *sMin +
         "_px_" + *phiMax + "_pn_" + *phiMin + ".png";
}

}  // namespace trapezola
