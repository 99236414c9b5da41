// Each step of a drop asks the rules again: the keys held and the folder
// under the pointer may have changed.
#include "shellfolder/music_drop_target.h"

#include "shellfolder/drop_rules.h"
#include "shellfolder/library_edits.h"

namespace cobrell {

HRESULT MusicDropTarget::Create(Locate locate, REFIID iid, void** object) {
  return NewInstance(iid, object, std::move(locate));
}

HRESULT MusicDropTarget::DragEnter(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) {
  m_data = ComPtr<IDataObject>(data);
  return DragOver(keyState, point, effect);
}

HRESULT MusicDropTarget::DragOver(DWORD keyState, POINTL point, DWORD* effect) {
  if (effect == nullptr) return E_INVALIDARG;
  const DropPlace place = m_locate(point);
  *effect = DropEffectFor(m_data.Get(), place.kind, place.id, keyState, *effect);
  return S_OK;
}

HRESULT MusicDropTarget::DragLeave() {
  m_data.Reset();
  return S_OK;
}

HRESULT MusicDropTarget::Drop(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) {
  m_data.Reset();
  if (effect == nullptr) return E_INVALIDARG;
  const DropPlace place = m_locate(point);
  const DWORD chosen = DropEffectFor(data, place.kind, place.id, keyState, *effect);
  *effect = DROPEFFECT_NONE;
  if (chosen == DROPEFFECT_NONE) return E_FAIL;
  return DropOrPaste(data, place.kind, place.id, place.list.get(), chosen, effect);
}

}  // namespace cobrell
