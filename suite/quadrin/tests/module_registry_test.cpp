// The module registry: what registration writes, how hosts read it back
// (the registry view and the module list), and the clean failures of
// making an object for a module that is missing, broken or not registered.
#include <filesystem>

#include "platform/registry/reg_key.h"
#include "suite/quadrin/module_admin.h"
#include "suite/quadrin/tests/quadrin_test_support.h"

namespace {

using namespace quadrin_test;

std::string BinFile(const std::string& name) {
  return std::string(std::getenv("QAP_BIN_DIR")) + "/" + name;
}

std::vector<std::string> ModuleIds() {
  std::vector<char> slots(kMaxModules * kModuleIdSize, '\0');
  DWORD count = 0;
  EXPECT_EQ(EnumRegisteredModules(slots.data(), kModuleIdSize, &count), kQuadrinOk);
  std::vector<std::string> ids;
  for (DWORD i = 0; i < count; ++i) ids.emplace_back(slots.data() + i * kModuleIdSize);
  return ids;
}

void SetModuleFile(const std::string& shortId, const std::string& file, ModuleStyle style) {
  RegKey key;
  ASSERT_EQ(key.Create(HKEY_CURRENT_USER, ("SOFTWARE\\ZelVar\\Quadrin\\" + shortId).c_str()),
            ERROR_SUCCESS);
  RegSetValueExA(key.Get(), "module", 0, REG_SZ, reinterpret_cast<const BYTE*>(file.c_str()),
                 static_cast<DWORD>(file.size() + 1));
  RegSetValueExA(key.Get(), "style", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&style),
                 sizeof style);
}

