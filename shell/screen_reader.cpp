#include "shell/screen_reader.h"

#include <oleacc.h>
#include <uiautomationcore.h>
#include <wrl/client.h>

#include <utility>
#include <vector>

#include "shell/system_dlls.h"
#include "shell/wide.h"

namespace pellumar::shell {
namespace {

using Microsoft::WRL::ComPtr;

// UI Automation's identifier of a window's own element (UiaRootObjectId).
constexpr LONG kRootObjectId = -25;

// oleacc's identifiers, here so that nothing links oleacc.dll itself.
constexpr CLSID kAccPropServices{
    0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};
constexpr IID kIAccPropServices{
    0x6e26e776, 0x04f0, 0x495d, {0x80, 0xe4, 0x33, 0x30, 0x35, 0x2e, 0x31, 0x69}};
constexpr GUID kName{0x608d3df8, 0x8128, 0x4aa7, {0xa4, 0x28, 0xf5, 0x5e, 0x49, 0x26, 0x72, 0x91}};
// UI Automation's own Name property (Name_Property_GUID): its clients, Narrator among them, read
// that, and an annotation may name it in place of the older one.
constexpr GUID kAutomationName{
    0xc3a6921b, 0x4a99, 0x44f1, {0xbc, 0xa6, 0x61, 0x18, 0x70, 0x52, 0xc4, 0x31}};
constexpr GUID kDescription{
    0x4d48dfe4, 0xbd3f, 0x491f, {0xa6, 0x48, 0x49, 0x2d, 0x6f, 0x20, 0xc5, 0x88}};
constexpr GUID kRole{0xcb905ff2, 0x7bd1, 0x4c05, {0xb3, 0xc8, 0xe6, 0xc2, 0x41, 0x36, 0x4d, 0x70}};
constexpr GUID kDefaultAction{
    0x180c072b, 0xc27f, 0x43c7, {0x99, 0x22, 0xf6, 0x35, 0x62, 0xa4, 0x63, 0x2b}};

// The window's own UI Automation element: UI Automation raises a notification only for a
// provider of the window's, and the system's host provider of the window gives it every
// property.
class WindowProvider final : public IRawElementProviderSimple {
 public:
  explicit WindowProvider(HWND window) : window_(window) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (iid == __uuidof(IUnknown) || iid == __uuidof(IRawElementProviderSimple)) {
      *object = static_cast<IRawElementProviderSimple*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&references_); }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return left;
  }
  HRESULT STDMETHODCALLTYPE get_ProviderOptions(ProviderOptions* options) override {
    *options = ProviderOptions_ServerSideProvider;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetPatternProvider(PATTERNID, IUnknown** pattern) override {
    *pattern = nullptr;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetPropertyValue(PROPERTYID, VARIANT* value) override {
    value->vt = VT_EMPTY;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_HostRawElementProvider(IRawElementProviderSimple** host) override {
    return system::UiaHostProviderFromHwnd(window_, host);
  }

 private:
  HWND window_;
  LONG references_ = 1;
};

class SystemReader final : public ScreenReader {
 public:
  void Name(HWND control, std::u16string_view name) override {
    Annotate(control, kName, name);
    Annotate(control, kAutomationName, name);
  }

  void Describe(HWND control, std::u16string_view description) override {
    Annotate(control, kDescription, description);
  }

  void MarkAsLink(HWND label) override {
    if (IAccPropServices* services = Annotations()) {
      VARIANT role{};
      role.vt = VT_I4;
      role.lVal = ROLE_SYSTEM_LINK;
      if (SUCCEEDED(services->SetHwndProp(label, OBJID_CLIENT, CHILDID_SELF, kRole, role))) {
        annotated_.emplace_back(label, kRole);
      }
    }
    Annotate(label, kDefaultAction, u"Open");
  }

  bool Listening() override { return system::UiaClientsAreListening(); }

  void Announce(HWND window, std::u16string_view text) override {
    const std::u16string owned(text);
    system::UiaRaiseNotificationEvent(Provider(window), Wide(owned));
  }

  LRESULT AnswerGetObject(HWND window, WPARAM wParam, LPARAM lParam) override {
    if (static_cast<LONG>(lParam) != kRootObjectId) return 0;
    return system::UiaReturnRawElementProvider(window, wParam, lParam, Provider(window));
  }

  void Forget(HWND window) override {
    if (provider_) system::UiaReturnRawElementProvider(window, 0, 0, nullptr);
    if (!annotated_.empty()) {
      IAccPropServices* services = Annotations();
      for (const auto& [control, property] : annotated_) {
        services->ClearHwndProps(control, OBJID_CLIENT, CHILDID_SELF, &property, 1);
      }
      annotated_.clear();
    }
  }

 private:
  void Annotate(HWND control, const GUID& property, std::u16string_view value) {
    IAccPropServices* services = Annotations();
    if (services && SUCCEEDED(services->SetHwndPropStr(control, OBJID_CLIENT, CHILDID_SELF,
                                                       property, Wide(std::u16string(value))))) {
      annotated_.emplace_back(control, property);
    }
  }

  IAccPropServices* Annotations() {
    if (!annotations_) {
      system::CoCreateInstance(kAccPropServices, nullptr, CLSCTX_INPROC_SERVER, kIAccPropServices,
                               reinterpret_cast<void**>(annotations_.GetAddressOf()));
    }
    return annotations_.Get();
  }
  IRawElementProviderSimple* Provider(HWND window) {
    if (!provider_) provider_.Attach(new WindowProvider(window));
    return provider_.Get();
  }

  ComPtr<IAccPropServices> annotations_;
  std::vector<std::pair<HWND, GUID>> annotated_;  // what Forget takes back
  ComPtr<IRawElementProviderSimple> provider_;
};

}  // namespace

std::unique_ptr<ScreenReader> SystemScreenReader() { return std::make_unique<SystemReader>(); }

}  // namespace pellumar::shell
