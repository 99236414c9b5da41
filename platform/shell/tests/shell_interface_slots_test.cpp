// The shell interfaces keep every member at its slot: folders, enumerators,
// icon extractors, allocators, views, browsers and streams from other
// modules are called by index.
#include <gtest/gtest.h>

#include "platform/shell/extract_icon.h"
#include "platform/shell/shell_folder.h"
#include "platform/shell/shell_malloc.h"
#include "platform/shell/shell_view.h"
#include "platform/shell/web_browser_interfaces.h"
#include "platform/testing/vtable_slot.h"

namespace {

using qap::testing::SlotOf;

TEST(ShellInterfaceSlots, ShellFolderMembersFollowIUnknownsThree) {
  EXPECT_EQ(SlotOf(&IShellFolder::QueryInterface), 0);
  EXPECT_EQ(SlotOf(&IShellFolder::Release), 2);
  EXPECT_EQ(SlotOf(&IShellFolder::ParseDisplayName), 3);
  EXPECT_EQ(SlotOf(&IShellFolder::EnumObjects), 4);
  EXPECT_EQ(SlotOf(&IShellFolder::BindToObject), 5);
  EXPECT_EQ(SlotOf(&IShellFolder::BindToStorage), 6);
  EXPECT_EQ(SlotOf(&IShellFolder::CompareIDs), 7);
  EXPECT_EQ(SlotOf(&IShellFolder::CreateViewObject), 8);
  EXPECT_EQ(SlotOf(&IShellFolder::GetAttributesOf), 9);
  EXPECT_EQ(SlotOf(&IShellFolder::GetUIObjectOf), 10);
  EXPECT_EQ(SlotOf(&IShellFolder::GetDisplayNameOf), 11);
  EXPECT_EQ(SlotOf(&IShellFolder::SetNameOf), 12);
}

TEST(ShellInterfaceSlots, EnumeratorPersistenceIconAndAllocatorMembersSitAtTheirSlots) {
  EXPECT_EQ(SlotOf(&IEnumIDList::Next), 3);
  EXPECT_EQ(SlotOf(&IEnumIDList::Skip), 4);
  EXPECT_EQ(SlotOf(&IEnumIDList::Reset), 5);
  EXPECT_EQ(SlotOf(&IEnumIDList::Clone), 6);

  EXPECT_EQ(SlotOf(&IPersistFolder2::GetClassID), 3);
  EXPECT_EQ(SlotOf(&IPersistFolder2::Initialize), 4);
  EXPECT_EQ(SlotOf(&IPersistFolder2::GetCurFolder), 5);

  EXPECT_EQ(SlotOf(&IExtractIconA::GetIconLocation), 3);
  EXPECT_EQ(SlotOf(&IExtractIconA::Extract), 4);
  EXPECT_EQ(SlotOf(&IExtractIconW::GetIconLocation), 3);
  EXPECT_EQ(SlotOf(&IExtractIconW::Extract), 4);

  EXPECT_EQ(SlotOf(&IMalloc::Alloc), 3);
  EXPECT_EQ(SlotOf(&IMalloc::Realloc), 4);
  EXPECT_EQ(SlotOf(&IMalloc::Free), 5);
  EXPECT_EQ(SlotOf(&IMalloc::GetSize), 6);
  EXPECT_EQ(SlotOf(&IMalloc::DidAlloc), 7);
  EXPECT_EQ(SlotOf(&IMalloc::HeapMinimize), 8);
}

TEST(ShellInterfaceSlots, ViewMembersFollowIOleWindowsTwo) {
  EXPECT_EQ(SlotOf(&IShellView2::GetWindow), 3);
  EXPECT_EQ(SlotOf(&IShellView2::ContextSensitiveHelp), 4);
  EXPECT_EQ(SlotOf(&IShellView2::TranslateAccelerator), 5);
  EXPECT_EQ(SlotOf(&IShellView2::EnableModeless), 6);
  EXPECT_EQ(SlotOf(&IShellView2::UIActivate), 7);
  EXPECT_EQ(SlotOf(&IShellView2::Refresh), 8);
  EXPECT_EQ(SlotOf(&IShellView2::CreateViewWindow), 9);
  EXPECT_EQ(SlotOf(&IShellView2::DestroyViewWindow), 10);
  EXPECT_EQ(SlotOf(&IShellView2::GetCurrentInfo), 11);
  EXPECT_EQ(SlotOf(&IShellView2::AddPropertySheetPages), 12);
  EXPECT_EQ(SlotOf(&IShellView2::SaveViewState), 13);
  EXPECT_EQ(SlotOf(&IShellView2::SelectItem), 14);
  EXPECT_EQ(SlotOf(&IShellView2::GetItemObject), 15);
  EXPECT_EQ(SlotOf(&IShellView2::GetView), 16);
  EXPECT_EQ(SlotOf(&IShellView2::CreateViewWindow2), 17);
  EXPECT_EQ(SlotOf(&IShellView2::HandleRename), 18);
  EXPECT_EQ(SlotOf(&IShellView2::SelectAndPositionItem), 19);
}

TEST(ShellInterfaceSlots, BrowserAndStreamMembersSitAtTheirSlots) {
  EXPECT_EQ(SlotOf(&IShellBrowser::GetWindow), 3);
  EXPECT_EQ(SlotOf(&IShellBrowser::ContextSensitiveHelp), 4);
  EXPECT_EQ(SlotOf(&IShellBrowser::InsertMenusSB), 5);
  EXPECT_EQ(SlotOf(&IShellBrowser::SetMenuSB), 6);
  EXPECT_EQ(SlotOf(&IShellBrowser::RemoveMenusSB), 7);
  EXPECT_EQ(SlotOf(&IShellBrowser::SetStatusTextSB), 8);
  EXPECT_EQ(SlotOf(&IShellBrowser::EnableModelessSB), 9);
  EXPECT_EQ(SlotOf(&IShellBrowser::TranslateAcceleratorSB), 10);
  EXPECT_EQ(SlotOf(&IShellBrowser::BrowseObject), 11);
  EXPECT_EQ(SlotOf(&IShellBrowser::GetViewStateStream), 12);
  EXPECT_EQ(SlotOf(&IShellBrowser::GetControlWindow), 13);
  EXPECT_EQ(SlotOf(&IShellBrowser::SendControlMsg), 14);
  EXPECT_EQ(SlotOf(&IShellBrowser::QueryActiveShellView), 15);
  EXPECT_EQ(SlotOf(&IShellBrowser::OnViewWindowActive), 16);
  EXPECT_EQ(SlotOf(&IShellBrowser::SetToolbarItems), 17);

  EXPECT_EQ(SlotOf(&IStream::Read), 3);
  EXPECT_EQ(SlotOf(&IStream::Write), 4);
  EXPECT_EQ(SlotOf(&IStream::Seek), 5);
  EXPECT_EQ(SlotOf(&IStream::SetSize), 6);
  EXPECT_EQ(SlotOf(&IStream::CopyTo), 7);
  EXPECT_EQ(SlotOf(&IStream::Commit), 8);
  EXPECT_EQ(SlotOf(&IStream::Revert), 9);
  EXPECT_EQ(SlotOf(&IStream::LockRegion), 10);
  EXPECT_EQ(SlotOf(&IStream::UnlockRegion), 11);
  EXPECT_EQ(SlotOf(&IStream::Stat), 12);
  EXPECT_EQ(SlotOf(&IStream::Clone), 13);
}

TEST(ShellInterfaceSlots, WebBrowserAndDocumentMembersFollowIDispatchsFour) {
  EXPECT_EQ(SlotOf(&IWebBrowser2::Invoke), 6);
  EXPECT_EQ(SlotOf(&IWebBrowser2::Navigate), 7);
  EXPECT_EQ(SlotOf(&IWebBrowser2::Refresh), 8);
  EXPECT_EQ(SlotOf(&IWebBrowser2::get_Document), 9);
  EXPECT_EQ(SlotOf(&IWebBrowser2::get_LocationURL), 10);
  EXPECT_EQ(SlotOf(&IWebBrowser2::get_ReadyState), 11);
  EXPECT_EQ(SlotOf(&IWebBrowser2::get_HWND), 12);

  EXPECT_EQ(SlotOf(&IHTMLDocument2::get_all), 7);
  EXPECT_EQ(SlotOf(&IHTMLDocument2::get_body), 8);
  EXPECT_EQ(SlotOf(&IHTMLDocument2::get_title), 9);
  EXPECT_EQ(SlotOf(&IHTMLDocument2::get_URL), 10);
  EXPECT_EQ(SlotOf(&IHTMLDocument2::get_readyState), 11);

  EXPECT_EQ(SlotOf(&IHTMLElement::get_tagName), 7);
  EXPECT_EQ(SlotOf(&IHTMLElement::get_id), 8);
  EXPECT_EQ(SlotOf(&IHTMLElement::getAttribute), 9);
  EXPECT_EQ(SlotOf(&IHTMLElement::get_innerHTML), 10);
  EXPECT_EQ(SlotOf(&IHTMLElement::put_innerHTML), 11);
  EXPECT_EQ(SlotOf(&IHTMLElement::get_innerText), 12);
  EXPECT_EQ(SlotOf(&IHTMLElement::get_outerHTML), 13);
  EXPECT_EQ(SlotOf(&IHTMLElement::get_parentElement), 14);
  EXPECT_EQ(SlotOf(&IHTMLElement::get_children), 15);
  EXPECT_EQ(SlotOf(&IHTMLElement::get_all), 16);

  EXPECT_EQ(SlotOf(&IHTMLElementCollection::get_length), 7);
  EXPECT_EQ(SlotOf(&IHTMLElementCollection::item), 8);
  EXPECT_EQ(SlotOf(&IHTMLObjectElement::get_object), 7);
  EXPECT_EQ(SlotOf(&IHTMLObjectElement::get_classid), 8);
}

}  // namespace
