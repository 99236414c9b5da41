// The library's dialogs as a person sees them, rendered offscreen by the
// front-end: the destination dialog with a drive opened, the message box in
// the shipped skins and without one, the conversion dialog after a run, the
// recorder dialog after a preparation and the simple mode's progress.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QPushButton>
#include <QTreeView>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <vector>

#include "converters/wav_file.h"
#include "drumlet/destination_dialog.h"
#include "drumlet/drumlet.h"
#include "drumlet/zv_message_box.h"
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

// The dialogs' skin in a folder of the test's own, where the disc image
// beside it may be written.
std::string SkinBeside(const qap::testing::ScratchDir& scratch) {
  namespace fs = std::filesystem;
  const std::string bin = std::getenv("QAP_BIN_DIR");
  const std::string folder = scratch.File("skinned");
  fs::create_directories(folder);
  fs::copy(bin + "/Drumlet.skn", folder + "/Drumlet.skn");
  fs::copy(bin + "/skin", folder + "/skin", fs::copy_options::recursive);
  return folder + "/Drumlet.skn";
}

bool HasColour(const QImage& picture, QRgb wanted) {
  for (int y = 0; y < picture.height(); ++y) {
    for (int x = 0; x < picture.width(); ++x) {
      if ((picture.pixel(x, y) & 0xFFFFFF) == (wanted & 0xFFFFFF)) return true;
    }
  }
  return false;
}

TEST_F(PicturesTest, TheRecorderDialogShowsPreparedTracksOnGreenAndTheOthersOnRedAndTheSimpleModeItsProgress) {
  char registering[512] = "";
  ASSERT_EQ(RegisterBuiltinModules(registering, sizeof registering), kQuadrinOk) << registering;
  TemporaryFolder temp(m_scratch.Path());
  SetSkinPath(SkinBeside(m_scratch).c_str());
  ASSERT_TRUE(LoadOptions());
  FreeTrackQueue();
  for (const char* name : {"Morning Song", "Evening Song"}) {
    const std::string wav = m_scratch.File(std::string(name) + ".wav");
    std::string made;
    ASSERT_TRUE(WriteToneWav(wav, WavFormat{44100, 2, 16}, 4.0, 440.0, &made)) << made;
    ASSERT_EQ(AddNewTrack(name, wav.c_str(), ""), 1u);
  }
  const std::string damaged = m_scratch.File("Damaged.wav");
  std::ofstream(damaged) << "not audio";
  ASSERT_EQ(AddNewTrack("Damaged", damaged.c_str(), ""), 1u);
  const std::string file = PictureFile("recorder.png");
  ui::script::Script script;
  std::string error;
  ASSERT_TRUE(script.Add("wait window \"Burning\"\n"
                         "select 1017 \"Audio CD image\"\n"
                         "click \"Prepare\"\n"
                         "wait text 1016 \"Preparation completed\" timeout 60\n"
                         "wait enabled 1017\n"
                         "screenshot \"" + file + "\"\n",
                         &error))
      << error;
  std::set<QString> buttons;
  RECT client{};
  script.Then([&](HWND dialog) {
    buttons = ButtonTexts(dialog);
    GetClientRect(dialog, &client);
  });
  ASSERT_TRUE(script.Add("click \"Exit\"\n", &error)) << error;
  auto person = Photographer(std::move(script));
  InvokeAdvancedDlg(&GetIRecordingOption());
  EXPECT_TRUE(person->Finished() && !person->Failed()) << person->Failure();
  EXPECT_EQ(buttons, (std::set<QString>{"Add", "Burn", "Erase", "Exit", "Prepare", "Remove"}));
  ExpectPicture(file, client);
  const QImage recorder(QString::fromStdString(file));
  EXPECT_TRUE(HasColour(recorder, qRgb(0, 255, 0))) << "prepared rows";
  EXPECT_TRUE(HasColour(recorder, qRgb(255, 0, 0))) << "the damaged one";

  // Long enough that its burn is still going when the picture is taken.
  const std::string longer = m_scratch.File("Long Song.wav");
  std::string made;
  ASSERT_TRUE(WriteToneWav(longer, WavFormat{44100, 2, 16}, 90.0, 440.0, &made)) << made;
  ASSERT_EQ(AddNewTrack("Long Song", longer.c_str(), ""), 1u);
  const std::string simple = PictureFile("simple_burning.png");
  ui::script::Script progress;
  ASSERT_TRUE(progress.Add("wait window \"Burning\"\nscreenshot \"" + simple + "\"\n", &error)) << error;
  progress.Then([&](HWND window) { GetClientRect(window, &client); });
  auto watcher = Photographer(std::move(progress));
  InvokeSimpleMode(&GetIRecordingOption(), "QuadrinCDWriter", 0);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
  while (IsRecording() != 0 && std::chrono::steady_clock::now() < deadline) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 1000, QS_ALLINPUT);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
  }
  EXPECT_EQ(IsRecording(), 0u);
  EXPECT_TRUE(watcher->Finished() && !watcher->Failed()) << watcher->Failure();
  ExpectPicture(simple, client);
  FreeTrackQueue();
  SetSkinPath((std::string(std::getenv("QAP_BIN_DIR")) + "/Drumlet.skn").c_str());
}

