#include "shell/com_apartment.h"

#include "shell/system_dlls.h"

namespace pellumar::shell {

ComApartment::ComApartment() {
  // S_FALSE (already started on this thread) also needs the matching CoUninitialize.
  initialized_ =
      SUCCEEDED(system::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
}

ComApartment::~ComApartment() {
  if (initialized_) system::CoUninitialize();
}

}  // namespace pellumar::shell
