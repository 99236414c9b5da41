// The transfer verbs' shared pieces.
#include "tools/qap/transfer_host.h"

#include "options/options.h"
#include "suite/hobrin/tag_block.h"

namespace qap {

TransferObject CreateObject(const std::string& shortId) {
  ICommunication* object = nullptr;
  ModuleDescriptor descriptor;
  if (CreateCommunicationObject(&object, shortId.c_str(), &descriptor) != kQuadrinOk) return nullptr;
  return TransferObject(object);
}

bool LoadTransferOptions(TQuadrinInitStruct* init) {
  LoadOptions();
  return ConvertOptionsToTQuadrinInitStruct(&GetIRecordingOption(), init) == kQuadrinOk;
}

bool ReadTags(const std::string& path, TrackEntry* entry) {
  if (!ReadTagBlock(path.c_str(), &entry->tags)) return false;
  if (entry->tags.presence != 0) entry->flags |= kTrackTagsRead;
  return true;
}

}  // namespace qap
