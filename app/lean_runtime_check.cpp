// Linked as Pellumar.exe is, with the program's replacement of the library's terminate handler,
// and run with the tests: the library still raises its standard error types, so an ordinary
// catch, as the program might one day write one, catches them.
#include <stdexcept>
#include <string>

int main() {
  int caught = 0;
  try {
    static_cast<void>(std::stoi(std::string("not a number")));
  } catch (const std::invalid_argument&) {
    ++caught;
  }
  try {
    static_cast<void>(std::u16string(u"abc").substr(4));
  } catch (const std::out_of_range&) {
    ++caught;
  }
  try {
    static_cast<void>(std::string("abc").at(3));
  } catch (const std::logic_error&) {
    ++caught;
  }
  return caught == 3 ? 0 : 1;
}
