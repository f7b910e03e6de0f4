// One QApplication for the GUI tests of this folder, created on first use
// and closed down by a test environment before static destruction begins.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>

inline QApplication& testapp() {
  static int argc = 1;
  static char name[] = "window_test";
  static char* argv[] = {name, nullptr};
  static QApplication* app = [] {
    auto* a = new QApplication(argc, argv);
    struct Closer : ::testing::Environment {
      explicit Closer(QApplication* a) : app(a) {}
      void TearDown() override { delete app; }
      QApplication* app;
    };
    ::testing::AddGlobalTestEnvironment(new Closer(a));
    return a;
  }();
  return *app;
}
