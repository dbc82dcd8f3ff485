#include "explorer/main_window_state.h"

namespace trapezola {

ResumeStateRecord ResumeState;
HoverPointRecord HoverPoint;
int runCount = 0;
int pointSize = 0;
double enteredB = 1.0;
std::string geometrySummary;
std::string parameterPrompt;

}  // namespace trapezola
