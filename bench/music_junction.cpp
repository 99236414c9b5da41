// The music folder's junction for the benchmarks.
#include "bench/music_junction.h"

#include <string>

#include "platform/shell/item_id_list.h"
#include "shellfolder/cobrell.h"

namespace qap::bench {

ComPtr<IShellFolder> OpenMusicJunction() {
  ComPtr<IClassFactory> factory;
  ComPtr<IPersistFolder> persist;
  ComPtr<IShellFolder> folder;
  const std::u16string path =
      std::u16string(kMyComputerParsingName) + u"\\::{49C49A94-996D-11D3-8830-5254ABDE229C}";
  LPITEMIDLIST junction = nullptr;
  if (FAILED(DllGetClassObject(CLSID_Mp3DbShellFolder, IID_IClassFactory, factory.OutVoid())) ||
      FAILED(factory->CreateInstance(nullptr, IID_IPersistFolder, persist.OutVoid())) ||
      FAILED(SHParseDisplayName(path.c_str(), nullptr, &junction, 0, nullptr))) {
    return nullptr;
  }
  UniqueItemIdList owner(junction);
  if (FAILED(persist->Initialize(junction)) || FAILED(persist.As(IID_IShellFolder, &folder)))
    return nullptr;
  return folder;
}

}  // namespace qap::bench
