// Linked into Pellumar.exe only. With GCC's C++ library linked statically, two of its defaults
// cost a third of the program's size for nothing it shows: the terminate handler prints
// demangled type names (a whole demangler), and the helpers that raise the standard logic
// errors build their messages with the library's narrow strings (all of them). The program
// ends and reports the same way without them.
#include <cstdlib>
#include <exception>
#include <new>

#if defined(__GLIBCXX__)

namespace {

class LibraryError final : public std::exception {
 public:
  explicit LibraryError(const char* what) noexcept : what_(what) {}
  const char* what() const noexcept override { return what_; }

 private:
  const char* what_;
};

}  // namespace

namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx

namespace std {
void __throw_bad_alloc() { throw bad_alloc(); }
void __throw_bad_array_new_length() { throw bad_array_new_length(); }
void __throw_length_error(const char* what) { throw LibraryError(what); }
void __throw_logic_error(const char* what) { throw LibraryError(what); }
void __throw_out_of_range_fmt(const char* what, ...) { throw LibraryError(what); }
}  // namespace std

#endif
