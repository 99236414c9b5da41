// The clipboard: a registered format through the OLE clipboard and the
// plain one, who owns and who may open it, and the bridge to the desktop.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/base/last_error.h"
#include "platform/com/com_ptr.h"
#include "platform/ui/ole.h"
#include "platform/ui/ole/block_data_object.h"
#include "platform/ui/tests/ui_test_support.h"

namespace {

using ui::testing::RecordingParent;

// 24 bytes of header and 526 an item, as the music folder's private
// format has it, with a pattern to compare.
std::vector<BYTE> PrivateBlock(int items) {
  std::vector<BYTE> block(static_cast<size_t>(items) * 526 + 24);
  for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<BYTE>(i * 7 + 1);
  return block;
}

std::vector<BYTE> BytesOf(HGLOBAL memory) {
  std::vector<BYTE> bytes(GlobalSize(memory));
  if (!bytes.empty()) {
    std::memcpy(bytes.data(), GlobalLock(memory), bytes.size());
    GlobalUnlock(memory);
  }
  return bytes;
}

// A source that renders its one format on demand and says when it goes.
class SourceData final : public ui::ole::BlockDataObject<SourceData> {
 public:
  std::vector<CLIPFORMAT> Formats() const { return {m_format}; }
  bool Read(CLIPFORMAT format, std::vector<BYTE>* bytes) {
    if (format != m_format) return false;
    ++*m_reads;
    *bytes = m_bytes;
    return true;
  }

 private:
  friend ComObject<SourceData, IDataObject>;
  SourceData(CLIPFORMAT format, std::vector<BYTE> bytes, int* reads, bool* gone)
      : m_format(format), m_bytes(std::move(bytes)), m_reads(reads), m_gone(gone) {}
  ~SourceData() { *m_gone = true; }

  CLIPFORMAT m_format;
  std::vector<BYTE> m_bytes;
  int* m_reads;
  bool* m_gone;
};

class FakeBridge final : public ui::ole::ClipboardBridge {
 public:
  void OnLocalChange(const std::vector<UINT>& formats) override { changes.push_back(formats); }
  std::vector<UINT> OutsideFormats() override {
    ++asked;
    return {outsideFormat};
  }
  bool ReadOutside(UINT format, std::vector<BYTE>* bytes) override {
    if (format != outsideFormat) return false;
    *bytes = outsideBytes;
    return true;
  }

  std::vector<std::vector<UINT>> changes;
  UINT outsideFormat = 0;
  std::vector<BYTE> outsideBytes;
  int asked = 0;
};

class Clipboard : public ::testing::Test {
 protected:
  void SetUp() override { Clear(); }
  void TearDown() override {
    ui::ole::SetClipboardBridge(nullptr);
    Clear();
  }
  static void Clear() {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    CloseClipboard();
  }
  // Counts WM_DESTROYCLIPBOARD sent to parent.
  static void CountDestroys(RecordingParent& parent, int* count) {
    parent.onOther = [count](UINT message, WPARAM, LPARAM) -> LRESULT {
      if (message == WM_DESTROYCLIPBOARD) ++*count;
      return 0;
    };
  }

