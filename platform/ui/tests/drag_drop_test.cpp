// Drag and drop between windows: rows dragged by the driver, the calls to
// source and target in Windows' order, the effect chosen by the keys and
// cut to what the source allows, a target that refuses, the front-end's
// runner, and the registrations.
#include <gtest/gtest.h>

#include "platform/ui/tests/ole_test_support.h"
#include "platform/ui/tests/ui_test_support.h"

namespace {

using ui::testing::DragLog;
using ui::testing::MiddleOf;
using ui::testing::RecordingDropSource;
using ui::testing::RecordingDropTarget;
using ui::testing::RecordingParent;

constexpr DWORD kCopyOrMove = DROPEFFECT_COPY | DROPEFFECT_MOVE;

// Copy when Ctrl is held, else move.
DWORD ByKeys(DWORD keys) { return (keys & MK_CONTROL) ? DROPEFFECT_COPY : DROPEFFECT_MOVE; }

// A list in one top-level window whose parent starts a drag of its private
// format when the list asks, and a second top-level window with a child,
// the target registered on the second window.
class DragDrop : public ::testing::Test {
 protected:
  void SetUp() override {
    m_format = static_cast<CLIPFORMAT>(RegisterClipboardFormatA("Cobrell"));
    m_list = ui::testing::MakeRowList(m_source.Window(), 7, 0, 0, 200, 100);
    MoveWindow(m_target.Window(), 700, 0, 300, 300, TRUE);
    m_child = ui::testing::MakeRowList(m_target.Window(), 8, 0, 0, 200, 100);
    m_source.onNotify = [this](NMHDR* header) -> LRESULT {
      if (header->code != ui::testing::kBeginDrag) return 0;
      ComPtr<IDataObject> data;
      ui::ole::CreateDataObject({ui::ole::DataBlock{m_format, std::vector<BYTE>(550, 1)}},
                                data.Out());
      m_result =
          DoDragDrop(data.Get(), RecordingDropSource::Make(&m_log).Get(), m_allowed, &m_effect);
      return 0;
    };
  }
  void TearDown() override { RevokeDragDrop(m_target.Window()); }

  void RegisterTarget(RecordingDropTarget::Chooser choose) {
    auto onDrop = [this](IDataObject* data) {
      FORMATETC wanted = ui::ole::HGlobalFormat(m_format);
      STGMEDIUM medium{};
      if (data->GetData(&wanted, &medium) == S_OK) {
        m_log.push_back("dropped " + std::to_string(GlobalSize(medium.hGlobal)) + " bytes");
        ReleaseStgMedium(&medium);
      }
    };
    ASSERT_EQ(RegisterDragDrop(m_target.Window(),
                               RecordingDropTarget::Make(&m_log, choose, onDrop).Get()),
              S_OK);
  }

  void Drag(DWORD keys) {
    m_log.clear();
    ui::driver::DragRows(m_list, {1, 2}, m_child, -1, keys);
    ui::testing::Pump();
  }

