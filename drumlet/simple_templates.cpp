// The simple mode's templates, in dialog units.
#include "drumlet/simple_resources.h"

#include "platform/com/guid.h"
#include "platform/ui/commctrl.h"
#include "platform/ui/std_controls.h"
#include "suite/skin/skin_controls.h"

namespace drumlet {

namespace {

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kModal = DS_SETFONT | DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kModeless = DS_SETFONT | DS_CENTER | WS_POPUP | WS_CAPTION | WS_VISIBLE;

const std::string kButton = GuidToString(CLSID_SkinnedButton);

DialogItemTemplate Skin() {
  return {GuidToString(CLSID_SkinContainer), kSimpleSkinId, "", WS_CHILD, 0, 0, 0, 1, 1, {}};
}

DialogItemTemplate Skinned(int id, const char* caption, short x, short y, short cx = 60) {
  return {kButton, id, "", kChild | WS_TABSTOP, 0, x, y, cx, 15,
          {{"Caption", caption}, {"Font", "MS Sans Serif"}}};
}

DialogItemTemplate Text(int id, const char* text, short x, short y, short cx, short cy = 10) {
  return {WC_STATIC, id, text, kChild | SS_LEFT | SS_NOPREFIX, 0, x, y, cx, cy, {}};
}

DialogItemTemplate Push(int id, const char* text, short x, short y, short cx = 60) {
  return {WC_BUTTON, id, text, kChild | WS_TABSTOP | (id == IDOK ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON), 0,
          x, y, cx, 15, {}};
}

DialogItemTemplate Bar(short y) {
  return {PROGRESS_CLASSA, kSimpleProgressId, "", kChild | WS_BORDER, 0, 7, y, 206, 10, {}};
}

}  // namespace

const DialogTemplate kDefaultRecorderTemplate{
    kDefaultRecorderDialogId, "Default Recorder", kModal, 0, 0, 0, 220, 74, "MS Sans Serif", 8,
    {
        Skin(),
        Text(kSimpleTextId,
             "Your recorder is either not responding or not connected. Make sure the recorder is "
             "properly installed and connected.",
             7, 7, 206, 36),
        Skinned(IDOK, "Select recorder...", 61, 52, 80),
        Skinned(IDCANCEL, "Cancel", 153, 52),
    }};

const DialogTemplate kSelectRecorderTemplate{
    kSelectRecorderDialogId, "Select Recorder", kModal, 0, 0, 0, 220, 62, "MS Sans Serif", 8,
    {
        Skin(),
        Text(kSimpleTextId, "Available recorders:", 7, 9, 70),
        {WC_COMBOBOX, kSimpleDeviceComboId, "", kChild | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0, 80,
         7, 133, 80, {}},
        Skinned(IDOK, "Select", 85, 40),
        Skinned(IDCANCEL, "Cancel", 153, 40),
    }};

const DialogTemplate kListingTemplate{
    kListingDialogId, "Listing...", kModeless, 0, 0, 0, 140, 30, "MS Sans Serif", 8,
    {Text(kSimpleTextId, "Listing devices.", 7, 10, 126)}};

const DialogTemplate kInsertDiskTemplate{
    kInsertDiskDialogId, "Insert Disk", kModal, 0, 0, 0, 180, 54, "MS Sans Serif", 8,
    {
        Text(kSimpleTextId, "Insert a blank, writable disc.", 7, 10, 166),
        Push(IDOK, "OK", 45, 32, 60),
        Push(IDCANCEL, "Cancel", 113, 32, 60),
    }};

const DialogTemplate kDeviceContentTemplate{
    kDeviceContentDialogId, "Device Content", kModal, 0, 0, 0, 260, 206, "MS Sans Serif", 8,
    {
        {WC_LISTVIEW, kContentListId, "",
         kChild | WS_TABSTOP | WS_BORDER | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS, 0, 7, 7, 180, 120,
         {}},
        Push(kDeleteTrackId, "Delete Track", 193, 7, 60),
        {WC_BUTTON, kFormatMediumId, "Format medium", kChild | WS_TABSTOP | BS_AUTOCHECKBOX, 0, 193, 28, 62,
         10, {}},
        Text(4063, "Total memory:", 7, 133, 50),
        Text(kTotalMemoryId, "", 60, 133, 50),
        Text(4065, "List size:", 7, 145, 50),
        Text(kListSizeId, "", 60, 145, 50),
        Text(4067, "Tracks already uploaded", 120, 133, 100),
        Text(4068, "Tracks to be uploaded", 120, 145, 100),
        Text(4069,
             "The total list size cannot be greater than the available memory on the portable device.",
             7, 160, 246, 18),
        Push(IDOK, "Start Recording", 125, 184, 64),
        Push(IDCANCEL, "Cancel", 193, 184, 60),
    }};

const DialogTemplate kSimpleBurningTemplate{
    kSimpleBurningDialogId, "Burning", kModeless, 0, 0, 0, 220, 78, "MS Sans Serif", 8,
    {
        Skin(),
        Bar(8),
        Text(kSimpleActionId, "", 7, 24, 206),
        Text(kSimpleTrackId, "", 7, 36, 206),
        Skinned(IDCANCEL, "Cancel", 80, 56),
    }};

const DialogTemplate kErasingTemplate{
    kErasingDialogId, "Erasing", kModeless, 0, 0, 0, 220, 56, "MS Sans Serif", 8,
    {
        Text(4073, "Erasing.", 7, 7, 206),
        Bar(20),
        Text(kSimpleTrackId, "", 7, 36, 206),
    }};

}  // namespace drumlet
