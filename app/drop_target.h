#pragma once

#include <windows.h>
#include <ole2.h>
#include <shlobj.h>
#include <wrl/client.h>

#include "shortcut/drop.h"

// The window as a target of drag and drop: what a browser, a folder window or another program
// drags onto it is read in the forms the window takes and handed on as boxes to fill.
namespace pellumar::app {

class DropReceiver {
 public:
  // False while the window cannot take a drop (a command is running).
  virtual bool TakesDrops() const = 0;
  virtual void Fill(const DropFill& fill) = 0;

 protected:
  ~DropReceiver() = default;
};

// A COM object with a count of its users; made with one, which its maker releases.
class DropTarget final : public IDropTarget {
 public:
  DropTarget(HWND window, DropReceiver& receiver) : window_(window), receiver_(receiver) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keys, POINTL point,
                                      DWORD* effect) override;
  HRESULT STDMETHODCALLTYPE DragOver(DWORD keys, POINTL point, DWORD* effect) override;
  HRESULT STDMETHODCALLTYPE DragLeave() override;
  HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keys, POINTL point,
                                 DWORD* effect) override;

 private:
  ~DropTarget() = default;
  // The effect a drop of what is dragged has, out of those the source allows.
  DWORD Effect(DWORD allowed) const;
  // Fills the boxes from what was dropped; the effect the drop had.
  DWORD Take(IDataObject* data, DWORD allowed);

  HWND window_;
  DropReceiver& receiver_;
  // Draws what is dragged; null where the shell has none.
  Microsoft::WRL::ComPtr<IDropTargetHelper> dragImages_;
  ULONG references_ = 1;
  bool acceptable_ = false;  // what is being dragged over the window now
};

}  // namespace pellumar::app
