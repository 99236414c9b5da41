// The drop source of a drag from the music folder's list: the drag goes on
// while the left button is held, drops when it is let go and ends on Esc.
#pragma once

#include "platform/ui/ole/ole_interfaces.h"
#include "shellfolder/com_object.h"

class ListDropSource final : public CobrellObject<ListDropSource, IDropSource> {
 public:
  static HRESULT Create(REFIID iid, void** object) { return NewInstance(iid, object); }
  InterfaceTable Interfaces() { return {{&IID_IDropSource, static_cast<IDropSource*>(this)}}; }

  HRESULT QueryContinueDrag(BOOL escapePressed, DWORD keyState) override {
    if (escapePressed) return DRAGDROP_S_CANCEL;
    return (keyState & MK_LBUTTON) == 0 ? DRAGDROP_S_DROP : S_OK;
  }
  HRESULT GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }

 private:
  ListDropSource() = default;
  friend CobrellObject<ListDropSource, IDropSource>;
  ~ListDropSource() = default;
};