  const UINT m_format = RegisterClipboardFormatA("Cobrell");
};

TEST_F(Clipboard, ARegisteredFormatRoundTripsThroughTheOleClipboardAndThePlainOne) {
  EXPECT_GE(m_format, 0xC000u);
  EXPECT_EQ(m_format, RegisterWindowMessageA("COBRELL"));
  char name[16];
  EXPECT_EQ(GetClipboardFormatNameA(m_format, name, sizeof name), 7);
  EXPECT_STREQ(name, "Cobrell");
  EXPECT_EQ(GetClipboardFormatNameA(m_format, name, 4), 3);
  EXPECT_STREQ(name, "Cob");
  EXPECT_EQ(GetClipboardFormatNameA(CF_TEXT, name, sizeof name), 0);

  const std::vector<BYTE> block = PrivateBlock(3);
  int reads = 0;
  bool gone = false;
  ComPtr<IDataObject> source;
  ASSERT_EQ(SourceData::NewInstance(IID_IDataObject, source.OutVoid(),
                                    static_cast<CLIPFORMAT>(m_format), block, &reads, &gone),
            S_OK);
  ASSERT_EQ(OleSetClipboard(source.Get()), S_OK);
  EXPECT_EQ(OleIsCurrentClipboard(source.Get()), S_OK);
  EXPECT_TRUE(IsClipboardFormatAvailable(m_format));
  EXPECT_FALSE(IsClipboardFormatAvailable(CF_TEXT));
  EXPECT_EQ(CountClipboardFormats(), 1);
  EXPECT_EQ(reads, 0) << "nothing is rendered before someone reads it";

  ComPtr<IDataObject> pasted;
  ASSERT_EQ(OleGetClipboard(pasted.Out()), S_OK);
  FORMATETC wanted = ui::ole::HGlobalFormat(static_cast<CLIPFORMAT>(m_format));
  FORMATETC text = ui::ole::HGlobalFormat(CF_TEXT);
  EXPECT_EQ(pasted->QueryGetData(&wanted), S_OK);
  STGMEDIUM medium{};
  EXPECT_EQ(pasted->GetData(&text, &medium), DV_E_FORMATETC);
  ComPtr<IEnumFORMATETC> formats;
  ASSERT_EQ(pasted->EnumFormatEtc(DATADIR_GET, formats.Out()), S_OK);
  FORMATETC listed[2];
  ULONG fetched = 0;
  EXPECT_EQ(formats->Next(2, listed, &fetched), S_FALSE);
  ASSERT_EQ(fetched, 1u);
  EXPECT_EQ(listed[0].cfFormat, m_format);
  EXPECT_EQ(listed[0].tymed, TYMED_HGLOBAL);

  ASSERT_EQ(pasted->GetData(&wanted, &medium), S_OK);
  ASSERT_EQ(medium.tymed, TYMED_HGLOBAL);
  EXPECT_EQ(GlobalSize(medium.hGlobal), block.size());
  EXPECT_EQ(BytesOf(medium.hGlobal), block);
  ReleaseStgMedium(&medium);
  EXPECT_EQ(medium.tymed, TYMED_NULL);

  RecordingParent reader;
  ASSERT_TRUE(OpenClipboard(reader.Window()));
  EXPECT_EQ(EnumClipboardFormats(0), m_format);
  EXPECT_EQ(EnumClipboardFormats(m_format), 0u);
  HANDLE held = GetClipboardData(m_format);
  EXPECT_EQ(GlobalSize(held), block.size());
  EXPECT_EQ(BytesOf(held), block);
  EXPECT_EQ(GetClipboardData(m_format), held) << "the clipboard keeps what it rendered";
  EXPECT_EQ(GetClipboardData(CF_TEXT), nullptr);
  EXPECT_EQ(OleSetClipboard(nullptr), CLIPBRD_E_CANT_OPEN);
  CloseClipboard();
  EXPECT_EQ(reads, 1);

  ASSERT_EQ(OleFlushClipboard(), S_OK);
  EXPECT_EQ(OleIsCurrentClipboard(source.Get()), S_FALSE);
  source.Reset();
  EXPECT_TRUE(gone) << "the clipboard let the object go";
  ASSERT_EQ(pasted->GetData(&wanted, &medium), S_OK);
  EXPECT_EQ(BytesOf(medium.hGlobal), block);
  ReleaseStgMedium(&medium);
  EXPECT_EQ(reads, 1);
}

TEST_F(Clipboard, OneWindowAtATimeOpensItAndEmptyingItTellsThePreviousOwner) {
  RecordingParent first;
  RecordingParent second;
  int firstDestroys = 0;
  CountDestroys(first, &firstDestroys);

  HGLOBAL refused = ui::ole::GlobalFromBytes("x", 2);
  EXPECT_EQ(SetClipboardData(CF_TEXT, refused), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_CLIPBOARD_NOT_OPEN);
  EXPECT_EQ(GlobalFree(refused), nullptr) << "a refused block stays the caller's";

  ASSERT_TRUE(OpenClipboard(first.Window()));
  EXPECT_TRUE(OpenClipboard(first.Window()));
  EXPECT_FALSE(OpenClipboard(second.Window()));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_EQ(GetOpenClipboardWindow(), first.Window());
  ASSERT_TRUE(EmptyClipboard());
  EXPECT_EQ(GetClipboardOwner(), first.Window());
  HGLOBAL text = ui::ole::GlobalFromBytes("songs", 6);
  HGLOBAL replaced = ui::ole::GlobalFromBytes("old", 4);
  EXPECT_EQ(SetClipboardData(m_format, replaced), replaced);
  EXPECT_EQ(SetClipboardData(CF_TEXT, text), text);
  HGLOBAL block = ui::ole::GlobalFromBytes("new", 4);
  EXPECT_EQ(SetClipboardData(m_format, block), block);
  EXPECT_EQ(GlobalSize(replaced), 0u) << "a block set over is freed";
  EXPECT_EQ(SetClipboardData(m_format, nullptr), nullptr);
  EXPECT_EQ(EnumClipboardFormats(0), m_format) << "formats keep the order they were first set";
  EXPECT_EQ(EnumClipboardFormats(m_format), CF_TEXT);
  ASSERT_TRUE(CloseClipboard());
  EXPECT_FALSE(CloseClipboard());

  ASSERT_TRUE(OpenClipboard(second.Window()));
  EXPECT_EQ(BytesOf(GetClipboardData(CF_TEXT)), (std::vector<BYTE>{'s', 'o', 'n', 'g', 's', 0}));
  EXPECT_EQ(firstDestroys, 0);
  ASSERT_TRUE(EmptyClipboard());
  EXPECT_EQ(firstDestroys, 1);
  EXPECT_EQ(GetClipboardOwner(), second.Window());
  EXPECT_EQ(CountClipboardFormats(), 0);
  EXPECT_EQ(GlobalSize(text), 0u) << "emptying frees every block";
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  CloseClipboard();
}

TEST_F(Clipboard, TheBridgeHearsOfChangesHereAndAnswersForTheDesktop) {
  FakeBridge bridge;
  bridge.outsideFormat = m_format;
  bridge.outsideBytes = PrivateBlock(1);
  ui::ole::SetClipboardBridge(&bridge);
  RecordingParent owner;
  int destroys = 0;
  CountDestroys(owner, &destroys);

  ASSERT_TRUE(OpenClipboard(owner.Window()));
  EmptyClipboard();
  SetClipboardData(m_format, ui::ole::GlobalFromBytes("here", 5));
  EXPECT_TRUE(bridge.changes.empty()) << "the desktop hears of it once the clipboard is closed";
  CloseClipboard();
  ASSERT_EQ(bridge.changes.size(), 1u);
  EXPECT_EQ(bridge.changes[0], std::vector<UINT>{m_format});
  std::vector<BYTE> bytes;
  ASSERT_TRUE(ui::ole::ReadLocalClipboard(m_format, &bytes));
  EXPECT_EQ(bytes, (std::vector<BYTE>{'h', 'e', 'r', 'e', 0}));
  EXPECT_EQ(bridge.asked, 0) << "the desktop is not asked while the clipboard is ours";

  // Another program takes the desktop's clipboard while a window has it
  // open: it becomes the desktop's once the window closes it unchanged.
  ASSERT_TRUE(OpenClipboard(owner.Window()));
  ui::ole::ClipboardTakenOutside();
  EXPECT_EQ(destroys, 0);
  CloseClipboard();
  EXPECT_EQ(destroys, 1);
  EXPECT_FALSE(ui::ole::ReadLocalClipboard(m_format, &bytes));
  EXPECT_TRUE(IsClipboardFormatAvailable(m_format));
  ComPtr<IDataObject> pasted;
  ASSERT_EQ(OleGetClipboard(pasted.Out()), S_OK);
  FORMATETC wanted = ui::ole::HGlobalFormat(static_cast<CLIPFORMAT>(m_format));
  STGMEDIUM medium{};
  ASSERT_EQ(pasted->GetData(&wanted, &medium), S_OK);
  EXPECT_EQ(GlobalSize(medium.hGlobal), bridge.outsideBytes.size());
  EXPECT_EQ(BytesOf(medium.hGlobal), bridge.outsideBytes);
  ReleaseStgMedium(&medium);

  // A program here empties it again: the desktop is no longer asked.
  ASSERT_TRUE(OpenClipboard(owner.Window()));
  EmptyClipboard();
  CloseClipboard();
  EXPECT_EQ(bridge.changes.size(), 2u);
  EXPECT_TRUE(bridge.changes[1].empty());
  int asked = bridge.asked;
  EXPECT_FALSE(IsClipboardFormatAvailable(m_format));
  EXPECT_EQ(bridge.asked, asked);
}

}  // namespace