  RecordingParent m_source;
  RecordingParent m_target;
  HWND m_list = nullptr;
  HWND m_child = nullptr;
  CLIPFORMAT m_format = 0;
  DWORD m_allowed = kCopyOrMove;
  HRESULT m_result = E_FAIL;
  DWORD m_effect = 0xFF;
  DragLog m_log;
};

TEST_F(DragDrop, DraggedRowsAreMovedOrWithCtrlCopiedInWindowsOrderOfCalls) {
  RegisterTarget(ByKeys);
  const std::string at = MiddleOf(m_child);

  Drag(0);
  EXPECT_EQ(ui::testing::DraggedRows(m_list), (std::vector<int>{1, 2}));
  EXPECT_EQ(m_result, DRAGDROP_S_DROP);
  EXPECT_EQ(m_effect, DROPEFFECT_MOVE);
  EXPECT_EQ(m_log,
            (DragLog{"query keys=1 esc=0 -> continue", "enter keys=1 " + at + " allowed=3 -> 2",
                     "feedback 2", "over keys=1 " + at + " allowed=3 -> 2", "feedback 2",
                     "query keys=0 esc=0 -> drop", "dropped 550 bytes",
                     "drop keys=0 " + at + " allowed=3 -> 2"}));

  Drag(MK_CONTROL);
  EXPECT_EQ(m_result, DRAGDROP_S_DROP);
  EXPECT_EQ(m_effect, DROPEFFECT_COPY);
  EXPECT_EQ(m_log.front(), "query keys=9 esc=0 -> continue");
  EXPECT_EQ(m_log.back(), "drop keys=8 " + at + " allowed=3 -> 1");
}

TEST_F(DragDrop, ARefusingTargetOrAnEffectTheSourceDoesNotAllowEndsInDragLeave) {
  RegisterTarget([](DWORD) { return DROPEFFECT_NONE; });
  Drag(0);
  EXPECT_EQ(m_result, DRAGDROP_S_DROP);
  EXPECT_EQ(m_effect, DROPEFFECT_NONE);
  EXPECT_EQ(m_log.size(), 7u);
  EXPECT_EQ(m_log[2], "feedback 0");
  EXPECT_EQ(m_log.back(), "leave");

  // The target would move, but the source allows only a copy.
  RevokeDragDrop(m_target.Window());
  RegisterTarget(ByKeys);
  m_allowed = DROPEFFECT_COPY;
  Drag(0);
  EXPECT_EQ(m_effect, DROPEFFECT_NONE);
  EXPECT_EQ(m_log[1], "enter keys=1 " + MiddleOf(m_child) + " allowed=1 -> 2");
  EXPECT_EQ(m_log[2], "feedback 0");
  EXPECT_EQ(m_log.back(), "leave");
}

// Moves the pointer over the list's window, then over the target's child,
// then presses Esc there.
class PointerRunner final : public ui::ole::DragRunner {
 public:
  std::vector<ui::ole::DragPointer> steps;
  void Run(const std::function<bool(const ui::ole::DragPointer&)>& step) override {
    for (const ui::ole::DragPointer& pointer : steps) {
      if (!step(pointer)) return;
    }
  }
};

TEST_F(DragDrop, TheFrontEndsRunnerMovesThePointerAndWithoutAMouseADragIsCancelled) {
  RegisterTarget(ByKeys);
  DragLog sourceLog;
  ASSERT_EQ(
      RegisterDragDrop(m_source.Window(), RecordingDropTarget::Make(&sourceLog, ByKeys).Get()),
      S_OK);
  ComPtr<IDataObject> data;
  ASSERT_EQ(ui::ole::CreateDataObject({ui::ole::DataBlock{m_format, {1, 2, 3}}}, data.Out()), S_OK);
  ComPtr<IDropSource> source = RecordingDropSource::Make(&m_log);
  DWORD effect = 0xFF;

  EXPECT_EQ(DoDragDrop(data.Get(), source.Get(), kCopyOrMove, &effect), DRAGDROP_S_CANCEL);
  EXPECT_EQ(effect, DROPEFFECT_NONE);
  EXPECT_TRUE(m_log.empty()) << "nobody could move the mouse";

  PointerRunner runner;
  runner.steps = {{POINT{300, 300}, MK_LBUTTON, false, nullptr},
                  {POINT{800, 50}, MK_LBUTTON, false, nullptr},
                  {POINT{800, 50}, MK_LBUTTON, true, nullptr}};
  ui::ole::SetDragRunner(&runner);
  EXPECT_EQ(DoDragDrop(data.Get(), source.Get(), kCopyOrMove, &effect), DRAGDROP_S_CANCEL);
  ui::ole::SetDragRunner(nullptr);
  EXPECT_EQ(effect, DROPEFFECT_NONE);
  EXPECT_EQ(sourceLog, (DragLog{"enter keys=1 at=300,300 allowed=3 -> 2",
                                "over keys=1 at=300,300 allowed=3 -> 2", "leave"}));
  EXPECT_EQ(m_log,
            (DragLog{"query keys=1 esc=0 -> continue", "feedback 2", "feedback 2",
                     "query keys=1 esc=0 -> continue", "enter keys=1 at=800,50 allowed=3 -> 2",
                     "feedback 2", "over keys=1 at=800,50 allowed=3 -> 2", "feedback 2",
                     "query keys=1 esc=1 -> cancel", "leave"}));
  EXPECT_EQ(RevokeDragDrop(m_source.Window()), S_OK);
  EXPECT_EQ(sourceLog.back(), "target gone");
}

TEST_F(DragDrop, RegistrationsRefuseWhatWindowsRefusesAndEndWithTheirWindows) {
  ComPtr<IDropTarget> target = RecordingDropTarget::Make(&m_log, ByKeys);
  HWND window = ui::testing::MakeRowList(m_target.Window(), 9, 0, 0, 10, 10);
  EXPECT_EQ(RegisterDragDrop(window, nullptr), E_INVALIDARG);
  EXPECT_EQ(RevokeDragDrop(window), DRAGDROP_E_NOTREGISTERED);
  ASSERT_EQ(RegisterDragDrop(window, target.Get()), S_OK);
  EXPECT_EQ(RegisterDragDrop(window, target.Get()), DRAGDROP_E_ALREADYREGISTERED);
  target.Reset();
  EXPECT_TRUE(m_log.empty()) << "the registration holds the target";

  DestroyWindow(window);
  EXPECT_EQ(RegisterDragDrop(window, RecordingDropTarget::Make(&m_log, ByKeys).Get()),
            DRAGDROP_E_INVALIDHWND);
  EXPECT_EQ(RevokeDragDrop(window), DRAGDROP_E_INVALIDHWND);
  EXPECT_EQ(m_log, (DragLog{"target gone", "target gone"}))
      << "the refused target and the one of the window that went are let go";
}

}  // namespace
