// The clipboard, shaped like user32's and OLE's: one per process, opened by
// one window (or thread) at a time, holding global memory blocks by format
// in the order they were put there, and owned by the window that emptied
// it. OleSetClipboard puts a data object there instead: its formats are
// offered and each is rendered from the object when first read. Formats
// are not made from one another (no CF_TEXT from CF_UNICODETEXT).
//
// The desktop's clipboard is reached through a ClipboardBridge, which the
// front-end gives: it hears of every change here (to put the suite's
// formats on the desktop under their own type) and is asked for formats
// that another program put on the desktop.
#pragma once

#include <vector>

#include "platform/base/export.h"
#include "platform/ui/ole/ole_interfaces.h"

constexpr UINT CF_TEXT = 1;
constexpr UINT CF_BITMAP = 2;
constexpr UINT CF_OEMTEXT = 7;
constexpr UINT CF_UNICODETEXT = 13;
constexpr UINT CF_HDROP = 15;

// Sent to the owner when someone else empties the clipboard.
constexpr UINT WM_DESTROYCLIPBOARD = 0x0307;

constexpr DWORD ERROR_CLIPBOARD_NOT_OPEN = 1418;

// Fails (ERROR_ACCESS_DENIED) while another window or thread has it open;
// the same window may open it again.
QAP_EXPORT BOOL OpenClipboard(HWND owner);
QAP_EXPORT BOOL CloseClipboard();
// Frees every block, tells the previous owner (WM_DESTROYCLIPBOARD) and
// makes the opener the owner.
QAP_EXPORT BOOL EmptyClipboard();
// Takes over memory, which the clipboard frees when it is emptied or the
// format is set again; the caller must not free it. A null handle (delayed
// rendering) is not offered: it fails with ERROR_INVALID_PARAMETER.
QAP_EXPORT HANDLE SetClipboardData(UINT format, HANDLE memory);
// The clipboard's own block: read it, never free it.
QAP_EXPORT HANDLE GetClipboardData(UINT format);
QAP_EXPORT BOOL IsClipboardFormatAvailable(UINT format);
QAP_EXPORT int CountClipboardFormats();
// The format after format (0: the first) in the order they were set; 0 at
// the end (last error ERROR_SUCCESS).
QAP_EXPORT UINT EnumClipboardFormats(UINT format);
// The atom table of RegisterWindowMessage: the same name gives the same
// number as a window message and as a format.
QAP_EXPORT UINT RegisterClipboardFormatA(LPCSTR name);
// Registered formats only; the length copied, 0 for any other format.
QAP_EXPORT int GetClipboardFormatNameA(UINT format, LPSTR name, int size);
QAP_EXPORT HWND GetClipboardOwner();
QAP_EXPORT HWND GetOpenClipboardWindow();

// CLIPBRD_E_CANT_OPEN while the clipboard is open. A null object empties
// the clipboard. The object is held until the clipboard changes again or
// OleFlushClipboard.
QAP_EXPORT HRESULT OleSetClipboard(IDataObject* data);
// A data object over whatever the clipboard holds, read when it is asked.
QAP_EXPORT HRESULT OleGetClipboard(IDataObject** data);
// Renders every format of the object set by OleSetClipboard into the
// clipboard and lets the object go; the data stays.
QAP_EXPORT HRESULT OleFlushClipboard();
// S_OK when data is the object OleSetClipboard put there and still there.
QAP_EXPORT HRESULT OleIsCurrentClipboard(IDataObject* data);

namespace ui::ole {

// The front-end's link to the desktop clipboard. Called with no lock held,
// on the thread that changed the clipboard or asked for a format.
class ClipboardBridge {
 public:
  virtual ~ClipboardBridge() = default;
  // The clipboard here changed (it was emptied and filled, or given a data
  // object); formats are those it holds now, in order. Read each with
  // ReadLocalClipboard, now or when the desktop asks.
  virtual void OnLocalChange(const std::vector<UINT>& formats) = 0;
  // After TakenOutside: the formats the desktop offers that this window
  // system can read (registered formats by their names, CF_TEXT, CF_HDROP).
  virtual std::vector<UINT> OutsideFormats() = 0;
  // The bytes of one of those formats; false when the desktop has none.
  virtual bool ReadOutside(UINT format, std::vector<BYTE>* bytes) = 0;
};

// Null removes the bridge.
QAP_EXPORT void SetClipboardBridge(ClipboardBridge* bridge);
// Another program took the desktop's clipboard: what is held here is
// dropped (the owner hears WM_DESTROYCLIPBOARD), and formats are asked of
// the bridge until a program here empties the clipboard again. While a
// window has the clipboard open this waits for CloseClipboard, and a change
// made meanwhile wins.
QAP_EXPORT void ClipboardTakenOutside();
// The bytes of a format held here (rendering it from the data object when
// needed); false when it is not held here.
QAP_EXPORT bool ReadLocalClipboard(UINT format, std::vector<BYTE>* bytes);

}  // namespace ui::ole
