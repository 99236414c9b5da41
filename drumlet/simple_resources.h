// The simple mode's dialog templates and the ids of their controls.
#pragma once

#include "platform/ui/dialog.h"

namespace drumlet {

constexpr int kDefaultRecorderDialogId = 4003;
constexpr int kInsertDiskDialogId = 4004;
constexpr int kDeviceContentDialogId = 4006;
constexpr int kSelectRecorderDialogId = 4008;
constexpr int kErasingDialogId = 4009;
constexpr int kSimpleBurningDialogId = 4011;
constexpr int kListingDialogId = 4013;

// Shared by the skinned ones.
constexpr int kSimpleSkinId = 4021;
constexpr int kSimpleTextId = 4030;

// "Select Recorder".
constexpr int kSimpleDeviceComboId = 4032;

// "Device Content".
constexpr int kContentListId = 4060;
constexpr int kDeleteTrackId = 4061;
constexpr int kFormatMediumId = 4062;
constexpr int kTotalMemoryId = 4064;
constexpr int kListSizeId = 4066;

// "Burning" and "Erasing".
constexpr int kSimpleProgressId = 4070;
constexpr int kSimpleActionId = 4071;
constexpr int kSimpleTrackId = 4072;

extern const DialogTemplate kDefaultRecorderTemplate;
extern const DialogTemplate kInsertDiskTemplate;
extern const DialogTemplate kDeviceContentTemplate;
extern const DialogTemplate kSelectRecorderTemplate;
extern const DialogTemplate kErasingTemplate;
extern const DialogTemplate kSimpleBurningTemplate;
extern const DialogTemplate kListingTemplate;

}  // namespace drumlet
