// The driver: the one seam between the window system and the outside. What
// a person would see leaves through it (every window and control with its
// state, and announcements of creation, change and destruction), and what a
// person would do enters through it (clicks, keys, selections, drops,
// answers), as the same messages in the same order as on Windows. The
// front-end and the script both stand on it; so do tests.
//
// Threads: announcements are made on the thread that changed the window.
// The model interfaces are read on the window's own thread (the front-end
// and the script run there, taking their turns while the thread waits);
// RunOnWindowThread brings a call there from anywhere else. Actions may be
// called from any thread: each is queued as input on the window's thread.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <typeinfo>
#include <vector>

#include "platform/base/export.h"
#include "platform/ui/pixels.h"
#include "platform/ui/ui_types.h"

namespace ui::driver {

// ---- what changes are announced ----

enum class Change {
  kText,        // window text (caption, label, edit content)
  kState,       // style, enable, show, check, focus, default button
  kGeometry,    // rectangle
  kSelection,   // selected rows, items or entries
  kRowsInserted,
  kRowsRemoved,
  kRowsChanged,  // text, image or state of rows first .. first + count - 1
  kColumns,
  kItems,        // tree items added, removed, changed or expanded
  kValue,        // progress position or range
  kParts,        // status bar parts
  kMenu,         // a window's menu bar
  kRedraw,       // redraw switched on again, or the window asked to be shown afresh
  kLook,         // the window's own look (platform/ui/window_look.h)
};

class Observer {
 public:
  virtual ~Observer() = default;
  virtual void OnCreated(HWND window) = 0;
  virtual void OnDestroyed(HWND window) = 0;
  virtual void OnChanged(HWND window, Change change, int first, int count) = 0;
};

QAP_EXPORT void AddObserver(Observer* observer);
QAP_EXPORT void RemoveObserver(Observer* observer);

// ---- turns: who may act while the UI thread waits ----

struct TurnResult {
  bool acted = false;  // queued input or changed state: look at the queue again
  std::optional<std::chrono::steady_clock::time_point> wakeBy;  // look again then
};

// A party that takes its turn on one thread whenever that thread is about to
// wait with nothing to do (a script, a test). Turns never nest: a turn
// that leads to a wait does not get another turn inside it.
class TurnTaker {
 public:
  virtual ~TurnTaker() = default;
  virtual TurnResult TakeTurn() = 0;
};

// A party with an event loop of its own (the front-end) that does the
// blocking for the thread: Block returns when Wake is called (from any
// thread), when the deadline passes, or when it handled events of its own.
class Blocker {
 public:
  virtual ~Blocker() = default;
  virtual void Block(std::optional<std::chrono::steady_clock::time_point> deadline) = 0;
  virtual void Wake() = 0;
};

// Both attach to the calling thread.
QAP_EXPORT void AddTurnTaker(TurnTaker* taker);
QAP_EXPORT void RemoveTurnTaker(TurnTaker* taker);
QAP_EXPORT void SetBlocker(Blocker* blocker);

// Whether someone can answer a window in this process: a front-end, a
// script or a test. Without one, a modal dialog is refused at once and a
// message box takes its default answer, since nobody could ever answer.
QAP_EXPORT bool HasClient();
// Counts a client that is neither a turn taker nor a blocker (a test that
// acts from another thread).
QAP_EXPORT void AddClient();
QAP_EXPORT void RemoveClient();

// Runs call on window's thread (directly when that is the calling thread)
// and waits for it; false when the window or its thread is gone, or the
// time-out passed.
QAP_EXPORT bool RunOnWindowThread(HWND window, const std::function<void()>& call,
                                  std::chrono::milliseconds timeout = std::chrono::seconds(10));
// Waits until window's thread has nothing left to do and waits (its queue
// is empty); false on time-out or when the window is gone.
QAP_EXPORT bool WaitForIdle(HWND window, std::chrono::milliseconds timeout);

// ---- what is shown ----

struct WindowInfo {
  HWND window = nullptr;
  HWND parent = nullptr;
  HWND owner = nullptr;
  std::string className;
  std::string text;
  int id = 0;
  DWORD style = 0;
  DWORD exStyle = 0;
  RECT rect{};  // relative to the parent (screen for top-level windows)
  bool enabled = false;
  bool visible = false;
  bool focused = false;
  std::string fontFace;
  int fontPointSize = 0;
};

QAP_EXPORT bool GetWindowInfo(HWND window, WindowInfo* info);
// This process's top-level windows, topmost first, and a window's children.
QAP_EXPORT std::vector<HWND> TopLevelWindows();
QAP_EXPORT std::vector<HWND> Children(HWND window);

QAP_EXPORT int ImageCount(HIMAGELIST list);
// An image of an image list (with its mask colour made transparent).
QAP_EXPORT bool GetImage(HIMAGELIST list, int index, Pixels* image);
QAP_EXPORT bool GetIconImage(HICON icon, Pixels* image);
QAP_EXPORT bool GetBitmapImage(HBITMAP bitmap, Pixels* image);

// What a control keeps, by kind. Read them on the window's thread through
// Model<T>(window); each is implemented by the control's state.
class ButtonModel {
 public:
  virtual ~ButtonModel() = default;
  enum class Kind { kPush, kDefaultPush, kCheckBox, kRadio, kGroupBox, kOwnerDraw };
  virtual Kind ButtonKind() const = 0;
  virtual int CheckState() const = 0;  // 0, 1, 2 (indeterminate)
};

class StaticModel {
 public:
  virtual ~StaticModel() = default;
  virtual HICON Icon() const = 0;      // SS_ICON
  virtual HBITMAP Bitmap() const = 0;  // SS_BITMAP
};

class EditModel {
 public:
  virtual ~EditModel() = default;
  virtual int SelectionStart() const = 0;
  virtual int SelectionEnd() const = 0;
  virtual int Limit() const = 0;
  virtual bool ReadOnly() const = 0;
};

class ListModel {  // list boxes and the list of a combo box
 public:
  virtual ~ListModel() = default;
  virtual int Count() const = 0;
  virtual std::string Text(int index) const = 0;
  virtual bool Selected(int index) const = 0;
  virtual int Current() const = 0;  // the caret (list box) or the selection (combo box)
  virtual int ItemHeight() const = 0;
};

// What an owner-drawn row looks like, as its owner drew it.
struct DrawnItem {
  std::string text;
  COLORREF textColor = 0;
  COLORREF backColor = 0xFFFFFF;
  bool filled = false;
};
class OwnerDrawModel {
 public:
  virtual ~OwnerDrawModel() = default;
  virtual bool OwnerDrawn() const = 0;
  // Asks the owner to draw row index (WM_DRAWITEM with a recording device
  // context) and reports what it drew.
  virtual DrawnItem Draw(int index) = 0;
};

class ComboModel {
 public:
  virtual ~ComboModel() = default;
  virtual bool DropDownList() const = 0;  // CBS_DROPDOWNLIST: no edit field
};

struct ListColumn {
  std::string text;
  int width = 0;
  int format = 0;  // LVCFMT_*
};
struct CellColors {
  COLORREF text = 0xFF000000;  // CLR_DEFAULT: the look's own
  COLORREF background = 0xFF000000;
};
class ListViewModel {
 public:
  virtual ~ListViewModel() = default;
  virtual int ColumnCount() const = 0;
  virtual ListColumn Column(int index) const = 0;
  virtual int RowCount() const = 0;
  virtual std::string CellText(int row, int column) const = 0;
  virtual int CellImage(int row, int column) const = 0;  // -1 none
  virtual UINT RowState(int row) const = 0;               // LVIS_*
  virtual DWORD ExtendedStyle() const = 0;
  virtual HIMAGELIST ImageList(int which) const = 0;       // LVSIL_*
  // Asks the owner through NM_CUSTOMDRAW, as painting the cell would.
  virtual CellColors Colors(int row, int column) = 0;
  virtual HWND LabelEditor() const = 0;  // the edit box while a label is edited
  virtual int SortColumnHint() const = 0;  // -1: the list does not know
};

struct TreeItemInfo {
  HTREEITEM item = nullptr;
  std::string text;
  int image = -1;
  int selectedImage = -1;
  bool hasChildren = false;  // shows an expand button
  bool expanded = false;
  bool selected = false;
};
class TreeViewModel {
 public:
  virtual ~TreeViewModel() = default;
  // parent null: the roots.
  virtual std::vector<HTREEITEM> ChildItems(HTREEITEM parent) const = 0;
  virtual bool Item(HTREEITEM item, TreeItemInfo* info) const = 0;
  virtual HIMAGELIST ImageList() const = 0;
  virtual HTREEITEM Selection() const = 0;
};

class ProgressModel {
 public:
  virtual ~ProgressModel() = default;
  virtual int Minimum() const = 0;
  virtual int Maximum() const = 0;
  virtual int Position() const = 0;
};

struct StatusPart {
  int right = -1;  // right edge, -1 to the window's edge
  std::string text;
};
class StatusBarModel {
 public:
  virtual ~StatusBarModel() = default;
  virtual std::vector<StatusPart> Parts() const = 0;
};

// Embedded controls (created by class identifier) say what they show.
class HostedControlModel {
 public:
  virtual ~HostedControlModel() = default;
  virtual std::string ClassId() const = 0;
  // Properties the control was given and what it reports of itself
  // ("Caption", "Enabled", "SkinFile", ...).
  virtual std::vector<std::pair<std::string, std::string>> Properties() const = 0;
};

// A page of text laid out by its window (the web browser control's) in
// blocks, each a heading or paragraph of plain text at its place in the
// window's client area; what the page embeds are child windows.
struct PageBlock {
  RECT rect{};
  std::string text;  // lines separated by '\n'
  std::string fontFace;
  int fontPointSize = 0;
  bool bold = false;
};
class PageModel {
 public:
  virtual ~PageModel() = default;
  virtual std::vector<PageBlock> Blocks() const = 0;
};

QAP_EXPORT void* ControlModel(HWND window, const std::type_info& type);
template <typename T>
T* Model(HWND window) {
  return static_cast<T*>(ControlModel(window, typeid(T)));
}

// Menus: items of a menu (a window's bar, or a pop-up shown now).
struct MenuItemInfo {
  UINT id = 0;  // 0 for separators and pop-ups
  std::string text;
  bool separator = false;
  bool popup = false;
  bool grayed = false;
  bool checked = false;
  bool isDefault = false;
  HMENU subMenu = nullptr;
};
QAP_EXPORT std::vector<MenuItemInfo> MenuItems(HMENU menu);
QAP_EXPORT HMENU WindowMenu(HWND window);
// The pop-up menu being tracked on window's thread now (its window has the
// class "#32768" and names the menu), or null.
QAP_EXPORT HMENU TrackedMenu(HWND menuWindow);

// Whether window is a message box (MessageBoxA's dialog).
QAP_EXPORT bool IsMessageBox(HWND window);

// The windows of the session's other processes, as each lists its own on
// the session bus: top-level windows before their children. Empty without
// a session bus.
struct ListedWindow {
  HWND window = nullptr;
  HWND parent = nullptr;  // null for a top-level window
  std::string className;
  std::string title;
};
QAP_EXPORT std::vector<ListedWindow> SessionWindows();
// Has the process of a window of the session write a picture of it (PNG).
QAP_EXPORT bool PictureOfSessionWindow(HWND window, const std::string& file, std::string* error);

// A text picture of a window and everything in it, one line per window and
// per row, for snapshots, tests and bug reports.
QAP_EXPORT std::string Describe(HWND window);

// ---- what a person does ----

// Keys held during a click or drop: MK_CONTROL, MK_SHIFT.
QAP_EXPORT void Click(HWND window);
QAP_EXPORT void DoubleClick(HWND window);
QAP_EXPORT void SetCheck(HWND button, bool checked);
// Rows of list views and list boxes.
QAP_EXPORT void ClickRow(HWND list, int row, DWORD keys = 0);
QAP_EXPORT void DoubleClickRow(HWND list, int row);
// row -1: the list's background.
QAP_EXPORT void RightClickRow(HWND list, int row);
QAP_EXPORT void ClickColumn(HWND list, int column);
QAP_EXPORT void SelectEntry(HWND combo, int index);
QAP_EXPORT void ClickTreeItem(HWND tree, HTREEITEM item);
QAP_EXPORT void RightClickTreeItem(HWND tree, HTREEITEM item);
QAP_EXPORT void ExpandTreeItem(HWND tree, HTREEITEM item, bool expand);
// Focuses window and types text into it, a character at a time.
QAP_EXPORT void TypeText(HWND window, const std::string& text);
// Focuses an edit box and selects all of its text, as a person would
// before typing over it.
QAP_EXPORT void SelectAllText(HWND edit);
// Presses and releases a key (with the modifiers held) on the focused
// window of window's thread, through hooks and accelerators as a real key.
QAP_EXPORT void PressKey(HWND window, int virtualKey, bool control = false, bool shift = false,
                         bool alt = false);
QAP_EXPORT void ChooseMenuItem(HWND window, UINT id);
// Closes a window as its title bar's close button would.
QAP_EXPORT void CloseWindow(HWND window);
// Drags the rows (list view) or the item (tree view) of from and drops
// them on the row or item of to (-1 or null: the window itself).
QAP_EXPORT void DragRows(HWND from, const std::vector<int>& rows, HWND to, int toRow,
                         DWORD keys = 0, HTREEITEM toItem = nullptr);
QAP_EXPORT void DragTreeItem(HWND from, HTREEITEM item, HWND to, int toRow,
                             HTREEITEM toItem, DWORD keys = 0);
// Files dropped from outside the suite (a file manager).
QAP_EXPORT void DropFiles(HWND to, const std::vector<std::string>& files, int toRow = -1,
                          HTREEITEM toItem = nullptr, DWORD keys = 0);

}  // namespace ui::driver
