#pragma once

namespace pellumar::shell {

// COM and OLE for the user-interface thread, started once for the program's life.
class ComApartment {
 public:
  ComApartment();
  ~ComApartment();
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

 private:
  bool initialized_ = false;
  bool oleInitialized_ = false;
};

}  // namespace pellumar::shell
