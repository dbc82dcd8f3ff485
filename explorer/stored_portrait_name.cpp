#include "explorer/stored_portrait_name.h"

#include <algorithm>
#include <cstdint>

#include "raster/conversions.h"

namespace trapezola {

int Pos(std::string_view sub, std::string_view s) {
  const auto at = s.find(sub);
  return at == std::string_view::npos ? 0 : static_cast<int>(at) + 1;
}

std::string Copy(std::string_view s, int start, int length) {
  const std::int64_t first = std::max(start, 1);
  const std::int64_t size = static_cast<std::int64_t>(s.size());
  if (length <= 0 || first > size) return "";
  const std::int64_t n = std::min<std::int64_t>(length, size - first + 1);
  return std::string(s.substr(static_cast<std::size_t>(first - 1), static_cast<std::size_t>(n)));
}

StoredPortraitTexts storedPortraitTexts(std::string_view path) {
  StoredPortraitTexts t;
  const int pB = Pos("B_", path);
  const int pRr = Pos("_rr_", path);
  t.b = Copy(path, pB + 2, pRr - pB - 2);
  const int q = Pos("rr_", path);
  const int pI = Pos("_i", path);
  t.rr = Copy(path, q + 3, pI - q - 3);
  t.sMax = Copy(path, Pos("kx_", path) + 3, 7);
  t.sMin = Copy(path, Pos("kn_", path) + 3, 7);
  t.phiMax = Copy(path, Pos("px_", path) + 3, 7);
  t.phiMin = Copy(path, Pos("pn_", path) + 3, 7);
  return t;
}

StoredPortraitValues storedPortraitValues(const StoredPortraitTexts& texts) {
  using toolkit::StrToFloat;
  StoredPortraitValues v{};
  v.b = StrToFloat(texts.b);
  v.rr = StrToFloat(texts.rr);
  v.sMax = StrToFloat(texts.sMax);
  v.sMin = StrToFloat(texts.sMin);
  v.phiMax = StrToFloat(texts.phiMax);
  v.phiMin = StrToFloat(texts.phiMin);
  return v;
}

}  // namespace trapezola
