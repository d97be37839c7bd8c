#include "shortcut_file.h"

#include <windows.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <wrl/client.h>

#include <stdexcept>

#include "shell/wide.h"

namespace pellumar::testing {

using Microsoft::WRL::ComPtr;
using shell::FromWide;
using shell::Wide;

namespace {
void Ok(HRESULT hr, const char* what) {
  if (FAILED(hr)) throw std::runtime_error(what);
}
}  // namespace

ShortcutFile LoadShortcut(const std::u16string& path) {
  ComPtr<IShellLinkW> link;
  Ok(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&link)),
     "CoCreateInstance");
  ComPtr<IPersistFile> file;
  Ok(link.As(&file), "IPersistFile");
  Ok(file->Load(Wide(path), STGM_READ), "Load");

  ShortcutFile result;
  wchar_t icon[MAX_PATH] = {};
  Ok(link->GetIconLocation(icon, MAX_PATH, &result.iconIndex), "GetIconLocation");
  result.iconLocation = FromWide(icon);

  PIDLIST_ABSOLUTE items = nullptr;
  Ok(link->GetIDList(&items), "GetIDList");
  if (items) {
    PWSTR name = nullptr;
    if (SUCCEEDED(SHGetNameFromIDList(items, SIGDN_NORMALDISPLAY, &name))) {
      result.targetName = FromWide(name);
      CoTaskMemFree(name);
    }
    if (SUCCEEDED(SHGetNameFromIDList(items, SIGDN_URL, &name))) {
      result.targetUrl = FromWide(name);
      CoTaskMemFree(name);
    }
    CoTaskMemFree(items);
  }
  return result;
}

}  // namespace pellumar::testing
