// Event types of the controls and the one place where a control runs a handler.
//
// Handlers are plain std::function values assigned by the window that owns the
// control, as in the classic form designer: Edit1->OnChange = [this] { Edit1Change(); }.
// Mouse coordinates are pixels of the control, origin top left, y downwards.
#pragma once

#include <cstdint>
#include <exception>
#include <functional>

namespace trapezola::toolkit {

enum TMouseButton { mbLeft, mbRight, mbMiddle };

// Modifier keys and mouse buttons held during a mouse event; ssDouble marks the
// press that belongs to a double click.
using TShiftState = std::uint32_t;
inline constexpr TShiftState ssShift = 1u << 0;
inline constexpr TShiftState ssAlt = 1u << 1;
inline constexpr TShiftState ssCtrl = 1u << 2;
inline constexpr TShiftState ssLeft = 1u << 3;
inline constexpr TShiftState ssRight = 1u << 4;
inline constexpr TShiftState ssMiddle = 1u << 5;
inline constexpr TShiftState ssDouble = 1u << 6;

using TNotifyEvent = std::function<void()>;
using TMouseEvent = std::function<void(TMouseButton button, TShiftState shift, int x, int y)>;
using TMouseMoveEvent = std::function<void(TShiftState shift, int x, int y)>;

// Hands an exception that left a handler to the application's exception display
// (defined with TApplication).
void reportHandlerException(std::exception_ptr error);

// Runs the handler steps of one toolkit event. An exception stops the remaining
// steps, like a handler that raises stops the message it was called from, and is
// reported here rather than unwound through Qt's frames, which are not built to
// pass exceptions on.
template <typename Steps>
void runHandlers(Steps&& steps) {
  try {
    steps();
  } catch (...) {
    reportHandlerException(std::current_exception());
  }
}

}  // namespace trapezola::toolkit
