// Helpers shared by the window tests: the program's three windows exist once per
// test process (ui_test_main.cpp), so each test records errors instead of opening
// message boxes and puts back the main window's explorer value it changes.
#pragma once

#include <QSignalBlocker>
#include <string>
#include <utility>
#include <vector>

#include "explorer/explorer.h"
#include "ui/lyapunov_window/lyapunov_graph.h"
#include "ui/main_window/tform1.h"
#include "ui/toolkit/application.h"
#include "ui/toolkit/edit.h"

namespace trapezola::testing {

// Collects what the application's exception display would show.
class ReportedErrors {
 public:
  ReportedErrors()
      : saved_(std::exchange(toolkit::TApplication::exceptionDisplay,
                             [this](const std::string& message) { messages.push_back(message); })) {}
  ~ReportedErrors() { toolkit::TApplication::exceptionDisplay = std::move(saved_); }
  ReportedErrors(const ReportedErrors&) = delete;
  ReportedErrors& operator=(const ReportedErrors&) = delete;

  std::vector<std::string> messages;

 private:
  std::function<void(const std::string&)> saved_;
};

// Puts the main window's explorer value and the Lyapunov graph's record back
// as they were when the guard was made.
class SharedStateGuard {
 public:
  SharedStateGuard() = default;
  ~SharedStateGuard() {
    Form1->explorer() = explorer_;
    LyapunovGraph = graph_;
  }
  SharedStateGuard(const SharedStateGuard&) = delete;
  SharedStateGuard& operator=(const SharedStateGuard&) = delete;

 private:
  Explorer explorer_ = Form1->explorer();
  LyapunovGraphRecord graph_ = LyapunovGraph;
};

// Sets a field's text without running its change handler.
inline void setTextQuietly(toolkit::TEdit* edit, const std::string& text) {
  const QSignalBlocker quiet(edit);
  edit->SetText(text);
}

}  // namespace trapezola::testing
