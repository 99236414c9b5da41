// CString: the framework's clamping rules, case handling beyond ASCII and
// the buffer protocol.
#include <gtest/gtest.h>

#include <string>

#include "platform/base/collections.h"
#include "platform/base/cstring.h"

namespace {

TEST(CString, SubstringsClampOutOfRangeArgumentsInsteadOfFailing) {
  CString text("Jukebox");
  EXPECT_STREQ(text.Left(4), "Juke");
  EXPECT_STREQ(text.Left(99), "Jukebox");
  EXPECT_STREQ(text.Left(-1), "");
  EXPECT_STREQ(text.Mid(4), "box");
  EXPECT_STREQ(text.Mid(4, 99), "box");
  EXPECT_STREQ(text.Mid(99), "");
  EXPECT_STREQ(text.Mid(-3, 2), "Ju");
  EXPECT_STREQ(text.Right(3), "box");
  EXPECT_STREQ(text.Right(99), "Jukebox");
  EXPECT_EQ(text.GetAt(99), '\0');
}

TEST(CString, FindReportsPositionsOrMinusOne) {
  CString text("a\\b\\c.mp3");
  EXPECT_EQ(text.Find('\\'), 1);
  EXPECT_EQ(text.Find('\\', 2), 3);
  EXPECT_EQ(text.Find('\\', 99), -1);
  EXPECT_EQ(text.Find(".mp3"), 5);
  EXPECT_EQ(text.Find("wav"), -1);
  EXPECT_EQ(text.ReverseFind('\\'), 3);
  EXPECT_EQ(text.FindOneOf(".\\"), 1);
}

TEST(CString, CaseChangesAndComparisonsCoverNonAsciiLetters) {
  CString word("Straße Ärger");
  EXPECT_STREQ(CString(word).MakeUpper(), "STRAßE ÄRGER");  // ß has no one-letter capital
  EXPECT_STREQ(CString(word).MakeLower(), "straße ärger");
  EXPECT_EQ(CString("ÄRGER").CompareNoCase("ärger"), 0);
  EXPECT_LT(CString("apple").CompareNoCase("BANANA"), 0);
  EXPECT_GT(CString("b").Compare("B"), 0);
  // Bytes that are not text in the code page survive a case change.
  CString broken("ab\xFF" "cd");
  EXPECT_STREQ(broken.MakeUpper(), "AB\xFF" "CD");
}

TEST(CString, FormatHandlesTextsLongerThanAnyFixedBuffer) {
  std::string longText(5000, 'x');
  CString text;
  text.Format("%s-%d-%05.1f", longText.c_str(), 42, 3.14159);
  EXPECT_EQ(text.GetLength(), 5000 + 9);
  EXPECT_STREQ(text.Right(9), "-42-003.1");
}

TEST(CString, EditingOperationsComposeAsTheFrameworkDoes) {
  CString text("  one two one  ");
  text.Trim();
  EXPECT_STREQ(text, "one two one");
  EXPECT_EQ(text.Replace("one", "three"), 2);
  EXPECT_STREQ(text, "three two three");
  EXPECT_EQ(text.Remove('e'), 4);
  text.Insert(0, ">");
  text.Delete(1, 3);
  EXPECT_STREQ(text, "> two thr");
  CString joined = "a" + CString("b") + 'c' + "d";
  joined += CString("e");
  EXPECT_STREQ(joined, "abcde");
  EXPECT_TRUE(joined == "abcde");
}

TEST(CString, BufferProtocolTakesTheWrittenLength) {
  CString text;
  char* buffer = text.GetBuffer(16);
  std::snprintf(buffer, 17, "%s", "written");
  text.ReleaseBuffer();
  EXPECT_EQ(text.GetLength(), 7);
  buffer = text.GetBuffer(0);
  buffer[3] = '\0';
  text.ReleaseBuffer(5);
  EXPECT_EQ(text.GetLength(), 5);
  text.ReleaseBuffer(-1);
  EXPECT_STREQ(text, "wri");
}

TEST(Arrays, OutOfRangeAccessIsHarmlessAndSetAtGrowExtends) {
  CStringArray names;
  names.Add("a");
  names.SetAtGrow(3, "d");
  EXPECT_EQ(names.GetSize(), 4);
  EXPECT_STREQ(names.GetAt(3), "d");
  EXPECT_STREQ(names.GetAt(9), "");
  names.SetAt(9, "ignored");
  names.RemoveAt(1, 2);
  EXPECT_EQ(names.GetSize(), 2);
  names.InsertAt(1, "b");
  EXPECT_STREQ(names[1], "b");

  CDWordArray flags;
  flags.Add(1);
  EXPECT_EQ(flags.GetAt(-1), 0u);
  CDWordArray copy;
  copy.Copy(flags);
  EXPECT_TRUE(copy == flags);
}

}  // namespace
