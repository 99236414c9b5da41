// Removing what a writer made of an output it could not complete, so that a
// full disk leaves no cut file that looks finished. Only a plain file is
// removed: an output named /dev/full, a pipe or a terminal is not the
// writer's to take away.
#pragma once

#include <string>

#include "platform/base/export.h"

// hostPath: the host path of the output. True when there is nothing left of
// it.
QAP_EXPORT bool RemovePartialOutput(const std::string& hostPath);
