# GoogleTest from Debian's sources where they are (also for the cross builds), else an installed
# package, else a download (Windows machines with MSVC).
set(PELLUMAR_GTEST_SOURCE "/usr/src/googletest" CACHE PATH "GoogleTest sources")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)

if(EXISTS "${PELLUMAR_GTEST_SOURCE}/CMakeLists.txt")
  add_subdirectory("${PELLUMAR_GTEST_SOURCE}" "${CMAKE_BINARY_DIR}/_deps/googletest" EXCLUDE_FROM_ALL)
else()
  find_package(GTest CONFIG QUIET)
  if(NOT GTest_FOUND)
    include(FetchContent)
    FetchContent_Declare(googletest
      URL https://github.com/google/googletest/archive/refs/tags/v1.14.0.tar.gz
      DOWNLOAD_EXTRACT_TIMESTAMP ON)
    FetchContent_MakeAvailable(googletest)
  endif()
endif()
if(NOT TARGET GTest::gmock_main)
  add_library(GTest::gtest ALIAS gtest)
  add_library(GTest::gmock ALIAS gmock)
  add_library(GTest::gmock_main ALIAS gmock_main)
endif()

include(GoogleTest)
