// The views' dual interfaces: each member at its slot after IDispatch's,
// and Cobrell.tlb naming the same members in the same order with their
// dispatch identifiers, as late-bound callers find them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "platform/automation/type_library.h"
#include "platform/com/com_ptr.h"
#include "platform/com/connection_point.h"
#include "platform/com/dispatch_sink.h"
#include "platform/shell/shell_view.h"
#include "platform/ui/driver.h"
#include "platform/ui/ole/control_host.h"
#include "platform/ui/user32.h"
#include "platform/testing/vtable_slot.h"
#include "shellfolder/cobrell.h"
#include "shellfolder/tests/music_folder_fixture.h"
#include "shellfolder/view_interfaces.h"

namespace {

using qap::testing::SlotOf;

struct Member {
  const char* name;
  DISPID dispId;
  std::ptrdiff_t slot;
};

// IUnknown's three and IDispatch's four come first.
constexpr std::ptrdiff_t kFirstSlot = 7;

void ExpectDescribed(REFIID iid, const std::vector<Member>& members) {
  qap::automation::TypeLibraryPtr library;
  ASSERT_EQ(qap::automation::LoadTypeLibrary(std::string(std::getenv("QAP_BIN_DIR")) + "/Cobrell.tlb",
                                             &library),
            S_OK);
  const qap::automation::TypeInterface* described = library->Find(iid);
  ASSERT_NE(described, nullptr);
  ASSERT_EQ(described->members.size(), members.size());
  for (size_t i = 0; i < members.size(); ++i) {
    SCOPED_TRACE(members[i].name);
    EXPECT_EQ(members[i].slot, kFirstSlot + static_cast<std::ptrdiff_t>(i));
    EXPECT_EQ(described->members[i].name, members[i].name);
    EXPECT_EQ(described->members[i].dispId, members[i].dispId);
  }
}

TEST(ViewInterfaces, TheListControlsMembersKeepTheirSlotsAndDispatchIds) {
  using I = IMp3DbClassicView;
  ExpectDescribed(IID_IMp3DbClassicView,
                  {{"CreateView", 1, SlotOf(&I::CreateView)},
                   {"Refresh", 2, SlotOf(&I::Refresh)},
                   {"DestroyView", 3, SlotOf(&I::DestroyView)},
                   {"GetCurrentInfo", 4, SlotOf(&I::GetCurrentInfo)},
                   {"GetWindow", 5, SlotOf(&I::GetWindow)},
                   {"SetCurrentInfo", 6, SlotOf(&I::SetCurrentInfo)},
                   {"GetCurrentPath", 7, SlotOf(&I::GetCurrentPath)},
                   {"GetSelectedName", 8, SlotOf(&I::GetSelectedName)},
                   {"GetSelectedGUID", 9, SlotOf(&I::GetSelectedGUID)},
                   {"GetSelectedClass", 10, SlotOf(&I::GetSelectedClass)},
                   {"InitMenuPopup", 11, SlotOf(&I::InitMenuPopup)},
                   {"OnEditPaste", 12, SlotOf(&I::OnEditPaste)},
                   {"OnEditCopyCut", 13, SlotOf(&I::OnEditCopyCut)},
                   {"OnDelete", 14, SlotOf(&I::OnDelete)},
                   {"OnSelectAll", 15, SlotOf(&I::OnSelectAll)},
                   {"OnInvertSelection", 16, SlotOf(&I::OnInvertSelection)},
                   {"OnEnter", 17, SlotOf(&I::OnEnter)},
                   {"SetFocus", 18, SlotOf(&I::SetFocus)},
                   {"OnEditLabel", 20, SlotOf(&I::OnEditLabel)},
                   {"SaveViewState", 21, SlotOf(&I::SaveViewState)},
                   {"OnCopyData", 22, SlotOf(&I::OnCopyData)}});
}

TEST(ViewInterfaces, TheWebViewsAndTheHostsMembersKeepTheirSlotsAndDispatchIds) {
  using W = IMp3DbWebView;
  ExpectDescribed(IID_IMp3DbWebView,
                  {{"CreateView", 1, SlotOf(&W::CreateView)},
                   {"Refresh", 2, SlotOf(&W::Refresh)},
                   {"DestroyView", 3, SlotOf(&W::DestroyView)},
                   {"GetCurrentInfo", 4, SlotOf(&W::GetCurrentInfo)},
                   {"GetWindow", 5, SlotOf(&W::GetWindow)},
                   {"SetCurrentInfo", 6, SlotOf(&W::SetCurrentInfo)},
                   {"OnEnter", 7, SlotOf(&W::OnEnter)},
                   {"OnInvertSelection", 8, SlotOf(&W::OnInvertSelection)},
                   {"OnSelectAll", 9, SlotOf(&W::OnSelectAll)},
                   {"OnEditCopyCut", 10, SlotOf(&W::OnEditCopyCut)},
                   {"OnEditPaste", 11, SlotOf(&W::OnEditPaste)},
                   {"OnDelete", 12, SlotOf(&W::OnDelete)},
                   {"SetFocus", 13, SlotOf(&W::SetFocus)},
                   {"OnEditLabel", 15, SlotOf(&W::OnEditLabel)},
                   {"SaveViewState", 16, SlotOf(&W::SaveViewState)},
                   {"InitMenuPopup", 17, SlotOf(&W::InitMenuPopup)},
                   {"OnCopyData", 18, SlotOf(&W::OnCopyData)}});
  using H = IMp3DbDefView;
  ExpectDescribed(IID_IMp3DbDefView,
                  {{"CreateView", 1, SlotOf(&H::CreateView)},
                   {"Refresh", 2, SlotOf(&H::Refresh)},
                   {"DestroyView", 3, SlotOf(&H::DestroyView)},
                   {"GetCurrentInfo", 4, SlotOf(&H::GetCurrentInfo)},
                   {"GetWindow", 5, SlotOf(&H::GetWindow)},
                   {"GetCurrentView", 6, SlotOf(&H::GetCurrentView)},
                   {"OnActivate", 7, SlotOf(&H::OnActivate)},
                   {"OnDeactivate", 8, SlotOf(&H::OnDeactivate)},
                   {"SetCurrentInfo", 9, SlotOf(&H::SetCurrentInfo)},
                   {"OnTranslateAccelerator", 10, SlotOf(&H::OnTranslateAccelerator)},
                   {"SaveViewState", 11, SlotOf(&H::SaveViewState)}});
}

TEST(ViewInterfaces, TheListControlAnswersLateBoundCallsByTheLibrarysNames) {
  ComPtr<IClassFactory> factory;
  ASSERT_EQ(DllGetClassObject(CLSID_Mp3DbClassicView, IID_IClassFactory, factory.OutVoid()), S_OK);
  ComPtr<IDispatch> control;
  ASSERT_EQ(factory->CreateInstance(nullptr, IID_IDispatch, control.OutVoid()), S_OK);
  char16_t name[] = u"getcurrentpath";
  LPOLESTR names[] = {name};
  DISPID dispId = 0;
  ASSERT_EQ(control->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &dispId), S_OK);
  EXPECT_EQ(dispId, 7);
  // A control that shows no folder yet tells the junction's name.
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  CComVariant path;
  ASSERT_EQ(control->Invoke(dispId, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &none, &path,
                            nullptr, nullptr),
            S_OK);
  ASSERT_EQ(path.vt, VT_BSTR);
  EXPECT_EQ(std::u16string(path.bstrVal), u"QAP Music Jukebox");
  EXPECT_EQ(control->Invoke(8, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &none, &path,
                            nullptr, nullptr),
            E_FAIL);
}

