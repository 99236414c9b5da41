// The conversion dialog's template, menu and strings.
#include "drumlet/conversion_resources.h"

#include "platform/com/guid.h"
#include "platform/ui/commctrl.h"
#include "platform/ui/menu.h"
#include "platform/ui/std_controls.h"
#include "suite/skin/skin_controls.h"

namespace drumlet {

namespace {

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kSkinned = kChild | WS_TABSTOP;

const std::string kButton = GuidToString(CLSID_SkinnedButton);
const std::string kLabel = GuidToString(CLSID_SkinnedLabel);

DialogItemTemplate Button(int id, const char* caption, short x, bool shown = true) {
  return {kButton, id, "", shown ? kSkinned : kSkinned & ~WS_VISIBLE, 0, x, 178, 50, 15,
          {{"Caption", caption}, {"Font", "MS Sans Serif"}}};
}

}  // namespace

const DialogTemplate kConversionTemplate{
    kConversionDialogId,
    "Conversion",
    DS_SETFONT | DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU,
    WS_EX_ACCEPTFILES,
    0,
    0,
    300,
    200,
    "MS Sans Serif",
    8,
    {
        {GuidToString(CLSID_SkinContainer), kConversionSkinId, "", WS_CHILD, 0, 0, 0, 1, 1, {}},
        {WC_LISTVIEW, kTrackListId, "",
         kChild | WS_TABSTOP | WS_BORDER | LVS_REPORT | LVS_EDITLABELS | LVS_SHOWSELALWAYS |
             LVS_SORTDESCENDING,
         0, 7, 7, 286, 118, {}},
        {kLabel, kConvertToLabelId, "", kChild, 0, 7, 134, 42, 10,
         {{"Caption", "Convert to:"}, {"Font", "MS Sans Serif"}}},
        {WC_COMBOBOX, kOutputKindId, "", kChild | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0, 52,
         132, 50, 80, {}},
        {WC_BUTTON, kUseTmpFolderId, "Use TMP folder", kChild | WS_TABSTOP | BS_AUTOCHECKBOX, 0, 114,
         133, 80, 10, {}},
        {PROGRESS_CLASSA, kProgressId, "", kChild | WS_BORDER, 0, 7, 150, 286, 10, {}},
        {WC_STATIC, kStatusTextId, "Ready", kChild | SS_LEFT | SS_NOPREFIX, 0, 7, 164, 286, 9, {}},
        Button(kAddButtonId, "Add", 7),
        Button(kRemoveButtonId, "Remove", 61),
        Button(kSelectAllButtonId, "Select All", 115, false),
        Button(kConvertButtonId, "Convert", 189),
        Button(kExitButtonId, "Exit", 243),
    }};

const ui::res::MenuTemplate kConversionMenu{
    kConversionMenuId, {{0, "Tracks", MF_POPUP, {{kClearStatusCommand, "Clear status", 0, {}}}}}};

const ui::res::StringEntry kConversionStrings[2] = {{kStopCaptionId, "Stop"}, {kExitCaptionId, "Exit"}};

}  // namespace drumlet
