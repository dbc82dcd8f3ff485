#include "explorer/analysis_label.h"

#include <cstdio>

#include "explorer/portrait_record.h"
#include "raster/conversions.h"

namespace trapezola {

std::optional<std::string> analysisLabel(const PeriodicOrbitAnalysis& analysis) {
  using toolkit::FloatToStrF;
  using toolkit::IntToStr;
  if (!analysis.hasMonodromy) {
    if (analysis.searched) return std::string("not periodic");
    return std::nullopt;
  }
  std::string text = "period?: " + IntToStr(analysis.period);
  if (analysis.searched) {
    const auto& counts = analysis.returnCounts;
    text += " ; " + IntToStr(counts[0]) + " , " + IntToStr(counts[1]) + " , " + IntToStr(counts[2]);
  }
  // The class's place says what stands in its way when there is none: a search
  // that ran out (no return, so no period to classify) or a trace that is not a
  // number (a grazing bounce), which shows as such and takes no word.
  std::string classWord;
  if (analysis.hasClass) {
    classWord = "  " + std::string(orbitClassName(analysis.orbitClass));
  } else if (!analysis.periodFound) {
    classWord = "  not periodic";
  }
  text += "\n" + FloatToStrF(analysis.trace, toolkit::ffGeneral, 7, 5) + classWord +
          "\nm11=" + FloatToStrF(analysis.monodromy.m11, toolkit::ffGeneral, 6, 4) +
          "  ;  m22=" + FloatToStrF(analysis.monodromy.m22, toolkit::ffGeneral, 6, 4);
  return text;
}

std::string analyseCommandText(const BilliardTable& table, double s, double phi, int period, int sensitivity,
                               int blockSize, int blockCount) {
  return "trapezola-cli analyse --b " + exactNumber(table.b) + " --rr " + exactNumber(table.rr) +
         " --distance " + exactNumber(s) + " --phi " + exactNumber(phi) + " --period " +
         std::to_string(period) + " --sensitivity " + std::to_string(sensitivity) + " --blocksize " +
         std::to_string(blockSize) + " --blocks " + std::to_string(blockCount);
}

}  // namespace trapezola
