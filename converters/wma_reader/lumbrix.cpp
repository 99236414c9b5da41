// Lumbrix, the WMA reader component: its three exports.
#include "converters/wma_reader/wma_reader.h"
#include "platform/base/export.h"

namespace {

const ConverterDescription kDescription{
    "WMAReader", "WMA file format convertor - Format SDK Reader module"};

}  // namespace

extern "C" {

QAP_EXPORT std::int32_t CreateObject(Converter** object) {
  return CreateConverter<WmaReader>(object);
}

QAP_EXPORT const ConverterDescription* GetDescription() { return &kDescription; }

QAP_EXPORT const char* GetExtensions() { return "wma"; }

}  // extern "C"