void Pump() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

using ListControl = cobrell::testing::MusicFolderTest;

TEST_F(ListControl, TheFoldersViewNamesTheClassicViewAsDefaultAndTheWebViewAsTheOther) {
  ComPtr<IShellFolder> music = OpenPath({u"Music"});
  ASSERT_TRUE(music);
  ComPtr<IShellView2> view;
  ASSERT_EQ(music->CreateViewObject(nullptr, IID_IShellView2, view.OutVoid()), S_OK);
  SHELLVIEWID id{};
  EXPECT_EQ(view->GetView(&id, 0), S_OK);
  EXPECT_EQ(id, CLSID_Mp3DbClassicView);
  EXPECT_EQ(view->GetView(&id, SV2GV_DEFAULTVIEW), S_OK);
  EXPECT_EQ(id, CLSID_Mp3DbClassicView);
  EXPECT_EQ(view->GetView(&id, 1), S_OK);
  EXPECT_EQ(id, CLSID_Mp3DbWebView);
  EXPECT_EQ(view->GetView(&id, 2), E_INVALIDARG);
  // Which one is shown, only a view with a window can tell.
  EXPECT_EQ(view->GetView(&id, SV2GV_CURRENTVIEW), E_NOTIMPL);
  HWND window = nullptr;
  EXPECT_EQ(view->GetWindow(&window), E_NOTIMPL);
}

