// What Qt's painter needs outside the window program: an application object
// (without one, Qt finds no fonts), on the offscreen platform, which needs no
// display. While the guard lives, Qt's own notes on standard error (no
// XDG_RUNTIME_DIR and the like) are silenced: the tools say in one line what went
// wrong, or nothing. Inside a program that already has an application object
// the guard makes none.
#pragma once

#include <memory>

namespace trapezola {

class OffscreenQt {
 public:
  OffscreenQt();
  ~OffscreenQt();
  OffscreenQt(const OffscreenQt&) = delete;
  OffscreenQt& operator=(const OffscreenQt&) = delete;

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace trapezola
