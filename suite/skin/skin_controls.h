// The skin controls that dialog templates embed by class identifier: what
// a dialog may call of them, as their type library would describe it. The
// container reads a skin file; buttons and labels take their look from the
// container they are handed.
#pragma once

#include "platform/com/dispatch.h"

// Skin container: one per dialog.
// {972DE6C2-8B09-11D2-B652-A1FD6CC34260}
constexpr CLSID CLSID_SkinContainer{
    0x972DE6C2, 0x8B09, 0x11D2, {0xB6, 0x52, 0xA1, 0xFD, 0x6C, 0xC3, 0x42, 0x60}};
// Skinned push button.
// {53FA8D41-2CDD-11D3-9DD0-D3CD4078982A}
constexpr CLSID CLSID_SkinnedButton{
    0x53FA8D41, 0x2CDD, 0x11D3, {0x9D, 0xD0, 0xD3, 0xCD, 0x40, 0x78, 0x98, 0x2A}};
// Skinned label.
// {53FA8D4A-2CDD-11D3-9DD0-D3CD4078982A}
constexpr CLSID CLSID_SkinnedLabel{
    0x53FA8D4A, 0x2CDD, 0x11D3, {0x9D, 0xD0, 0xD3, 0xCD, 0x40, 0x78, 0x98, 0x2A}};
// The button's events.
// {A2DC782D-71E8-4E54-960F-1BB64FD7F1C0}
constexpr IID DIID_SkinnedButtonEvents{
    0xA2DC782D, 0x71E8, 0x4E54, {0x96, 0x0F, 0x1B, 0xB6, 0x4F, 0xD7, 0xF1, 0xC0}};

// Container: "SkinFile", the full path of the skin file (string).
constexpr DISPID kSkinFileId = 1;

// Buttons and labels: "ApplySkin" takes the container (VT_DISPATCH or
// VT_UNKNOWN) and shows the control in its skin; "Caption" and "Font" (a
// face name) are stored with the template.
constexpr DISPID kApplySkinId = 1;
constexpr DISPID kCaptionId = 3;
constexpr DISPID kFontId = 4;
// Buttons: "Enabled" (boolean).
constexpr DISPID kEnabledId = 2;

// The button's Click event, on DIID_SkinnedButtonEvents, without arguments.
constexpr DISPID kClickEventId = 1;