// As a page embeds it: the page's host makes the control's window, then
// the control is told what to show, and its events reach the page.
TEST_F(ListControl, EveryChangeOfTheSelectionRaisesOnSelectionChanged) {
  cobrell::testing::AddSong("Bravo", "Zed", "Bravo Album", "Pop");
  cobrell::testing::AddSong("alpha", "Abba", "alpha Album", "Pop");
  ComPtr<IShellFolder> songs = OpenPath({u"Music", u"Songs"});
  ASSERT_TRUE(songs);
  ComPtr<IClassFactory> factory;
  ASSERT_EQ(DllGetClassObject(CLSID_Mp3DbClassicView, IID_IClassFactory, factory.OutVoid()), S_OK);
  ComPtr<IMp3DbClassicView> control;
  ASSERT_EQ(factory->CreateInstance(nullptr, IID_IMp3DbClassicView, control.OutVoid()), S_OK);
  ComPtr<IHostedControl> hosted;
  ASSERT_EQ(control.As(IID_IHostedControl, &hosted), S_OK);

  int changes = 0;
  ComPtr<DispatchSink> sink = ComPtr<DispatchSink>::Attach(
      new DispatchSink(DIID__Mp3DbClassicEvents, [&](DISPID dispId, DISPPARAMS*, UINT*) {
        if (dispId == DISPID_OnSelectionChanged) ++changes;
        return S_OK;
      }));
  ComPtr<IConnectionPointContainer> container;
  ASSERT_EQ(control.As(IID_IConnectionPointContainer, &container), S_OK);
  ComPtr<IConnectionPoint> point;
  ASSERT_EQ(container->FindConnectionPoint(DIID__Mp3DbClassicEvents, point.Out()), S_OK);
  DWORD cookie = 0;
  ASSERT_EQ(point->Advise(static_cast<IDispatch*>(sink.Get()), &cookie), S_OK);

  HWND page = CreateWindowExA(0, "STATIC", "page", WS_POPUP | WS_VISIBLE, 0, 0, 400, 300, nullptr,
                              nullptr, nullptr, nullptr);
  const RECT area{10, 10, 390, 290};
  HWND window = nullptr;
  ASSERT_EQ(hosted->CreateControlWindow(page, &area, &window), S_OK);
  HWND shown = nullptr;
  ASSERT_EQ(control->CreateView(nullptr, nullptr, songs.Get(), page, 0, 0, 0, 0, FVM_DETAILS, 0,
                                &shown),
            S_OK);
  EXPECT_EQ(shown, window) << "the page's window stays the control's";
  HWND list = FindWindowExA(window, nullptr, "SysListView32", nullptr);
  ASSERT_NE(list, nullptr);
  ui::driver::ClickRow(list, 0);
  Pump();
  EXPECT_EQ(changes, 1);
  ui::driver::ClickRow(list, 1);
  Pump();
  EXPECT_EQ(changes, 3) << "one row left the selection, one came";
  ASSERT_EQ(control->OnSelectAll(), S_OK);
  EXPECT_EQ(changes, 4);
  ASSERT_EQ(control->OnInvertSelection(), S_OK);
  EXPECT_EQ(changes, 6);

  point->Unadvise(cookie);
  sink->Detach();
  control->DestroyView();
  DestroyWindow(page);
}

}  // namespace
