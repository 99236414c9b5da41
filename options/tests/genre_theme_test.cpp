// The genre-preference and theme groups: the built-in tables, the numbered
// registry values, the clean-ups of older versions, and the list accessors.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdio>

#include "options/tests/options_test_util.h"
#include "platform/testing/scratch.h"

namespace {

using namespace qap::options::testing;

const std::string kGenres = GroupKey("Jukemind");
const std::string kThemes = GroupKey("AdvancedJukemind");

std::string Numbered(const char* format, int index) {
  char name[64];
  std::snprintf(name, sizeof name, format, index);
  return name;
}

const char* const kDashedDescription =
    "get up and go tunes for the action-packed life \xE2\x80\x93 proactive themes from \"Whip "
    "It\" to \"That's Life\" to \"There's No Business Like Show Business\"";

class GenresAndThemes : public ::testing::Test {
 protected:
  qap::testing::ScratchHive m_hive;
};

// (The registry side of a first load is checked byte for byte by the
// first-run test.)
TEST_F(GenresAndThemes, AFirstLoadHandsOutTheBuiltInTables) {
  ASSERT_TRUE(LoadOptions());
  IAdvancedJukemindOption& themes = GetIAdvancedJukemindOption();
  EXPECT_EQ(themes.GetThemesCount(), 13u);
  EXPECT_EQ(themes.GetThemeName(12), "Xtreme: fuel injected sonic aggression for high speed use");
  EXPECT_EQ(themes.GetThemeDescription(7), kDashedDescription);
  EXPECT_FALSE(themes.GetThemeVal(0));
  IJukemindOption& genres = GetIJukemindOption();
  EXPECT_EQ(genres.GetGenresCount(), 12u);
  EXPECT_EQ(genres.GetGenreName(11), "Soundtracks");
  EXPECT_EQ(genres.GetGenreID(11), 12u);
  EXPECT_EQ(genres.GetGenreValue(0), 50u);
  EXPECT_FALSE(StoredNumber(HKEY_CURRENT_USER, kGenres, "Version").has_value());
}

// The registry keeps the dash as the character, which each process reads
// in its own code page.
TEST_F(GenresAndThemes, UnderWindows1252TheDashOfTheme7IsTheByte0x96) {
  setenv("QAP_ACP", "1252", 1);
  const bool loaded = LoadOptions();
  const auto western = StoredText(HKEY_CURRENT_USER, kThemes, "Theme_007_Description");
  unsetenv("QAP_ACP");
  ASSERT_TRUE(loaded);
  ASSERT_TRUE(western.has_value());
  EXPECT_EQ(western->substr(46, 3), " \x96 ");
  const auto utf8 = StoredText(HKEY_CURRENT_USER, kThemes, "Theme_007_Description");
  ASSERT_TRUE(utf8.has_value());
  EXPECT_EQ(utf8->substr(46, 5), " \xE2\x80\x93 ") << "the same dash";
}

TEST_F(GenresAndThemes, TheTwoLongestDescriptionsNeverFitAndAreRewrittenAtEveryLoad) {
  ASSERT_TRUE(LoadOptions());
  StoreText(HKEY_CURRENT_USER, kThemes, "Theme_006_Description", std::string(127, 'x'));
  StoreText(HKEY_CURRENT_USER, kThemes, "Theme_005_Description", std::string(126, 'y'));
  ASSERT_TRUE(LoadOptions());
  IAdvancedJukemindOption& themes = GetIAdvancedJukemindOption();
  EXPECT_EQ(themes.GetThemeDescription(5), std::string(126, 'y'));
  EXPECT_EQ(themes.GetThemeDescription(6).Left(16), "may incorporate ");
  EXPECT_EQ(StoredText(HKEY_CURRENT_USER, kThemes, "Theme_006_Description")->size(), 139u);
}

TEST_F(GenresAndThemes, MoreGenresThanBuiltInOnesGetTheNextIdsAndEmptyNames) {
  StoreNumber(HKEY_CURRENT_USER, kGenres, "GENRES_COUNT", 14);
  ASSERT_TRUE(LoadOptions());
  IJukemindOption& genres = GetIJukemindOption();
  ASSERT_EQ(genres.GetGenresCount(), 14u);
  for (int i : {12, 13}) {
    SCOPED_TRACE(i);
    EXPECT_EQ(genres.GetGenreID(i), static_cast<DWORD>(i + 1));
    EXPECT_EQ(genres.GetGenreName(i), "");
    EXPECT_EQ(genres.GetGenreValue(i), 50u);
    EXPECT_EQ(StoredNumber(HKEY_CURRENT_USER, kGenres, Numbered("Genre_%03u_ID", i).c_str()),
              static_cast<DWORD>(i + 1));
    EXPECT_EQ(StoredText(HKEY_CURRENT_USER, kGenres, Numbered("Genre_%03u_Name", i).c_str()), "");
  }
  EXPECT_EQ(genres.GetGenreID(14), 0u);
  EXPECT_EQ(genres.GetGenreID(-1), 0u);
}

TEST_F(GenresAndThemes, ADamagedCountIsTakenForAtMostAThousandEntries) {
  StoreNumber(HKEY_CURRENT_USER, kThemes, "ThemesCount", 0xFFFFFFFF);
  ASSERT_TRUE(LoadOptions());
  EXPECT_EQ(GetIAdvancedJukemindOption().GetThemesCount(), 1000u);
  EXPECT_TRUE(StoredNumber(HKEY_CURRENT_USER, kThemes, "Theme_999_Val").has_value());
  EXPECT_FALSE(StoredNumber(HKEY_CURRENT_USER, kThemes, "Theme_1000_Val").has_value());
}

TEST_F(GenresAndThemes, OlderVersionsStartTheirListsAfresh) {
  struct Case {
    const char* stamp;
    bool genresKept;
    bool themesKept;
  };
  for (const Case& c : {Case{"RELEASE:06.10", false, true}, Case{"RELEASE:04.00", false, false},
                        Case{"RELEASE:07.00", true, true}, Case{"RELEASE:00.09", true, true}}) {
    SCOPED_TRACE(c.stamp);
    StoreVersion(c.stamp);
    StoreNumber(HKEY_CURRENT_USER, kGenres, "GENRES_COUNT", 1);
    StoreNumber(HKEY_CURRENT_USER, kGenres + "\\Old\\Deeper", "X", 1);
    StoreNumber(HKEY_CURRENT_USER, kThemes, "ThemesCount", 2);
    StoreNumber(HKEY_CURRENT_USER, kThemes + "\\Old", "X", 1);
    ASSERT_TRUE(LoadOptions());
    EXPECT_EQ(KeyExists(HKEY_CURRENT_USER, kGenres + "\\Old"), c.genresKept);
    EXPECT_EQ(GetIJukemindOption().GetGenresCount(), c.genresKept ? 1u : 12u);
    EXPECT_EQ(KeyExists(HKEY_CURRENT_USER, kThemes + "\\Old"), c.themesKept);
    EXPECT_EQ(GetIAdvancedJukemindOption().GetThemesCount(), c.themesKept ? 2u : 13u);
  }
}

TEST_F(GenresAndThemes, ListSettersReportTheirListIdsAndIgnoreIndexesOutsideTheList) {
  ASSERT_TRUE(LoadOptions());
  IJukemindOption& genres = GetIJukemindOption();
  IAdvancedJukemindOption& themes = GetIAdvancedJukemindOption();
  CallbackRecorder genreCalls(genres);
  CallbackRecorder themeCalls(themes);

  genres.SetGenreID(2, 9);
  genres.SetGenreValue(2, 70);
  genres.SetGenreName(2, "rap/hip-hop");
  genres.SetGenreName(2, "rap/hip-hop");
  genres.SetTENDtoPREFER(4);
  genres.SetGenreID(12, 1);
  genres.SetGenreValue(-1, 1);
  EXPECT_EQ(genreCalls.ValueIds(), (std::vector<DWORD>{1002, 2002, 3002, 0}));
  EXPECT_EQ(genres.GetGenreName(2), "rap/hip-hop");

  themes.SetThemeVal(3, true);
  themes.SetThemeVal(3, true);
  themes.SetThemeName(4, "Mine");
  themes.SetThemeDescription(5, "Mine too");
  themes.SetThemeName(13, "ignored");
  themes.AddTheme("Added");
  EXPECT_EQ(themeCalls.ValueIds(), (std::vector<DWORD>{1003, 2004, 3005}));
  EXPECT_FALSE(themes.GetThemeVal(13));
  EXPECT_EQ(themes.GetThemeName(13), "Added");
}

TEST_F(GenresAndThemes, ASelectedFlagIsAnyNonZeroNumberAndIsSavedAsOne) {
  StoreNumber(HKEY_CURRENT_USER, kThemes, "Theme_000_Val", 5);
  ASSERT_TRUE(LoadOptions());
  IAdvancedJukemindOption& themes = GetIAdvancedJukemindOption();
  CallbackRecorder calls(themes);
  EXPECT_TRUE(themes.GetThemeVal(0));
  themes.SetThemeVal(0, true);
  EXPECT_TRUE(calls.Calls().empty());
  ASSERT_TRUE(SaveOptions());
  EXPECT_EQ(StoredNumber(HKEY_CURRENT_USER, kThemes, "Theme_000_Val"), 1u);
}

TEST_F(GenresAndThemes, AnAddedThemeIsSavedWithoutADescriptionAndDescriptionsAreNeverSaved) {
  ASSERT_TRUE(LoadOptions());
  IAdvancedJukemindOption& themes = GetIAdvancedJukemindOption();
  themes.AddTheme("Rainy Days: for the window seat");
  themes.SetThemeDescription(0, "changed");
  EXPECT_EQ(themes.GetThemesCount(), 14u);
  EXPECT_EQ(themes.GetThemeDescription(13), "");
  ASSERT_TRUE(SaveOptions());
  EXPECT_EQ(StoredNumber(HKEY_CURRENT_USER, kThemes, "ThemesCount"), 14u);
  EXPECT_EQ(StoredText(HKEY_CURRENT_USER, kThemes, "Theme_013_Name"), "Rainy Days: for the window seat");
  EXPECT_EQ(StoredNumber(HKEY_CURRENT_USER, kThemes, "Theme_013_Val"), 0u);
  EXPECT_FALSE(StoredText(HKEY_CURRENT_USER, kThemes, "Theme_013_Description").has_value());
  EXPECT_EQ(StoredText(HKEY_CURRENT_USER, kThemes, "Theme_000_Description"),
            "rock, R&B, pop, country selections");

  ASSERT_TRUE(LoadOptions());
  EXPECT_EQ(themes.GetThemeDescription(0), "rock, R&B, pop, country selections");
  EXPECT_EQ(themes.GetThemeName(13), "Rainy Days: for the window seat");
  EXPECT_EQ(StoredText(HKEY_CURRENT_USER, kThemes, "Theme_013_Description"), "");
}

TEST_F(GenresAndThemes, StampVersionMarksTheGenreKeyAsVersionOne) {
  ASSERT_TRUE(LoadOptions());
  StoreNumber(HKEY_CURRENT_USER, kGenres, "Version", 3);
  EXPECT_TRUE(GetIJukemindOption().StampVersion());
  EXPECT_EQ(StoredNumber(HKEY_CURRENT_USER, kGenres, "Version"), 1u);
}

}  // namespace
