// The transfer layer's pieces that qap devices takes.
#include "tools/qap/transfer_host.h"

#include "options/options.h"

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

}  // namespace qap
