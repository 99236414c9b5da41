// The recorder dialog's template (dialog 102) and the ids of its controls.
#pragma once

#include "platform/ui/dialog.h"

namespace drumlet {

constexpr int kRecorderDialogId = 102;

constexpr int kRecorderSkinId = 4021;
constexpr int kDeviceComboId = 1017;
constexpr int kRecorderTrackListId = 1002;
constexpr int kDeviceContentListId = 1000;
constexpr int kSelectedSpaceId = 1018;
constexpr int kPreparedSpaceId = 1011;
constexpr int kAvailableSpaceId = 1010;
constexpr int kTotalSpaceId = 1009;
constexpr int kRecorderProgressId = 1014;
constexpr int kRecorderStatusId = 1016;

constexpr int kRecorderAddId = 1001;
constexpr int kRecorderRemoveId = 1007;
constexpr int kPrepareId = 1003;
constexpr int kBurnId = 1005;
constexpr int kEraseId = 1013;
constexpr int kRecorderExitId = IDOK;
constexpr int kSelectAllPreparedId = 1019;
constexpr int kDeselectAllId = 1022;
constexpr int kRemoveAllId = 1008;
constexpr int kSpareEraseId = 1012;

// The skinned captions beside the figures and lists.
constexpr int kSelectedSpaceLabelId = 1030;
constexpr int kPreparedSpaceLabelId = 1031;
constexpr int kAvailableSpaceLabelId = 1032;
constexpr int kTotalSpaceLabelId = 1033;
constexpr int kRecordersLabelId = 1034;
constexpr int kTrackListLabelId = 1035;
constexpr int kRecordListLabelId = 1036;

extern const DialogTemplate kRecorderTemplate;

}  // namespace drumlet
