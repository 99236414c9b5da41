// The tag object: the five strings written and read back in every format
// the suite converts to and a few more TagLib handles; strings a host did
// not set are kept; files TagLib cannot take give no object.
#include <gtest/gtest.h>

#include <memory>

#include "converters/tests/converter_test_support.h"
#include "drumlet/transfer_layer.h"
#include "platform/testing/scratch.h"

namespace {

using Tags = TagObjectPtr;

Tags Open(const std::string& path) { return Tags(CreateHobrin(path.c_str())); }

std::string MakeAudio(const qap::testing::ScratchDir& dir, const std::string& name,
                      const std::vector<std::string>& codec) {
  const std::string path = dir.File(name);
  std::vector<std::string> args = {"-f", "lavfi", "-i", "sine=frequency=440:duration=1", "-ac", "2"};
  args.insert(args.end(), codec.begin(), codec.end());
  args.push_back(path);
  EXPECT_TRUE(converter_test::RunFfmpeg(args)) << name;
  return path;
}

TEST(Hobrin, TheFiveStringsAreWrittenAndReadBackInEveryFormat) {
  qap::testing::ScratchDir dir;
  const std::vector<std::pair<std::string, std::vector<std::string>>> files = {
      {"a.mp3", {"-c:a", "libmp3lame"}}, {"a.wma", {"-c:a", "wmav2"}},
      {"a.wav", {}},                     {"a.flac", {}},
      {"a.ogg", {"-c:a", "libvorbis"}},  {"a.m4a", {"-c:a", "aac"}},
  };
  for (const auto& [name, codec] : files) {
    SCOPED_TRACE(name);
    const std::string path = MakeAudio(dir, name, codec);
    {
      Tags tags = Open(path);
      ASSERT_TRUE(tags);
      tags->SetTitle("Title \xC3\xA9t\xC3\xA9");
      tags->SetArtist("Artist");
      tags->SetAlbum("Album");
      tags->SetYear("1999");
      tags->SetGenre("Jazz");
      ASSERT_TRUE(tags->Write());
    }
    Tags tags = Open(path);
    ASSERT_TRUE(tags);
    ASSERT_TRUE(tags->Read());
    EXPECT_STREQ(tags->GetTitle(), "Title \xC3\xA9t\xC3\xA9");
    EXPECT_STREQ(tags->GetArtist(), "Artist");
    EXPECT_STREQ(tags->GetAlbum(), "Album");
    EXPECT_STREQ(tags->GetYear(), "1999");
    EXPECT_STREQ(tags->GetGenre(), "Jazz");
    EXPECT_EQ(tags->GetPresence(), kTagTitle | kTagArtist | kTagAlbum | kTagYear | kTagGenre);
    EXPECT_NEAR(tags->GetLengthMs(), 1000, 100);
  }
}

TEST(Hobrin, StringsNotSetAreKeptAndAnEmptyOneRemovesItsTag) {
  qap::testing::ScratchDir dir;
  const std::string path = MakeAudio(dir, "b.mp3", {"-c:a", "libmp3lame", "-metadata", "title=Old",
                                                    "-metadata", "artist=Kept"});
  {
    Tags tags = Open(path);
    ASSERT_TRUE(tags && tags->Read());
    EXPECT_EQ(tags->GetPresence(), kTagTitle | kTagArtist);
    EXPECT_STREQ(tags->GetAlbum(), "");
    tags->SetTitle("New");
    tags->SetAlbum("");
    ASSERT_TRUE(tags->Write());
  }
  Tags tags = Open(path);
  ASSERT_TRUE(tags && tags->Read());
  EXPECT_STREQ(tags->GetTitle(), "New");
  EXPECT_STREQ(tags->GetArtist(), "Kept");
  EXPECT_EQ(tags->GetPresence(), kTagTitle | kTagArtist);
}

TEST(Hobrin, AWavFilesRiffInfoTagsAreReadAsItsTags) {
  qap::testing::ScratchDir dir;
  const std::string path =
      MakeAudio(dir, "c.wav", {"-metadata", "title=Info title", "-metadata", "artist=Info artist"});
  Tags tags = Open(path);
  ASSERT_TRUE(tags && tags->Read());
  EXPECT_STREQ(tags->GetTitle(), "Info title");
  EXPECT_STREQ(tags->GetArtist(), "Info artist");
}

TEST(Hobrin, FilesThatAreMissingOrNotAudioGiveNoObject) {
  qap::testing::ScratchDir dir;
  EXPECT_FALSE(Open(dir.File("missing.mp3")));
  EXPECT_FALSE(Open(dir.Write("notes.txt", "just text")));
  EXPECT_FALSE(Open(dir.Path()));
  EXPECT_EQ(CreateHobrin(nullptr), nullptr);
  DestroyHobrin(nullptr);
}

}  // namespace
