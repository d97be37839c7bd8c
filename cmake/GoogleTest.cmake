# GoogleTest from Debian's sources where they are (also for the cross builds), else from a
# folder of sources given as PELLUMAR_GTEST_SOURCE, else downloaded at configure time (Windows
# machines with Visual Studio). It is always built here, with the project's own flags: a
# prebuilt package (vcpkg's default triplet) links the DLL runtime, which cannot be mixed with
# the static one the program uses.
set(PELLUMAR_GTEST_SOURCE "/usr/src/googletest" CACHE PATH "GoogleTest sources")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)

if(EXISTS "${PELLUMAR_GTEST_SOURCE}/CMakeLists.txt")
  add_subdirectory("${PELLUMAR_GTEST_SOURCE}" "${CMAKE_BINARY_DIR}/_deps/googletest" EXCLUDE_FROM_ALL)
else()
  include(FetchContent)
  FetchContent_Declare(googletest
    URL https://github.com/google/googletest/archive/refs/tags/v1.14.0.tar.gz
    URL_HASH SHA256=8ad598c73ad796e0d8280b082cebd82a630d73e73cd3c70057938a6501bba5d7
    DOWNLOAD_EXTRACT_TIMESTAMP ON)
  FetchContent_GetProperties(googletest)
  if(NOT googletest_POPULATED)
    FetchContent_Populate(googletest)
    add_subdirectory(${googletest_SOURCE_DIR} ${googletest_BINARY_DIR} EXCLUDE_FROM_ALL)
  endif()
endif()
foreach(library gtest gmock gmock_main)
  if(NOT TARGET GTest::${library})
    add_library(GTest::${library} ALIAS ${library})
  endif()
endforeach()

include(GoogleTest)
