// The conversion dialog's resources: its template (dialog 4027), the track
// list's context menu (4002), the Exit button's two captions and the image
// strip of the track list (bitmap 4008), with the ids of its controls.
#pragma once

#include "platform/ui/dialog.h"
#include "platform/ui/resources.h"

namespace drumlet {

constexpr int kConversionDialogId = 4027;
constexpr int kConversionMenuId = 4002;
constexpr int kTrackImagesId = 4008;

constexpr int kTrackListId = 4026;
constexpr int kOutputKindId = 4039;
constexpr int kProgressId = 4046;
constexpr int kStatusTextId = 4047;
constexpr int kUseTmpFolderId = 4064;
constexpr int kConversionSkinId = 4049;
constexpr int kConvertToLabelId = 4050;
constexpr int kAddButtonId = 4027;
constexpr int kRemoveButtonId = 4063;
constexpr int kSelectAllButtonId = 4041;
constexpr int kConvertButtonId = IDOK;
constexpr int kExitButtonId = IDCANCEL;

constexpr UINT kClearStatusCommand = 32771;

constexpr UINT kStopCaptionId = 2003;
constexpr UINT kExitCaptionId = 2004;

extern const DialogTemplate kConversionTemplate;
extern const ui::res::MenuTemplate kConversionMenu;
extern const ui::res::StringEntry kConversionStrings[2];

}  // namespace drumlet
