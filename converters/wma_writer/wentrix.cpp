// Wentrix, the WMA writer component: its three exports.
#include "converters/wma_writer/wma_writer.h"
#include "platform/base/export.h"

namespace {

const ConverterDescription kDescription{
    "WMAWriter", "WMA file format convertor - Format SDK Writer module"};

}  // namespace

extern "C" {

QAP_EXPORT std::int32_t CreateObject(Converter** object) {
  return CreateConverter<WmaWriter>(object);
}

QAP_EXPORT const ConverterDescription* GetDescription() { return &kDescription; }

QAP_EXPORT const char* GetExtensions() { return "wma"; }

}  // extern "C"
