#include "app/drop_target.h"

#include <utility>

#include "shell/drop_data.h"
#include "shell/system_dlls.h"

namespace pellumar::app {

HRESULT DropTarget::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_IDropTarget) {
    *object = static_cast<IDropTarget*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG DropTarget::AddRef() { return ++references_; }

ULONG DropTarget::Release() {
  const ULONG left = --references_;
  if (left == 0) delete this;
  return left;
}

DWORD DropTarget::Effect(DWORD allowed) const {
  // Never a move: the source would delete what was dragged once the drop is done.
  if (!acceptable_ || !receiver_.TakesDrops()) return DROPEFFECT_NONE;
  if (allowed & DROPEFFECT_COPY) return DROPEFFECT_COPY;
  return allowed & DROPEFFECT_LINK;
}

HRESULT DropTarget::DragEnter(IDataObject* data, DWORD, POINTL point, DWORD* effect) {
  if (!effect) return E_INVALIDARG;
  try {
    acceptable_ = data && PlanDrop(shell::ReadDropOffer(data)).step != DropStep::Refuse;
  } catch (...) {
    acceptable_ = false;
  }
  *effect = Effect(*effect);
  // The picture of what is dragged, which a folder window or a browser hands over, stays under
  // the pointer over this window too.
  if (!dragImages_) {
    shell::system::CoCreateInstance(CLSID_DragDropHelper, nullptr, CLSCTX_INPROC_SERVER,
                                    IID_PPV_ARGS(&dragImages_));
  }
  POINT at{point.x, point.y};
  if (dragImages_ && data) dragImages_->DragEnter(window_, data, &at, *effect);
  return S_OK;
}

HRESULT DropTarget::DragOver(DWORD, POINTL point, DWORD* effect) {
  if (!effect) return E_INVALIDARG;
  *effect = Effect(*effect);
  POINT at{point.x, point.y};
  if (dragImages_) dragImages_->DragOver(&at, *effect);
  return S_OK;
}

HRESULT DropTarget::DragLeave() {
  acceptable_ = false;
  if (dragImages_) dragImages_->DragLeave();
  return S_OK;
}

HRESULT DropTarget::Drop(IDataObject* data, DWORD, POINTL point, DWORD* effect) {
  if (!effect) return E_INVALIDARG;
  *effect = Take(data, *effect);
  POINT at{point.x, point.y};
  if (dragImages_ && data) dragImages_->Drop(data, &at, *effect);
  return S_OK;
}

DWORD DropTarget::Take(IDataObject* data, DWORD allowed) {
  acceptable_ = false;
  if (!data || !receiver_.TakesDrops()) return DROPEFFECT_NONE;
  try {
    DropPlan plan = PlanDrop(shell::ReadDropOffer(data));
    if (plan.step == DropStep::Refuse) return DROPEFFECT_NONE;
    if (plan.step != DropStep::Fill) {
      // The Internet Shortcut on disk, or the one file a browser describes.
      auto address = InternetShortcutAddress(plan.step == DropStep::ReadInternetShortcut
                                                 ? shell::ReadInternetShortcut(plan.file)
                                                 : shell::ReadDescribedFile(data, 0));
      if (!address) return DROPEFFECT_NONE;  // no web address in it: nothing changes
      plan.fill.address = std::move(*address);
    }
    receiver_.Fill(plan.fill);
  } catch (...) {
    // Nothing may unwind into the source's drag; the boxes are as they were or as filled.
    return DROPEFFECT_NONE;
  }
  acceptable_ = true;
  const DWORD effect = Effect(allowed);
  acceptable_ = false;
  return effect;
}

}  // namespace pellumar::app
