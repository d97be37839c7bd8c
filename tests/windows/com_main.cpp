#include <gtest/gtest.h>

#include <cstdio>

#include "shell/com_apartment.h"

int main(int argc, char** argv) {
  // Unbuffered, so a program that dies still shows how far it got.
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  ::testing::InitGoogleTest(&argc, argv);
  const pellumar::shell::ComApartment com;
  return RUN_ALL_TESTS();
}
