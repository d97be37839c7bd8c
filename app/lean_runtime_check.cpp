// Built with Pellumar.exe, never run: it needs every error helper of the C++ library that
// lean_runtime.cpp replaces, as any later change to the program might. Were one of them left
// to the library, the library's own definitions would come in beside the replacements and
// this link would fail with duplicate definitions, here rather than in the next change.
#include <bits/functexcept.h>

#include <string>

int main(int argc, char** argv) {
  using Raise = void (*)(const char*);
  using RaiseNothing = void (*)();
  static volatile Raise withText[] = {
      std::__throw_logic_error,  std::__throw_domain_error,   std::__throw_invalid_argument,
      std::__throw_length_error, std::__throw_out_of_range,   std::__throw_runtime_error,
      std::__throw_range_error,  std::__throw_overflow_error, std::__throw_underflow_error,
  };
  static volatile RaiseNothing plain[] = {std::__throw_bad_exception, std::__throw_bad_alloc,
                                          std::__throw_bad_array_new_length, std::__throw_bad_cast,
                                          std::__throw_bad_typeid};
  static void (*volatile formatted)(const char*, ...) = std::__throw_out_of_range_fmt;
  // An ordinary call that needs them, as the program might make one day.
  return std::stoi(std::string(argc > 1 ? argv[1] : "0")) + (withText[0] != nullptr) +
         (plain[0] != nullptr) + (formatted != nullptr);
}
