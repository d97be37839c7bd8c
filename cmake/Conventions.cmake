# Warnings and, for the Windows program, a static self-contained link.

function(pellumar_warnings target)
  if(MSVC)
    target_compile_options(${target} PRIVATE /W4 /permissive-)
  else()
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
  endif()
endfunction()

if(WIN32)
  # Windows 10 and 11; newer functions are still looked up at run time where Wine lacks them.
  add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0A00)
endif()

if(MINGW)
  # One small self-contained .exe: the C++ runtime linked in, unused code dropped, stripped.
  add_compile_options(-ffunction-sections -fdata-sections)
  add_link_options(-static -static-libgcc -static-libstdc++ -Wl,--gc-sections)
  add_link_options($<$<CONFIG:Release,MinSizeRel>:-s>)
  # The same sources give the same bytes wherever they are built: no link time stamp, and no
  # path of the checkout or the build tree in what the compiler writes.
  add_link_options(-Wl,--no-insert-timestamp)
  # The marks Visual Studio's linker sets by default: a program for Windows Vista and later
  # (subsystem 6.0) that is Terminal Server aware, loaded at a random address, with data never
  # run as code and, for 64-bit, the whole address space for that randomness.
  add_link_options(-Wl,--tsaware -Wl,--dynamicbase -Wl,--nxcompat
                   -Wl,--major-subsystem-version,6 -Wl,--minor-subsystem-version,0)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    add_link_options(-Wl,--high-entropy-va)
  endif()
  add_compile_options($<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${PROJECT_SOURCE_DIR}/=>
                      $<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${PROJECT_BINARY_DIR}/=>)
elseif(MSVC)
  # The sources are UTF-8 (the credit's ©, the tests' Arabic and Chinese names), for every
  # target including GoogleTest's.
  add_compile_options($<$<COMPILE_LANGUAGE:C,CXX>:/utf-8>)
  # The static runtime for everything linked into one program, GoogleTest included.
  set(CMAKE_MSVC_RUNTIME_LIBRARY "MultiThreaded$<$<CONFIG:Debug>:Debug>")
  set(CMAKE_POLICY_DEFAULT_CMP0091 NEW)
endif()

# The native unit tests and the fuzzers also run under AddressSanitizer and
# UndefinedBehaviorSanitizer (the "sanitize" preset).
option(PELLUMAR_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if(PELLUMAR_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
