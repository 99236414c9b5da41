// The shell's open of documents (to a recorder standing for the desktop's
// opener) and the registry streams that keep views' states.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <string>

#include "platform/base/sync.h"
#include "platform/com/com_ptr.h"
#include "platform/registry/reg_key.h"
#include "platform/shell/shell_execute.h"
#include "platform/shell/streams.h"
#include "platform/shell/view_state_streams.h"
#include "platform/testing/scratch.h"

namespace {

using qap::testing::ReadFile;
using qap::testing::ScratchDir;

class ScopedOpener {
 public:
  explicit ScopedOpener(const std::string& program) {
    const char* previous = std::getenv("QAP_OPEN");
    if (previous != nullptr) m_previous = previous;
    m_had = previous != nullptr;
    setenv("QAP_OPEN", program.c_str(), 1);
  }
  ~ScopedOpener() {
    if (m_had) {
      setenv("QAP_OPEN", m_previous.c_str(), 1);
    } else {
      unsetenv("QAP_OPEN");
    }
  }

 private:
  std::string m_previous;
  bool m_had = false;
};

TEST(ShellOpen, ADocumentGoesToTheOpenerAndAMissingOneFailsWithTheSystemsError) {
  ScratchDir dir;
  const std::string recorder =
      dir.Write("opener", "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$0.args\"\n");
  chmod(recorder.c_str(), 0755);
  ScopedOpener opener(recorder);
  const std::string song = dir.Write("a song.mp3", "ID3");

  SHELLEXECUTEINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_NOCLOSEPROCESS;
  info.lpVerb = "open";
  info.lpFile = "a song.mp3";
  info.lpDirectory = dir.Path().c_str();
  ASSERT_TRUE(ShellExecuteExA(&info)) << GetLastError();
  EXPECT_GT(reinterpret_cast<UINT_PTR>(info.hInstApp), 32u);
  ASSERT_NE(info.hProcess, nullptr);
  EXPECT_EQ(WaitForSingleObject(info.hProcess, 10000), WAIT_OBJECT_0);
  CloseHandle(info.hProcess);
  EXPECT_EQ(ReadFile(recorder + ".args"), song + "\n");

  SetLastError(0);
  EXPECT_EQ(reinterpret_cast<UINT_PTR>(ShellExecuteA(nullptr, nullptr, (dir.Path() + "/gone.mp3").c_str(),
                                                     nullptr, nullptr, 1)),
            SE_ERR_FNF);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(SystemMessage(GetLastError()).empty(), false) << "a caller can show why";

  info = SHELLEXECUTEINFOA{};
  info.cbSize = sizeof info;
  info.lpVerb = "print";
  info.lpFile = song.c_str();
  EXPECT_FALSE(ShellExecuteExA(&info));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_ASSOCIATION));
  EXPECT_EQ(reinterpret_cast<UINT_PTR>(info.hInstApp), SE_ERR_NOASSOC);
}

TEST(ViewStateStreams, AStreamWritesBackWhenLetGoAndTheLeastRecentFolderGivesUpItsSlot) {
  qap::testing::ScratchHive hive;
  auto folder = [](int number) {
    std::string list(2, '\0');
    list += "folder " + std::to_string(number);
    list[0] = static_cast<char>(list.size());
    return list + std::string(2, '\0');
  };
  auto write = [](const std::string& list, const std::string& bytes) {
    ComPtr<IStream> stream;
    ASSERT_EQ(OpenViewStateStream(reinterpret_cast<LPCITEMIDLIST>(list.data()), STGM_WRITE,
                                  stream.Out()),
              S_OK);
    ASSERT_EQ(stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), nullptr), S_OK);
  };
  auto read = [](const std::string& list) -> std::string {
    ComPtr<IStream> stream;
    if (FAILED(OpenViewStateStream(reinterpret_cast<LPCITEMIDLIST>(list.data()), STGM_READ,
                                   stream.Out())))
      return "(none)";
    char bytes[64];
    ULONG count = 0;
    stream->Read(bytes, sizeof bytes, &count);
    return std::string(bytes, count);
  };

  EXPECT_EQ(read(folder(0)), "(none)");
  write(folder(0), "first");
  write(folder(1), "second");
  EXPECT_EQ(read(folder(0)), "first");
  EXPECT_EQ(read(folder(1)), "second");
  write(folder(0), "again");
  EXPECT_EQ(read(folder(0)), "again") << "a folder keeps its one slot";

  // Folder 1 is now the least recently used: the slot it holds goes first.
  for (DWORD number = 2; number <= kViewStateSlots; ++number) write(folder(static_cast<int>(number)), "x");
  EXPECT_EQ(read(folder(1)), "(none)");
  EXPECT_EQ(read(folder(0)), "again");
  EXPECT_EQ(read(folder(static_cast<int>(kViewStateSlots))), "x");

  // Reading past the end gives what there is; a registry stream opened
  // for reading takes no writes.
  EXPECT_EQ(SHOpenRegStream2A(HKEY_CURRENT_USER, "Software\\Test", "Value", STGM_READ), nullptr)
      << "nothing to read";
  ComPtr<IStream> memory =
      ComPtr<IStream>::Attach(SHCreateMemStream(reinterpret_cast<const BYTE*>("abc"), 3));
  LARGE_INTEGER move{5};
  ULARGE_INTEGER at{};
  EXPECT_EQ(memory->Seek(move, STREAM_SEEK_SET, &at), S_OK);
  EXPECT_EQ(memory->Write("z", 1, nullptr), S_OK);
  move.QuadPart = 2;
  memory->Seek(move, STREAM_SEEK_SET, &at);
  char bytes[8];
  ULONG count = 0;
  EXPECT_EQ(memory->Read(bytes, sizeof bytes, &count), S_FALSE);
  EXPECT_EQ(std::string(bytes, count), std::string("c\0\0z", 4)) << "the gap is zeros";
  move.QuadPart = -7;
  EXPECT_EQ(memory->Seek(move, STREAM_SEEK_END, &at), STG_E_INVALIDFUNCTION);

  ComPtr<IStream> reading = ComPtr<IStream>::Attach(
      SHOpenRegStream2A(HKEY_CURRENT_USER, (std::string(kExplorerKey) + "\\Streams\\0").c_str(),
                        "ViewView", STGM_READ));
  ASSERT_TRUE(reading);
  EXPECT_EQ(reading->Write("no", 2, nullptr), STG_E_ACCESSDENIED);
}

}  // namespace
