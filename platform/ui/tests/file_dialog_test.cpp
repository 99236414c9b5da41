// The file-open dialog answered by a script over a scratch folder: the
// filtered listing, a folder typed and entered, a missing file refused
// with a message box, names in double quotes returned as the folder then
// each name, a buffer too small, and the refusal when nobody can answer.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "platform/testing/scratch.h"
#include "platform/ui/commdlg.h"
#include "platform/ui/script/script.h"
#include "platform/ui/tests/ui_test_support.h"

namespace {


std::vector<std::string> Listed(HWND dialog) {
  std::vector<std::string> rows;
  auto* list = ui::driver::Model<ui::driver::ListModel>(GetDlgItem(dialog, lst1));
  for (int row = 0; list != nullptr && row < list->Count(); ++row) rows.push_back(list->Text(row));
  return rows;
}

void TypeAndOpen(HWND dialog, const std::string& names) {
  HWND edit = GetDlgItem(dialog, edt1);
  SetWindowTextA(edit, "");
  ui::driver::TypeText(edit, names);
  ui::driver::Click(GetDlgItem(dialog, IDOK));
}

struct Folder {
  Folder() {
    for (const char* name : {"b.wav", "a.wav", "notes.txt", "Drum.WMA"}) dir.Write(name, "x");
    std::filesystem::create_directory(dir.File("Sub"));
    dir.Write("Sub/deep.wav", "x");
  }
  qap::testing::ScratchDir dir;
};

OPENFILENAMEA Request(const std::string& filter, const Folder& folder, char* buffer, DWORD size) {
  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.lpstrFilter = filter.data();
  ofn.lpstrFile = buffer;
  ofn.nMaxFile = size;
  ofn.lpstrInitialDir = folder.dir.Path().c_str();
  ofn.lpstrTitle = "Add files";
  ofn.Flags = OFN_ALLOWMULTISELECT | OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  return ofn;
}

TEST(FileDialog, NamesInQuotesComeBackAsTheFolderThenEachName) {
  std::string filter = ui::FilterFromBars("All Files|*.wav;*.wma|wav|*.wav||");
  EXPECT_EQ(filter, std::string("All Files\0*.wav;*.wma\0wav\0*.wav\0\0", 33));
  EXPECT_EQ(ui::FilterFromBars("wav|*.wav"), std::string("wav\0*.wav\0\0", 11));
  Folder folder;
  char buffer[1024] = {};
  OPENFILENAMEA ofn = Request(filter, folder, buffer, sizeof buffer);

  std::vector<std::string> listed;
  std::vector<std::string> afterFilter;
  bool readOnlyShown = true;
  std::string missingMessage;
  ui::script::Script scriptSteps;
  scriptSteps.When("Add files", [&](HWND dialog) {
          listed = Listed(dialog);
          readOnlyShown = IsWindowVisible(GetDlgItem(dialog, chx1));
          ui::driver::SelectEntry(GetDlgItem(dialog, cmb1), 1);
        })
      .When("Add files", [&](HWND dialog) {
        afterFilter = Listed(dialog);
        TypeAndOpen(dialog, "\"a.wav\" \"gone.wav\"");
      })
      .When("Add files", [&](HWND box) {
        // The message box shares the dialog's caption; its text says why.
        char text[256] = {};
        GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
        missingMessage = text;
        ui::driver::Click(GetDlgItem(box, IDOK));
      })
      .When("Add files", [&](HWND dialog) { TypeAndOpen(dialog, "\"a.wav\" \"b.wav\""); });

  ui::script::Runner script(std::move(scriptSteps), {});
  script.Start();
  ASSERT_TRUE(GetOpenFileNameA(&ofn));
  EXPECT_TRUE(script.Finished() && !script.Failed()) << script.Failure();
  EXPECT_EQ(listed, (std::vector<std::string>{"Sub", "a.wav", "b.wav", "Drum.WMA"}));
  EXPECT_EQ(afterFilter, (std::vector<std::string>{"Sub", "a.wav", "b.wav"}));
  EXPECT_FALSE(readOnlyShown);
  EXPECT_EQ(missingMessage, "gone.wav\nFile not found.\nPlease verify the correct file name was given.");
  std::string expected = folder.dir.Path() + '\0' + "a.wav" + '\0' + "b.wav" + '\0' + '\0';
  EXPECT_EQ(std::string(buffer, expected.size()), expected);
  EXPECT_EQ(ofn.nFileOffset, folder.dir.Path().size() + 1);
  EXPECT_EQ(ofn.nFilterIndex, 2u);
  EXPECT_EQ(CommDlgExtendedError(), 0u);
}

TEST(FileDialog, AFolderTypedIsEnteredAndOneFileComesBackAsItsPath) {
  std::string filter = ui::FilterFromBars("wav|*.wav||");
  Folder folder;
  char buffer[1024] = {};
  OPENFILENAMEA ofn = Request(filter, folder, buffer, sizeof buffer);
  std::vector<std::string> inside;
  ui::script::Script scriptSteps;
  scriptSteps.When("Add files", [](HWND dialog) { TypeAndOpen(dialog, "Sub"); })
      .When("Add files", [&](HWND dialog) {
        inside = Listed(dialog);
        TypeAndOpen(dialog, "deep.wav");
      });
  ui::script::Runner script(std::move(scriptSteps), {});
  script.Start();
  ASSERT_TRUE(GetOpenFileNameA(&ofn));
  EXPECT_EQ(inside, (std::vector<std::string>{"deep.wav"}));
  std::string path = folder.dir.File("Sub/deep.wav");
  EXPECT_EQ(std::string(buffer, path.size() + 2), path + '\0' + '\0');
  EXPECT_EQ(ofn.nFileOffset, path.size() - 8);
  EXPECT_EQ(ofn.nFileExtension, path.size() - 3);

  // The same answer does not fit in a small buffer: the first two bytes
  // say how much it needs.
  char small[16] = {};
  ofn = Request(filter, folder, small, sizeof small);
  ui::script::Script againSteps;
  againSteps.When("Add files", [](HWND dialog) { TypeAndOpen(dialog, "a.wav"); });
  ui::script::Runner again(std::move(againSteps), {});
  again.Start();
  EXPECT_FALSE(GetOpenFileNameA(&ofn));
  EXPECT_EQ(CommDlgExtendedError(), FNERR_BUFFERTOOSMALL);
  WORD needed = 0;
  std::memcpy(&needed, small, sizeof needed);
  EXPECT_EQ(needed, folder.dir.File("a.wav").size() + 2);
}

TEST(FileDialog, WithNobodyToAnswerItIsACancel) {
  ASSERT_FALSE(ui::driver::HasClient());
  std::string filter = ui::FilterFromBars("wav|*.wav||");
  Folder folder;
  char buffer[64] = {};
  OPENFILENAMEA ofn = Request(filter, folder, buffer, sizeof buffer);
  EXPECT_FALSE(GetOpenFileNameA(&ofn));
  EXPECT_EQ(CommDlgExtendedError(), 0u);
  ofn.lStructSize = 12;
  EXPECT_FALSE(GetOpenFileNameA(&ofn));
  EXPECT_EQ(CommDlgExtendedError(), CDERR_STRUCTSIZE);
}

}  // namespace
