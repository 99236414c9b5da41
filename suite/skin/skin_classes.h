// The three skin controls, as their class objects make them.
#pragma once

#include "platform/com/unknown.h"

HRESULT CreateSkinContainer(REFIID iid, void** object);
HRESULT CreateSkinnedButton(REFIID iid, void** object);
HRESULT CreateSkinnedLabel(REFIID iid, void** object);
