// Lumbrix, the WMA reader component: its three exports.
#include <new>

#include "converters/wma_reader/wma_reader.h"
#include "platform/base/export.h"

namespace {

const ConverterDescription kDescription{
    "WMAReader", "WMA file format convertor - Format SDK Reader module"};

}  // namespace

extern "C" {

QAP_EXPORT std::int32_t CreateObject(Converter** object) {
  if (object == nullptr) return kConvFailure;
  *object = nullptr;
  auto* reader = new (std::nothrow) WmaReader;
  if (reader == nullptr) return kConvFailure;
  if (!reader->Valid()) {
    reader->Destroy(0);
    return kConvFailure;
  }
  *object = reader;
  return kConvSuccess;
}

QAP_EXPORT const ConverterDescription* GetDescription() { return &kDescription; }

QAP_EXPORT const char* GetExtensions() { return "wma"; }

}  // extern "C"
