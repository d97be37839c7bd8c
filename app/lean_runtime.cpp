// Linked into Pellumar.exe only. With GCC's C++ library linked statically, its default
// terminate handler prints the demangled type of an uncaught exception, which brings a whole
// demangler: some 80 KB, a quarter of the program, for a console the program does not have.
// The program ends the same way without it. The library defines this handler alone in its
// object, so replacing it can never meet a second definition; the build checks that the saving
// holds (Pellumar.exe under 300 KB) and that the library's own errors are still the standard
// types a catch expects.
#include <cstdlib>

#if defined(__GLIBCXX__)
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx
#endif
