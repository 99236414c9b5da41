// The library's dialogs as a person sees them, rendered offscreen by the
// front-end: the destination dialog with a drive opened; the conversion
// dialog after a run.
#include <gtest/gtest.h>

#include <QImage>
#include <QPushButton>
#include <QTreeView>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <vector>

#include "converters/wav_file.h"
#include "drumlet/destination_dialog.h"
#include "drumlet/drumlet.h"
#include "drumlet/tests/dialog_test_support.h"
#include "platform/base/paths.h"
#include "platform/ui/qt/front_end.h"
#include "platform/ui/qt/mirror.h"
#include "options/options.h"
#include "suite/quadrin/module_admin.h"

namespace drumlet::testing {
namespace {

ui::qt::FrontEnd* g_frontEnd = nullptr;

template <typename Widget>
std::vector<Widget*> WidgetsOf(HWND window) {
  ui::qt::Mirror* mirror = g_frontEnd->MirrorOf(window);
  std::vector<Widget*> widgets;
  if (mirror != nullptr) {
    for (Widget* widget : mirror->Widget()->findChildren<Widget*>()) widgets.push_back(widget);
  }
  return widgets;
}

std::set<QString> ButtonTexts(HWND window) {
  std::set<QString> texts;
  for (QPushButton* button : WidgetsOf<QPushButton>(window)) {
    if (button->isVisible()) texts.insert(button->text());
  }
  return texts;
}

// A person who may take pictures through the front-end.
std::unique_ptr<ui::script::Runner> Photographer(ui::script::Script script) {
  ui::script::Services services;
  services.screenshot = [](HWND window, const std::string& file, std::string* error) {
    return g_frontEnd->Screenshot(window, file, error);
  };
  auto runner = std::make_unique<ui::script::Runner>(std::move(script), services);
  runner->Start();
  return runner;
}

class PicturesTest : public ::testing::Test, public SkinnedDialogTest {
 protected:
  static void SetUpTestSuite() {
    g_frontEnd = new ui::qt::FrontEnd(true);
    std::string error;
    ASSERT_TRUE(g_frontEnd->Start(&error)) << error;
  }

  // Pictures are kept for a person to look at when QAP_TEST_PICTURES names
  // a folder.
  std::string PictureFile(const std::string& name) const {
    const char* keep = std::getenv("QAP_TEST_PICTURES");
    return (keep != nullptr && *keep != '\0' ? std::string(keep) : m_scratch.Path()) + "/" + name;
  }

  // A picture the size of a window's client area, and no blank.
  static void ExpectPicture(const std::string& file, const RECT& client) {
    QImage picture(QString::fromStdString(file));
    ASSERT_FALSE(picture.isNull()) << file;
    EXPECT_EQ(picture.width(), client.right);
    EXPECT_EQ(picture.height(), client.bottom);
    std::set<QRgb> colours;
    for (int y = 0; y < picture.height(); y += 3) {
      for (int x = 0; x < picture.width(); x += 3) colours.insert(picture.pixel(x, y));
    }
    EXPECT_GT(colours.size(), 8u) << "the picture is blank";
  }

  qap::testing::ScratchDir m_scratch;
};

TEST_F(PicturesTest, TheDestinationDialogShowsTheTreeTheEditAndItsTwoButtons) {
  namespace fs = std::filesystem;
  for (const char* folder : {"Music", "Podcasts", "WINDOWS"}) {
    fs::create_directories(fs::path(m_scratch.Path()) / "drive" / folder);
  }
  ASSERT_TRUE(SetDriveMapping('C', m_scratch.File("drive"), DRIVE_FIXED));
  const std::string file = PictureFile("destination.png");
  ui::script::Script script;
  std::string error;
  ASSERT_TRUE(script.Add("wait window \"Select Destination Path\"\n"
                         "expand 4048 \"C:\"\n"
                         "select 4048 \"C:\\\\Music\"\n"
                         "screenshot \"" + file + "\"\n",
                         &error))
      << error;
  std::set<QString> buttons;
  RECT client{};
  int treeRows = 0;
  script.Then([&](HWND dialog) {
    buttons = ButtonTexts(dialog);
    GetClientRect(dialog, &client);
    for (QTreeView* tree : WidgetsOf<QTreeView>(dialog)) treeRows += tree->model()->rowCount();
  });
  ASSERT_TRUE(script.Add("click \"Cancel\"\n", &error)) << error;
  auto person = Photographer(std::move(script));
  std::string path;
  EXPECT_FALSE(SelectDestinationPath(nullptr, "", &path));
  EXPECT_TRUE(person->Finished() && !person->Failed()) << person->Failure();

  EXPECT_EQ(buttons, (std::set<QString>{"Cancel", "OK"}));
  EXPECT_GE(treeRows, 2) << "the drives and \"Look around\"";
  ExpectPicture(file, client);
}

TEST_F(PicturesTest, TheConversionDialogShowsItsTracksWithTheirStatusAndItsButtons) {
  namespace fs = std::filesystem;
  char registering[512] = "";
  ASSERT_EQ(RegisterBuiltinModules(registering, sizeof registering), kQuadrinOk) << registering;
  const std::string temp = m_scratch.File("tmp");
  fs::create_directories(temp);
  const char* previous = std::getenv("TMPDIR");
  const std::string kept = previous != nullptr ? previous : "";
  setenv("TMPDIR", temp.c_str(), 1);
  FreeTrackQueue();
  for (const char* name : {"Morning Song", "Evening Song"}) {
    const std::string wav = m_scratch.File(std::string(name) + ".wav");
    std::string made;
    ASSERT_TRUE(WriteToneWav(wav, WavFormat{44100, 2, 16}, 2.0, 440.0, &made)) << made;
    ASSERT_EQ(AddNewTrack(name, wav.c_str(), ""), 1u);
  }
  const std::string existing = temp + "/Evening Song.wma";
  std::ofstream(existing) << "made before";
  const std::string file = PictureFile("conversion.png");
  ui::script::Script script;
  std::string error;
  std::string steps = "wait window \"Conversion\"\n"
                      "select 4039 \"wma\"\n"
                      "click \"Convert\"\n"
                      "wait cell 4026 1 1 \"File \\\"" + existing + "\\\" already exists\" timeout 60\n"
                      "expect cell 4026 0 1 \"" + temp + "/Morning Song.wma\"\n"
                      "screenshot \"" + file + "\"\n";
  ASSERT_TRUE(script.Add(steps, &error)) << error;
  std::set<QString> buttons;
  RECT client{};
  script.Then([&](HWND dialog) {
    buttons = ButtonTexts(dialog);
    GetClientRect(dialog, &client);
  });
  ASSERT_TRUE(script.Add("click \"Exit\"\n", &error)) << error;
  auto person = Photographer(std::move(script));
  ASSERT_TRUE(LoadOptions());
  InvokeConversionDlg(&GetIRecordingOption());
  FreeTrackQueue();
  if (previous != nullptr) {
    setenv("TMPDIR", kept.c_str(), 1);
  } else {
    unsetenv("TMPDIR");
  }
  EXPECT_TRUE(person->Finished() && !person->Failed()) << person->Failure();
  EXPECT_EQ(buttons, (std::set<QString>{"Add", "Convert", "Exit", "Remove"}));
  ExpectPicture(file, client);
}

}  // namespace
}  // namespace drumlet::testing
