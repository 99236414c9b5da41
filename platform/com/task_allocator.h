// The COM task allocator: memory handed across an interface (out strings,
// item identifier lists) is allocated here and freed by the receiver.
#pragma once

#include <cstddef>

#include "platform/base/export.h"

QAP_EXPORT void* CoTaskMemAlloc(std::size_t size);
QAP_EXPORT void* CoTaskMemRealloc(void* block, std::size_t size);
QAP_EXPORT void CoTaskMemFree(void* block);
