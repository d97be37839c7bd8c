// Linked into Pellumar.exe only, to keep GCC's statically linked C++ library from bringing what
// the program never uses. Two parts of the library are the price:
//
// - Its default terminate handler prints the demangled type of an uncaught exception, which
//   brings a whole demangler (some 80 KB) for a console the program does not have. The program
//   ends the same way without it. The library defines this handler alone in its object.
//
// - Its helpers that raise the standard errors (std::__throw_length_error and the rest, which
//   every string and vector calls) live in one object that also makes std::logic_error and its
//   kin from the library's reference-counted strings. With exception tables every function of
//   an object pulled in stays, so that one object brings both of the library's string families
//   and std::random_device with them: some 80 KB. Here each helper raises the very same
//   standard type, built through the constructor that the library's error classes themselves
//   define, from a reference-counted string made here. The few string functions those classes
//   call are made here too, as template instances, which the linker merges with the library's
//   own should any code ever bring those in as well.
//
// Every helper that object defines is defined here, so the linker never needs it and no later
// change can make two definitions meet; code that does bring the library's strings (a
// std::runtime_error made from a text, say) links and works beside these. The build checks
// both that the saving holds (Pellumar.exe under 200 KB) and that the errors are still the
// standard types an ordinary catch expects (lean_runtime_check.cpp).
#if defined(__has_include) && __has_include(<bits/c++config.h>)  // GCC's library, before any header

// The library's error classes hold their message in its reference-counted string, the one this
// switch names std::string in this file alone; nothing here crosses to other files but C texts.
#define _GLIBCXX_USE_CXX11_ABI 0

#include <cstdarg>
#include <cstddef>
#include <cstdlib>
#include <exception>
#include <new>
#include <stdexcept>
#include <string>
#include <typeinfo>

namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx

namespace {

// The library's formats name a function and the sizes involved, with %s, %zu and %% only.
std::string Format(const char* format, std::va_list arguments) {
  std::string text;
  for (const char* at = format; *at; ++at) {
    if (at[0] == '%' && at[1] == 's') {
      text += va_arg(arguments, const char*);
      ++at;
    } else if (at[0] == '%' && at[1] == 'z' && at[2] == 'u') {
      std::size_t value = va_arg(arguments, std::size_t);
      char digits[24];
      char* end = digits + sizeof digits;
      char* first = end;
      do {
        *--first = static_cast<char>('0' + value % 10);
        value /= 10;
      } while (value != 0);
      text.append(first, end);
      at += 2;
    } else if (at[0] == '%' && at[1] == '%') {
      text += '%';
      ++at;
    } else {
      text += *at;
    }
  }
  return text;
}

std::string Message(const char* text) { return std::string(text ? text : ""); }

}  // namespace

namespace std {

void __throw_bad_exception() { throw bad_exception(); }
void __throw_bad_alloc() { throw bad_alloc(); }
void __throw_bad_array_new_length() { throw bad_array_new_length(); }
void __throw_bad_cast() { throw bad_cast(); }
void __throw_bad_typeid() { throw bad_typeid(); }
void __throw_logic_error(const char* text) { throw logic_error(Message(text)); }
void __throw_domain_error(const char* text) { throw domain_error(Message(text)); }
void __throw_invalid_argument(const char* text) { throw invalid_argument(Message(text)); }
void __throw_length_error(const char* text) { throw length_error(Message(text)); }
void __throw_out_of_range(const char* text) { throw out_of_range(Message(text)); }
void __throw_runtime_error(const char* text) { throw runtime_error(Message(text)); }
void __throw_range_error(const char* text) { throw range_error(Message(text)); }
void __throw_overflow_error(const char* text) { throw overflow_error(Message(text)); }
void __throw_underflow_error(const char* text) { throw underflow_error(Message(text)); }

void __throw_out_of_range_fmt(const char* format, ...) {
  std::va_list arguments;
  va_start(arguments, format);
  const std::string text = Format(format ? format : "", arguments);
  va_end(arguments);
  throw out_of_range(text);
}

// What the error classes call of the reference-counted string, besides what is inline.
template void string::_Rep::_M_destroy(const allocator<char>&) throw();
template char* string::_Rep::_M_clone(const allocator<char>&, string::size_type);

}  // namespace std

#endif
