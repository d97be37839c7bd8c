// com_probe CLSID: creates the in-process server CLSID in a process that limits its DLL search
// as Pellumar does. Exits with 0 once it is created, else with the HRESULT that refused it.
#include <windows.h>
#include <objbase.h>

#include <cstdio>

#include "shell/system_dlls.h"

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    std::fputs("usage: com_probe {CLSID}\n", stderr);
    return 2;
  }
  if (!pellumar::shell::system::LoadDllsFromSystemFolderOnly()) {
    std::printf("the DLL search could not be limited: error %lu\n", GetLastError());
    return 3;
  }
  CLSID clsid{};
  if (FAILED(CLSIDFromString(argv[1], &clsid))) return 4;
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 5;
  IUnknown* object = nullptr;
  const HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                      reinterpret_cast<void**>(&object));
  std::printf("CoCreateInstance: 0x%08lX\n", static_cast<unsigned long>(hr));
  if (object) object->Release();
  CoUninitialize();
  return SUCCEEDED(hr) ? 0 : static_cast<int>(hr);
}
