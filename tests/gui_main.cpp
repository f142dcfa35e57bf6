// Runs the widget tests without a display, on the toolkit's offscreen platform.
#include "ui/application.h"

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char **argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  ::testing::InitGoogleTest(&argc, argv);
  tarnwick::TApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
