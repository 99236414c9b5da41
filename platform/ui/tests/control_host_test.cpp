// Embedded controls hosted from a dialog template: the control comes from
// its registered in-process server, gets the stored properties, answers
// the dialog's method calls and sends its events to the dialog; a class
// that cannot be made fails the dialog.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/com/com_ptr.h"
#include "platform/registry/registry.h"
#include "platform/testing/scratch.h"
#include "platform/ui/ole.h"
#include "platform/ui/tests/hosted_test_control.h"
#include "platform/ui/tests/ui_test_support.h"

namespace {

constexpr int kHostId = 4021;
const std::string kClassId = GuidToString(CLSID_HostedTestControl);

struct Received {
  int id;
  DISPID dispId;
  UINT arguments;
};
std::vector<Received> g_events;

INT_PTR EventsDialogProc(HWND, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == ui::ole::ControlEventMessage()) {
    auto* event = reinterpret_cast<ControlEvent*>(lParam);
    g_events.push_back({static_cast<int>(wParam), event->dispId, event->params->cArgs});
    return TRUE;
  }
  return message == WM_INITDIALOG ? TRUE : FALSE;
}

void SetDefault(const std::string& key, const std::string& value) {
  ASSERT_EQ(RegSetValueA(HKEY_CLASSES_ROOT, key.c_str(), REG_SZ, value.c_str(),
                         static_cast<DWORD>(value.size() + 1)),
            ERROR_SUCCESS);
}

DialogTemplate SkinnedDialog(const std::string& classId) {
  DialogTemplate dialog;
  dialog.caption = "Burning";
  dialog.style = WS_POPUP | WS_CAPTION | WS_VISIBLE;
  dialog.cx = 200;
  dialog.cy = 100;
  DialogItemTemplate button;
  button.className = classId;
  button.id = kHostId;
  button.style = WS_VISIBLE | WS_TABSTOP;
  button.x = 10;
  button.y = 10;
  button.cx = 50;
  button.cy = 14;
  button.properties = {{"Caption", "Burn"}, {"Enabled", "False"}, {"Font", "MS Sans Serif"}};
  dialog.items.push_back(button);
  return dialog;
}

HRESULT Invoke(IDispatch* dispatch, DISPID id, WORD flags, VARIANT* argument, VARIANT* result) {
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS params{argument, flags == DISPATCH_PROPERTYPUT ? &named : nullptr,
                    argument != nullptr ? 1u : 0u, flags == DISPATCH_PROPERTYPUT ? 1u : 0u};
  return dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result, nullptr,
                          nullptr);
}

class ControlHost : public ::testing::Test {
 protected:
  void SetUp() override {
    // A bare file name: the module lies beside the test program.
    SetDefault("CLSID\\" + kClassId + "\\InprocServer32", "libqap_hosted_test_control.so");
    SetDefault("Qap.HostedTestControl\\CLSID", kClassId);
    g_events.clear();
  }

  qap::testing::ScratchHive m_hive;
  ui::testing::RecordingParent m_owner;
};

