#include "shell/com_apartment.h"

#include "shell/system_dlls.h"

namespace pellumar::shell {

ComApartment::ComApartment() {
  // S_FALSE (already started on this thread) also needs the matching CoUninitialize.
  initialized_ =
      SUCCEEDED(system::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
  // OLE, in the same apartment, takes what is dragged onto the window.
  oleInitialized_ = initialized_ && SUCCEEDED(system::OleInitialize(nullptr));
}

ComApartment::~ComApartment() {
  if (oleInitialized_) system::OleUninitialize();
  if (initialized_) system::CoUninitialize();
}

}  // namespace pellumar::shell
