// Linked into Pellumar.exe only. With GCC's C++ library linked statically, two of its defaults
// cost a third of the program's size for nothing it shows: the terminate handler prints
// demangled type names (a whole demangler), and the helpers that raise the standard logic and
// runtime errors build their messages with the library's narrow strings (all of them). The
// program ends and reports the same way without them.
//
// The helpers are replaced as the whole set the library defines in one object: were one left
// to the library, the first call that needs it (std::stoi, say) would bring that object in
// beside these and break the link with duplicate definitions. The program's build checks that
// a program calling them still links, and that Pellumar.exe stays small.
#include <cstdlib>
#include <exception>
#include <new>
#include <typeinfo>

#if defined(__GLIBCXX__)

namespace {

// What the logic and runtime errors become: an exception with their message, which the
// window's report shows as any other failure.
class LibraryError final : public std::exception {
 public:
  explicit LibraryError(const char* what) noexcept : what_(what ? what : "library error") {}
  const char* what() const noexcept override { return what_; }

 private:
  const char* what_;
};

}  // namespace

namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx

namespace std {
void __throw_bad_exception() { throw bad_exception(); }
void __throw_bad_alloc() { throw bad_alloc(); }
void __throw_bad_array_new_length() { throw bad_array_new_length(); }
void __throw_bad_cast() { throw bad_cast(); }
void __throw_bad_typeid() { throw bad_typeid(); }
void __throw_logic_error(const char* what) { throw LibraryError(what); }
void __throw_domain_error(const char* what) { throw LibraryError(what); }
void __throw_invalid_argument(const char* what) { throw LibraryError(what); }
void __throw_length_error(const char* what) { throw LibraryError(what); }
void __throw_out_of_range(const char* what) { throw LibraryError(what); }
void __throw_out_of_range_fmt(const char* what, ...) { throw LibraryError(what); }
void __throw_runtime_error(const char* what) { throw LibraryError(what); }
void __throw_range_error(const char* what) { throw LibraryError(what); }
void __throw_overflow_error(const char* what) { throw LibraryError(what); }
void __throw_underflow_error(const char* what) { throw LibraryError(what); }
}  // namespace std

#endif
