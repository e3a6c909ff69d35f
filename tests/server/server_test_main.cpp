#include <gtest/gtest.h>

#include <QCoreApplication>

// The server and the scripted players run in one event loop, the test's.
int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
