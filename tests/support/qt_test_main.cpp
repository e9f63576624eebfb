// The main of tests that run Qt's event loop: one QCoreApplication for the whole run, so that
// sockets, timers and child processes report to the tests.

#include <gtest/gtest.h>

#include <QCoreApplication>

int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