TEST_F(ControlHost, AControlFromATemplateGetsItsPropertiesAnswersCallsAndSendsItsEvents) {
  DialogTemplate dialog = SkinnedDialog(kClassId);
  HWND window = CreateDialogIndirectParamA(nullptr, &dialog, m_owner.Window(), EventsDialogProc, 0);
  ASSERT_NE(window, nullptr) << GetLastError();
  HWND host = GetDlgItem(window, kHostId);
  char className[16];
  GetClassNameA(host, className, sizeof className);
  EXPECT_STREQ(className, kControlHostClass);

  auto* model = ui::driver::Model<ui::driver::HostedControlModel>(host);
  ASSERT_NE(model, nullptr);
  EXPECT_EQ(model->ClassId(), kClassId);
  using Pairs = std::vector<std::pair<std::string, std::string>>;
  EXPECT_EQ(model->Properties(),
            (Pairs{{"Caption", "Burn"}, {"Enabled", "False"}, {"Font", "MS Sans Serif"}}))
      << "what the control reports, and a property it does not know as it was given";
  std::vector<HWND> inside = ui::driver::Children(host);
  ASSERT_EQ(inside.size(), 1u);
  char caption[16];
  GetWindowTextA(inside[0], caption, sizeof caption);
  EXPECT_STREQ(caption, "Burn");
  EXPECT_FALSE(IsWindowEnabled(inside[0]));

  ComPtr<IUnknown> control;
  ASSERT_EQ(AtlAxGetControl(host, control.Out()), S_OK);
  ComPtr<IDispatch> dispatch;
  ASSERT_EQ(control.As(IID_IDispatch, &dispatch), S_OK);
  // A disabled button sends no click.
  ui::driver::Click(host);
  ui::testing::Pump();
  EXPECT_TRUE(g_events.empty());

  // The dialog hands the container to the button and enables it.
  ComPtr<IDataObject> skin;
  ASSERT_EQ(ui::ole::CreateDataObject({}, skin.Out()), S_OK);
  VARIANT container;
  VariantInit(&container);
  container.vt = VT_UNKNOWN;
  container.punkVal = skin.Get();
  EXPECT_EQ(Invoke(dispatch.Get(), kApplySkinId, DISPATCH_METHOD, &container, nullptr), S_OK);
  CComVariant skinned;
  ASSERT_EQ(Invoke(dispatch.Get(), kSkinnedId, DISPATCH_PROPERTYGET, nullptr, &skinned), S_OK);
  EXPECT_EQ(skinned.boolVal, VARIANT_TRUE);
  VARIANT enabled;
  VariantInit(&enabled);
  enabled.vt = VT_BOOL;
  enabled.boolVal = VARIANT_TRUE;
  ASSERT_EQ(Invoke(dispatch.Get(), kEnabledId, DISPATCH_PROPERTYPUT, &enabled, nullptr), S_OK);
  EXPECT_TRUE(IsWindowEnabled(inside[0]));

  ui::driver::Click(host);
  ui::testing::Pump();
  ASSERT_EQ(g_events.size(), 1u);
  EXPECT_EQ(g_events[0].id, kHostId);
  EXPECT_EQ(g_events[0].dispId, kClickEventId);
  EXPECT_EQ(g_events[0].arguments, 0u);

  dispatch.Reset();
  control.Reset();
  DestroyWindow(window);
  EXPECT_FALSE(IsWindow(inside[0]));
  EXPECT_EQ(AtlAxGetControl(host, control.Out()), E_FAIL);
}

TEST_F(ControlHost, AHostMadeDirectlyNamesItsClassByProgIdAndAClassThatCannotBeMadeFailsTheDialog) {
  HWND direct =
      CreateWindowExA(0, kControlHostClass, "Qap.HostedTestControl", WS_CHILD | WS_VISIBLE, 0, 0,
                      80, 20, m_owner.Window(), nullptr, nullptr, nullptr);
  ASSERT_NE(direct, nullptr);
  ComPtr<IUnknown> control;
  EXPECT_EQ(AtlAxGetControl(direct, control.Out()), S_OK);
  MoveWindow(direct, 0, 0, 120, 30, TRUE);
  RECT moved{};
  GetWindowRect(ui::driver::Children(direct).at(0), &moved);
  EXPECT_EQ(moved.right - moved.left, 120) << "the control's window follows its host";
  control.Reset();
  DestroyWindow(direct);

  const std::string unregistered = "{00000000-1111-2222-3333-444444444444}";
  DialogTemplate dialog = SkinnedDialog(unregistered);
  EXPECT_EQ(CreateDialogIndirectParamA(nullptr, &dialog, m_owner.Window(), EventsDialogProc, 0),
            nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(REGDB_E_CLASSNOTREG));

  SetDefault("CLSID\\" + unregistered + "\\InprocServer32", "libqap_no_such_module.so");
  EXPECT_EQ(CreateDialogIndirectParamA(nullptr, &dialog, m_owner.Window(), EventsDialogProc, 0),
            nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(CO_E_DLLNOTFOUND));

  dialog = SkinnedDialog("{not a class id}");
  EXPECT_EQ(CreateDialogIndirectParamA(nullptr, &dialog, m_owner.Window(), EventsDialogProc, 0),
            nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(CO_E_CLASSSTRING));
  for (HWND top : ui::driver::TopLevelWindows()) {
    char title[16] = "";
    GetWindowTextA(top, title, sizeof title);
    EXPECT_STRNE(title, "Burning") << "nothing of the failed dialogs stays";
  }
}

}  // namespace
