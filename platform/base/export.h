// Marks a declaration as part of its shared library's interface; everything
// else is built hidden.
#pragma once

#define QAP_EXPORT __attribute__((visibility("default")))
