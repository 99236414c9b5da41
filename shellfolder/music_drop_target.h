// The music folder's drop target: for a group, song list, Play Lists or a
// playlist, it takes what the drop rules accept and carries the drop out
// with the effect of the keys held, if the source allows it. A target may
// find its folder by the pointer (a list whose rows are folders).
#pragma once

#include <functional>

#include "platform/com/com_ptr.h"
#include "platform/shell/item_id_list.h"
#include "platform/ui/ole/ole_interfaces.h"
#include "shellfolder/com_object.h"

namespace cobrell {

// The folder a drop goes to; kind 0 for none.
struct DropPlace {
  DWORD kind = 0;
  int id = 0;
  UniqueItemIdList list;  // absolute
};

class MusicDropTarget final : public CobrellObject<MusicDropTarget, IDropTarget> {
 public:
  using Locate = std::function<DropPlace(POINTL screen)>;
  static HRESULT Create(Locate locate, REFIID iid, void** object);
  InterfaceTable Interfaces() { return {{&IID_IDropTarget, static_cast<IDropTarget*>(this)}}; }

  HRESULT DragEnter(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) override;
  HRESULT DragOver(DWORD keyState, POINTL point, DWORD* effect) override;
  HRESULT DragLeave() override;
  HRESULT Drop(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) override;

 private:
  friend CobrellObject<MusicDropTarget, IDropTarget>;
  explicit MusicDropTarget(Locate locate) : m_locate(std::move(locate)) {}
  ~MusicDropTarget() = default;

  Locate m_locate;
  ComPtr<IDataObject> m_data;
};

}  // namespace cobrell