TEST(ModuleRegistry, BuiltinModulesAreListedWithTheirStylesExtensionsAndDescriptions) {
  RegisteredModules modules;
  const std::vector<std::string> expected = {"MP3Reader",       "MP3Writer",       "QuadrinCDWriter",
                                             "QuadrinPortable", "QuadrinRecorder", "WAVReader",
                                             "WAVWriter",       "WMAReader",       "WMAWriter"};
  EXPECT_EQ(ModuleIds(), expected);

  CWMRegUtil registry;
  ASSERT_TRUE(registry.Open());
  std::vector<char> slots(kMaxModules * kModuleIdSize, '\0');
  ASSERT_EQ(registry.EnumSubItems("Quadrin", slots.data(), kMaxModules, kModuleIdSize), 9);
  EXPECT_STREQ(slots.data() + 7 * kModuleIdSize, "WMAReader");
  struct Case {
    const char* id;
    ModuleStyle style;
    const char* extensions;
    const char* description;
  };
  const Case cases[] = {
      {"WMAReader", kStyleReader, "wma", "WMA file format convertor - Format SDK Reader module"},
      {"MP3Writer", kStyleWriter, "mp3", "MP3 file format convertor - LAME Writer module"},
      {"QuadrinCDWriter", kStyleDevice, "", "Audio CD writer - CD-DA disc image with a CUE sheet"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    ASSERT_TRUE(registry.SetPath("Quadrin", c.id));
    ModuleStyle style = 0;
    char extensions[kExtensionListSize] = "x";
    char description[kModuleDescriptionSize] = "";
    EXPECT_TRUE(registry.GetValue("style", &style, sizeof style));
    EXPECT_TRUE(registry.GetValue("extensions", extensions, sizeof extensions));
    EXPECT_TRUE(registry.GetValue("description", description, sizeof description));
    EXPECT_EQ(style, c.style);
    EXPECT_STREQ(extensions, c.extensions);
    EXPECT_STREQ(description, c.description);
  }
  // Text is cut to the buffer; a missing key or value leaves it alone.
  char cut[4] = "";
  ASSERT_TRUE(registry.SetPath("Quadrin", "WMAReader"));
  EXPECT_TRUE(registry.GetValue("description", cut, sizeof cut));
  EXPECT_STREQ(cut, "WMA");
  EXPECT_FALSE(registry.GetValue("no such value", cut, sizeof cut));
  EXPECT_FALSE(registry.SetPath("Quadrin", "NoSuchModule"));
  EXPECT_FALSE(registry.GetValue("style", cut, sizeof cut));
  EXPECT_STREQ(cut, "WMA");
}

TEST(ModuleRegistry, AComponentRegistersUnderItsOwnNameAndCanBeRemoved) {
  qap::testing::ScratchHive hive;
  ModuleDescriptor registered{};
  char error[1024] = "";
  ASSERT_EQ(RegisterModuleFile(BinFile("libQuadrinMp3Reader.so").c_str(), &registered, error,
                               sizeof error),
            kQuadrinOk)
      << error;
  EXPECT_STREQ(registered.shortId, "MP3Reader");
  EXPECT_STREQ(registered.description, "MP3 file format convertor - FFmpeg Reader module");
  EXPECT_EQ(ModuleIds(), std::vector<std::string>{"MP3Reader"});
  {
    Object reader = Make("MP3Reader");
    ModuleStyle style = 0;
    ASSERT_TRUE(reader);
    EXPECT_EQ(reader->Command(kCmdGetStyle, &style), kQuadrinOk);
    EXPECT_EQ(style, kStyleReader);
  }
  EXPECT_EQ(UnregisterModule("MP3Reader"), kQuadrinOk);
  EXPECT_TRUE(ModuleIds().empty());
  EXPECT_NE(UnregisterModule("MP3Reader"), kQuadrinOk);
}

TEST(ModuleRegistry, FilesThatAreNotComponentsAreRefusedAndNothingIsWritten) {
  qap::testing::ScratchHive hive;
  qap::testing::ScratchDir dir;
  const std::string text = dir.Write("notes.so", "not a shared library");
  for (const std::string& file : {text, BinFile("libqap_base.so"), dir.File("missing.so")}) {
    SCOPED_TRACE(file);
    char error[1024] = "";
    EXPECT_NE(RegisterModuleFile(file.c_str(), nullptr, error, sizeof error), kQuadrinOk);
    EXPECT_NE(error[0], '\0');
  }
  EXPECT_TRUE(ModuleIds().empty());
}

TEST(ModuleRegistry, ObjectsOfMissingBrokenOrUnregisteredModulesAreRefusedCleanly) {
  RegisteredModules modules;
  qap::testing::ScratchDir dir;
  SetModuleFile("GoneReader", dir.File("libGone.so"), kStyleReader);
  SetModuleFile("TextReader", dir.Write("libText.so", "text"), kStyleReader);
  SetModuleFile("BaseReader", BinFile("libqap_base.so"), kStyleReader);
  SetModuleFile("NoFile", "", kStyleDevice);
  for (const char* id : {"GoneReader", "TextReader", "BaseReader", "NoFile", "Unregistered", ""}) {
    SCOPED_TRACE(id);
    ICommunication* object = reinterpret_cast<ICommunication*>(&modules);
    ModuleDescriptor descriptor;
    std::memset(&descriptor, 'x', sizeof descriptor);
    EXPECT_NE(CreateCommunicationObject(&object, id, &descriptor), kQuadrinOk);
    EXPECT_EQ(object, nullptr);
    EXPECT_STREQ(descriptor.shortId, "");
    EXPECT_STREQ(descriptor.description, "");
  }
  ModuleDescriptor descriptor{};
  ICommunication* object = nullptr;
  ASSERT_EQ(CreateCommunicationObject(&object, "QuadrinRecorder", &descriptor), kQuadrinOk);
  EXPECT_STREQ(descriptor.shortId, "QuadrinRecorder");
  EXPECT_STREQ(descriptor.description, "Recorder - prepares tracks for a device and burns them");
  // A pointer the layer did not make is not destroyed.
  int notAnObject = 0;
  DestroyCommunicationObject(reinterpret_cast<ICommunication*>(&notAnObject), 0);
  DestroyCommunicationObject(nullptr, 0);
  DestroyCommunicationObject(object, 0);
}

TEST(ModuleRegistry, TheModuleListStopsAtFiftySlotsAndSkipsIdsLongerThanASlot) {
  qap::testing::ScratchHive hive;
  for (int i = 0; i < 55; ++i) {
    char id[16];
    std::snprintf(id, sizeof id, "Module%02d", i);
    SetModuleFile(id, "x.so", kStyleReader);
  }
  SetModuleFile("AModuleWhoseShortIdIsLongerThanAllFortyNineBytesOfASlot", "x.so", kStyleReader);
  const std::vector<std::string> ids = ModuleIds();
  ASSERT_EQ(ids.size(), kMaxModules);
  EXPECT_EQ(ids.front(), "Module00");
  EXPECT_EQ(ids.back(), "Module49");
  CWMRegUtil registry;
  ASSERT_TRUE(registry.Open());
  std::vector<char> slots(kMaxModules * kModuleIdSize);
  EXPECT_EQ(registry.EnumSubItems("Quadrin", slots.data(), kMaxModules, kModuleIdSize), 50);
  EXPECT_STREQ(slots.data(), "Module00");
}

}  // namespace
