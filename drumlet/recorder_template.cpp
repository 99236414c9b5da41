// The recorder dialog's template, in dialog units.
#include "drumlet/recorder_resources.h"

#include "platform/com/guid.h"
#include "platform/ui/commctrl.h"
#include "platform/ui/std_controls.h"
#include "suite/skin/skin_controls.h"

namespace drumlet {

namespace {

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kSkinned = kChild | WS_TABSTOP;
constexpr short kButtonRow = 208;

const std::string kButton = GuidToString(CLSID_SkinnedButton);
const std::string kLabel = GuidToString(CLSID_SkinnedLabel);

DialogItemTemplate Button(int id, const char* caption, short x, bool shown = true) {
  return {kButton, id, "", shown ? kSkinned : kSkinned & ~WS_VISIBLE, 0, x, kButtonRow, 48, 15,
          {{"Caption", caption}, {"Font", "MS Sans Serif"}}};
}

DialogItemTemplate Label(int id, const char* caption, short x, short y, short cx) {
  return {kLabel, id, "", kChild, 0, x, y, cx, 10, {{"Caption", caption}, {"Font", "MS Sans Serif"}}};
}

DialogItemTemplate Figure(int id, short x, short y) {
  return {WC_STATIC, id, "0.0 MB", kChild | SS_LEFT | SS_NOPREFIX, 0, x, y, 50, 10, {}};
}

}  // namespace

const DialogTemplate kRecorderTemplate{
    kRecorderDialogId,
    "Burning",
    DS_SETFONT | DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU,
    WS_EX_ACCEPTFILES,
    0,
    0,
    330,
    230,
    "MS Sans Serif",
    8,
    {
        {GuidToString(CLSID_SkinContainer), kRecorderSkinId, "", WS_CHILD, 0, 0, 0, 1, 1, {}},
        Label(kRecordersLabelId, "Available recorders:", 7, 9, 72),
        {WC_COMBOBOX, kDeviceComboId, "", kChild | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0, 82, 7,
         160, 80, {}},
        Label(kTrackListLabelId, "Track list:", 7, 26, 80),
        {WC_LISTBOX, kRecorderTrackListId, "",
         kChild | WS_TABSTOP | WS_BORDER | WS_VSCROLL | WS_HSCROLL | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS |
             LBS_EXTENDEDSEL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
         0, 7, 37, 190, 110, {}},
        Label(kRecordListLabelId, "Record list:", 203, 26, 80),
        {WC_LISTBOX, kDeviceContentListId, "",
         kChild | WS_BORDER | WS_VSCROLL | LBS_SORT | LBS_NOSEL | LBS_NOINTEGRALHEIGHT, 0, 203, 37, 120,
         110, {}},
        Label(kSelectedSpaceLabelId, "Selected space:", 7, 154, 62),
        Figure(kSelectedSpaceId, 72, 154),
        Label(kPreparedSpaceLabelId, "Prepared space:", 7, 166, 62),
        Figure(kPreparedSpaceId, 72, 166),
        Label(kAvailableSpaceLabelId, "Available space:", 170, 154, 62),
        Figure(kAvailableSpaceId, 235, 154),
        Label(kTotalSpaceLabelId, "Total space:", 170, 166, 62),
        Figure(kTotalSpaceId, 235, 166),
        {PROGRESS_CLASSA, kRecorderProgressId, "", kChild | WS_BORDER, 0, 7, 180, 316, 9, {}},
        {WC_STATIC, kRecorderStatusId, "", kChild | SS_LEFT | SS_NOPREFIX, 0, 7, 193, 316, 9, {}},
        Button(kRecorderAddId, "Add", 7),
        Button(kRecorderRemoveId, "Remove", 59),
        Button(kPrepareId, "Prepare", 111),
        Button(kBurnId, "Burn", 163),
        Button(kEraseId, "Erase", 215),
        Button(kRecorderExitId, "Exit", 275),
        Button(kSelectAllPreparedId, "Select All", 7, false),
        Button(kDeselectAllId, "Deselect All", 59, false),
        Button(kRemoveAllId, "RemoveAll", 111, false),
        Button(kSpareEraseId, "Erase", 163, false),
    }};

}  // namespace drumlet
