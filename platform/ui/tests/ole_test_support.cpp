// Test support for drag and drop.
#include "platform/ui/tests/ole_test_support.h"

#include "platform/ui/core/control_input.h"
#include "platform/ui/core/window.h"
#include "platform/ui/driver.h"
#include "platform/ui/user32.h"

namespace ui::testing {

namespace {

std::string Where(DWORD keys, POINTL point) {
  return "keys=" + std::to_string(keys) + " at=" + std::to_string(point.x) + "," +
         std::to_string(point.y);
}

class RowList final : public core::ControlState, public core::ListInput {
 public:
  explicit RowList(HWND window) : m_window(window) {}
  void* QueryModel(const std::type_info& type) override {
    return core::QueryModels<RowList, core::ListInput>(this, type);
  }
  void ClickRow(int, DWORD) override {}
  void DoubleClickRow(int) override {}
  void RightClickRow(int) override {}
  void ClickColumn(int) override {}
  POINT RowPoint(int row) const override { return POINT{10, 8 + 16 * row}; }
  void BeginDrag(const std::vector<int>& rows) override {
    dragged = rows;
    NMHDR header{m_window, static_cast<UINT_PTR>(GetDlgCtrlID(m_window)), kBeginDrag};
    SendMessageA(GetParent(m_window), WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
  }

  std::vector<int> dragged;

 private:
  HWND m_window;
};

LRESULT RowListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) core::SetControlState(window, std::make_unique<RowList>(window));
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

ComPtr<IDropTarget> RecordingDropTarget::Make(DragLog* log, Chooser choose,
                                              std::function<void(IDataObject*)> onDrop) {
  ComPtr<IDropTarget> target;
  NewInstance(IID_IDropTarget, target.OutVoid(), log, std::move(choose), std::move(onDrop));
  return target;
}

void RecordingDropTarget::Answer(const char* what, DWORD keys, POINTL point, DWORD* effect) {
  std::string line =
      std::string(what) + " " + Where(keys, point) + " allowed=" + std::to_string(*effect);
  *effect = m_choose(keys);
  m_log->push_back(line + " -> " + std::to_string(*effect));
}

HRESULT RecordingDropTarget::DragEnter(IDataObject*, DWORD keys, POINTL point, DWORD* effect) {
  Answer("enter", keys, point, effect);
  return S_OK;
}

HRESULT RecordingDropTarget::DragOver(DWORD keys, POINTL point, DWORD* effect) {
  Answer("over", keys, point, effect);
  return S_OK;
}

HRESULT RecordingDropTarget::DragLeave() {
  m_log->push_back("leave");
  return S_OK;
}

HRESULT RecordingDropTarget::Drop(IDataObject* data, DWORD keys, POINTL point, DWORD* effect) {
  if (m_onDrop) m_onDrop(data);
  Answer("drop", keys, point, effect);
  return S_OK;
}

ComPtr<IDropSource> RecordingDropSource::Make(DragLog* log) {
  ComPtr<IDropSource> source;
  NewInstance(IID_IDropSource, source.OutVoid(), log);
  return source;
}

HRESULT RecordingDropSource::QueryContinueDrag(BOOL escapePressed, DWORD keys) {
  HRESULT answer = escapePressed ? DRAGDROP_S_CANCEL : (keys & MK_LBUTTON) ? S_OK : DRAGDROP_S_DROP;
  const char* said = answer == S_OK ? "continue" : answer == DRAGDROP_S_DROP ? "drop" : "cancel";
  m_log->push_back("query keys=" + std::to_string(keys) + " esc=" + (escapePressed ? "1" : "0") +
                   " -> " + said);
  return answer;
}

HRESULT RecordingDropSource::GiveFeedback(DWORD effect) {
  m_log->push_back("feedback " + std::to_string(effect));
  return DRAGDROP_S_USEDEFAULTCURSORS;
}

HWND MakeRowList(HWND parent, int id, int x, int y, int width, int height) {
  static const bool registered = [] {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = RowListProc;
    windowClass.lpszClassName = "QapTestRowList";
    return RegisterClassA(&windowClass) != 0;
  }();
  (void)registered;
  return CreateWindowExA(0, "QapTestRowList", "", WS_CHILD | WS_VISIBLE, x, y, width, height,
                         parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), nullptr,
                         nullptr);
}

std::vector<int> DraggedRows(HWND list) {
  auto* input = static_cast<core::ListInput*>(driver::ControlModel(list, typeid(core::ListInput)));
  auto* state = dynamic_cast<RowList*>(input);
  return state != nullptr ? state->dragged : std::vector<int>{};
}

std::string MiddleOf(HWND window) {
  RECT rect{};
  GetClientRect(window, &rect);
  POINT middle{rect.right / 2, rect.bottom / 2};
  ClientToScreen(window, &middle);
  return "at=" + std::to_string(middle.x) + "," + std::to_string(middle.y);
}

}  // namespace ui::testing
