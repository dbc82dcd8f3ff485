// "clear" (Button4): empties the portrait and resets the phase window.
#include "explorer/phase_portrait.h"
#include "explorer/portrait_history.h"
#include "ui/main_window/tform1.h"

namespace trapezola {

void TForm1::Button4Click() {
  // The portrait's picture is always the canvas's bitmap here, so there is
  // nothing to convert before clearing.
  clearPortrait(*portraitImage->Canvas, colorBox->Selected(), explorer_.table, explorer_.window);
  recordPlain(explorer_.history, HistoryStepKind::clear);
  portraitTable_.reset();
  gridGeneration_.reset();
}

}  // namespace trapezola
