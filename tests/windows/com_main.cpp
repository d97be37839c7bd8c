#include <gtest/gtest.h>

#include "shell/com_apartment.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  const pellumar::shell::ComApartment com;
  return RUN_ALL_TESTS();
}
