// An in-process COM server for the DLL-search test. It imports a DLL of its own, which must sit
// beside it: where the loader does not look there, the server is not loaded at all.
#include <windows.h>
#include <unknwn.h>

extern "C" __declspec(dllimport) int PellumarComServerHelper();

namespace {

// The objects it makes, and its class factory: plain COM objects with a count of their users.
class Object final : public IClassFactory {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (iid != IID_IUnknown && iid != IID_IClassFactory) {
      *object = nullptr;
      return E_NOINTERFACE;
    }
    *object = static_cast<IClassFactory*>(this);
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&references_); }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return left;
  }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
    *object = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    if (PellumarComServerHelper() != 42) return E_UNEXPECTED;
    Object* made = new Object;
    const HRESULT hr = made->QueryInterface(iid, object);
    made->Release();
    return hr;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

 private:
  LONG references_ = 1;
};

}  // namespace

STDAPI DllGetClassObject(REFCLSID, REFIID iid, LPVOID* object) {
  Object* factory = new Object;
  const HRESULT hr = factory->QueryInterface(iid, object);
  factory->Release();
  return hr;
}

STDAPI DllCanUnloadNow() { return S_FALSE; }
