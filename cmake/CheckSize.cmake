# cmake -DFILE=<program> -DLIMIT=<bytes> -DRELEASE=<0|1> -P CheckSize.cmake
# Fails the build when a release program outgrows its limit, so a lost size saving is noticed
# at once rather than in the next benchmark. Debug builds are not held to it.
file(SIZE "${FILE}" size)
if(RELEASE AND size GREATER LIMIT)
  message(FATAL_ERROR "${FILE} is ${size} bytes, more than its limit of ${LIMIT}: a size saving "
                      "was lost (see app/lean_runtime.cpp and the link options in cmake/Conventions.cmake).")
endif()