struct Colour {
  int red = 0, green = 0, blue = 0;
};

// The average colour of a band across the top of a button, above its text.
Colour FaceColour(const QImage& picture, const QRect& button) {
  Colour sum;
  int count = 0;
  for (int y = button.top() + 3; y <= button.top() + 5; ++y) {
    const int margin = button.width() / 4;
    for (int x = button.left() + margin; x < button.right() - margin; ++x) {
      const QRgb pixel = picture.pixel(x, y);
      sum.red += qRed(pixel);
      sum.green += qGreen(pixel);
      sum.blue += qBlue(pixel);
      ++count;
    }
  }
  return count == 0 ? Colour{} : Colour{sum.red / count, sum.green / count, sum.blue / count};
}

struct BoxPicture {
  QImage image;
  QRect yes;  // the Yes button, in the picture
  bool ownStyle = false;
  bool boldCaption = false;
};

BoxPicture PictureOfBox(const std::string& skin, const std::string& file) {
  SCOPED_TRACE(skin);
  BoxPicture shown;
  ui::script::Script script;
  std::string error;
  EXPECT_TRUE(script.Add("wait window \"Message\"\nscreenshot \"" + file + "\"\n", &error));
  script.Then([&](HWND box) {
    HWND yes = GetDlgItem(box, 4045);
    RECT rect{};
    GetWindowRect(yes, &rect);
    POINT corner{rect.left, rect.top};
    ScreenToClient(box, &corner);
    shown.yes = QRect(corner.x, corner.y, rect.right - rect.left, rect.bottom - rect.top);
    for (QPushButton* button : WidgetsOf<QPushButton>(box)) {
      if (button->text() != "Yes") continue;
      shown.ownStyle = button->style() != QApplication::style();
      shown.boldCaption = button->font().bold();
    }
  });
  EXPECT_TRUE(script.Add("click \"No\"\n", &error)) << error;
  auto person = Photographer(std::move(script));
  EXPECT_EQ(CZVMessageBox(nullptr, skin.c_str())
                .Show("The disc is not empty. Erase it before burning?", CZVMessageBox::kYesNo),
            IDNO);
  EXPECT_TRUE(person->Finished() && !person->Failed()) << person->Failure();
  shown.image = QImage(QString::fromStdString(file));
  return shown;
}

TEST_F(PicturesTest, TheMessageBoxShowsEachSkinsButtonsAndTheDesktopsWithoutOne) {
  const std::string bin = std::getenv("QAP_BIN_DIR");
  BoxPicture plain = PictureOfBox(m_scratch.File("no/Drumlet.skn"), PictureFile("box_plain.png"));
  BoxPicture standard = PictureOfBox(bin + "/Drumlet.skn", PictureFile("box_default.png"));
  BoxPicture ember = PictureOfBox(bin + "/skins/Ember/Drumlet.skn", PictureFile("box_ember.png"));
  for (const BoxPicture* picture : {&plain, &standard, &ember}) {
    ASSERT_FALSE(picture->image.isNull());
    ASSERT_TRUE(picture->image.rect().contains(picture->yes));
  }
  EXPECT_FALSE(plain.ownStyle) << "without a skin the desktop's style";
  EXPECT_TRUE(standard.ownStyle);
  EXPECT_TRUE(ember.ownStyle);
  EXPECT_TRUE(ember.boldCaption);
  EXPECT_FALSE(standard.boldCaption);

  const Colour none = FaceColour(plain.image, plain.yes);
  const Colour cool = FaceColour(standard.image, standard.yes);
  const Colour warm = FaceColour(ember.image, ember.yes);
  // The desktop's button is a neutral grey; the default skin's a light
  // blue-grey; Ember's orange.
  const int spread = std::max({none.red, none.green, none.blue}) -
                     std::min({none.red, none.green, none.blue});
  EXPECT_LT(spread, 12);
  EXPECT_GT(cool.blue, cool.red + 8);
  EXPECT_GT(cool.green, 200);
  EXPECT_GT(warm.red, warm.blue + 100);
  EXPECT_GT(warm.red, warm.green + 40);
}

}  // namespace
}  // namespace drumlet::testing
