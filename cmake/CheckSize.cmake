# cmake -DFILE=<program> -DLIMIT=<bytes> -DRELEASE=<0|1> -P CheckSize.cmake
# Fails the build when a release program outgrows its budget, so growth is noticed at once
# rather than in the next benchmark. Debug builds are not held to it.
file(SIZE "${FILE}" size)
math(EXPR kilobytes "${LIMIT} / 1024")
if(RELEASE AND size GREATER LIMIT)
  message(FATAL_ERROR "${FILE} is ${size} bytes, over its budget of ${LIMIT} bytes (${kilobytes} KB) "
                      "for each program: see what the change brings in with the linker's map (-Wl,-Map).")
endif()
