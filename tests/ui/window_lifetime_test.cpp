// How the windows end: closing the main window ends the message loop; closing
// the Lyapunov window only hides it, and the program runs on.
#include <gtest/gtest.h>

#include <QTimer>
#include <functional>

#include "ui/lyapunov_window/tform3.h"
#include "ui/main_window/tform1.h"
#include "ui/toolkit/application.h"

namespace trapezola {
namespace {

// Ends a message loop that something failed to end, so a fault fails the test
// instead of hanging it.
constexpr int safetyQuitMs = 5000;

// A one-shot timer that dies with the test, unlike QTimer::singleShot.
class Later {
 public:
  Later(int ms, std::function<void()> action) {
    timer_.setSingleShot(true);
    QObject::connect(&timer_, &QTimer::timeout, std::move(action));
    timer_.start(ms);
  }

 private:
  QTimer timer_;
};

TEST(WindowLifetime, ClosingTheLyapunovWindowOnlyHidesIt) {
  Form3->show();
  bool stillRunning = false;
  Later close(0, [] { Form3->close(); });
  Later check(50, [&] {
    stillRunning = true;
    toolkit::Application->exit(0);
  });
  Later safety(safetyQuitMs, [] { toolkit::Application->exit(1); });
  toolkit::Application->exec();
  EXPECT_TRUE(stillRunning);
  EXPECT_FALSE(Form3->isVisible());
}

TEST(WindowLifetime, ClosingTheMainWindowEndsTheMessageLoop) {
  Form3->show();  // another visible window must not keep the program alive
  Later close(0, [] { Form1->close(); });
  Later safety(safetyQuitMs, [] { toolkit::Application->exit(1); });
  EXPECT_EQ(toolkit::Application->exec(), 0);
  Form3->hide();
  Form1->show();
}

}  // namespace
}  // namespace trapezola
