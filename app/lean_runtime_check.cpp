// Linked as Pellumar.exe is, with the program's own raising of the library's errors, and run
// with the tests: the library still raises its standard error types, so an ordinary catch, as
// the program might one day write one, catches them and reads what happened; and code that
// brings the library's own error strings (a std::runtime_error made from a text) links beside.
// All of it on the program's thread and on another, each with its own exception state
// (lean_threads.cpp).
#include <windows.h>

#include <cstring>
#include <stdexcept>
#include <string>

namespace {

int Caught() {
  int caught = 0;
  try {
    static_cast<void>(std::stoi(std::string("not a number")));
  } catch (const std::invalid_argument&) {
    ++caught;
  }
  try {
    static_cast<void>(std::u16string(u"abc").substr(4));
  } catch (const std::out_of_range& error) {
    caught += std::strstr(error.what(), "(which is 4) > this->size() (which is 3)") != nullptr;
  }
  try {
    static_cast<void>(std::string("abc").at(3));
  } catch (const std::logic_error&) {
    ++caught;
  }
  try {
    throw std::runtime_error("made from a text");
  } catch (const std::exception& error) {
    caught += std::strcmp(error.what(), "made from a text") == 0;
  }
  return caught;
}

DWORD WINAPI CaughtOnAnotherThread(void*) { return static_cast<DWORD>(Caught()); }

}  // namespace

int main() {
  const HANDLE thread = CreateThread(nullptr, 0, CaughtOnAnotherThread, nullptr, 0, nullptr);
  const int here = Caught();
  DWORD there = 0;
  WaitForSingleObject(thread, INFINITE);
  GetExitCodeThread(thread, &there);
  CloseHandle(thread);
  return here == 4 && there == 4 ? 0 : 1;
}
