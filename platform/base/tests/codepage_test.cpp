// Code page conversions: the 1252 table, malformed input, buffer bounds.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>

#include "platform/base/codepage.h"
#include "platform/base/last_error.h"

namespace {

class AcpGuard {
 public:
  explicit AcpGuard(const char* value) { setenv("QAP_ACP", value, 1); }
  ~AcpGuard() { unsetenv("QAP_ACP"); }
};

TEST(CodePage, SystemCodePageIsUtf8UnlessAcp1252IsSet) {
  EXPECT_EQ(GetACP(), CP_UTF8);
  AcpGuard guard("1252");
  EXPECT_EQ(GetACP(), CP_1252);
}

TEST(CodePage, EveryByteFrom80To9FOfWindows1252MapsAndRoundTrips) {
  const char16_t expected[32] = {
      0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
      0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
      0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
  for (int byte = 0x80; byte <= 0x9F; ++byte) {
    SCOPED_TRACE(byte);
    std::string one(1, static_cast<char>(byte));
    std::u16string wide = AnsiToWide(one, CP_1252);
    ASSERT_EQ(wide.size(), 1u);
    EXPECT_EQ(wide[0], expected[byte - 0x80]);
    EXPECT_EQ(WideToAnsi(wide, CP_1252), one);
  }
  // Through the system code page, as the deliverables call it.
  AcpGuard guard("1252");
  EXPECT_EQ(WideToAnsi(u"\u2013"), "\x96");
  EXPECT_EQ(AnsiToWide("caf\xe9"), u"caf\u00e9");
}

TEST(CodePage, Windows1252ReplacesWhatItCannotHoldWithTheDefaultCharacter) {
  BOOL usedDefault = FALSE;
  char out[8] = {};
  int written = WideCharToMultiByte(CP_1252, 0, u"a\u4e2db", 3, out, sizeof out, nullptr,
                                    &usedDefault);
  EXPECT_EQ(written, 3);
  EXPECT_EQ(std::string(out, 3), "a?b");
  EXPECT_TRUE(usedDefault);
}

TEST(CodePage, MalformedUtf8BecomesReplacementCharactersWithoutEatingGoodText) {
  struct Case {
    const char* name;
    std::string input;
    std::u16string expected;
  };
  const Case cases[] = {
      {"lone continuation byte", "a\x80z", u"a\uFFFDz"},
      {"truncated sequence at the end", "a\xE2\x82", u"a\uFFFD\uFFFD"},
      {"truncated sequence before ASCII", "\xE2\x82x", u"\uFFFD\uFFFDx"},
      {"overlong slash", "\xC0\xAF", u"\uFFFD\uFFFD"},
      {"encoded surrogate", "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},
      {"beyond U+10FFFF", "\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
      {"invalid lead bytes", "\xFE\xFF", u"\uFFFD\uFFFD"},
      {"four-byte character", "\xF0\x9F\x8E\xB5", u"\U0001F3B5"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(AnsiToWide(c.input, CP_UTF8), c.expected);
  }
}

TEST(CodePage, LoneSurrogatesBecomeTheReplacementCharacterInUtf8) {
  std::u16string lone = u"x";
  lone.push_back(static_cast<char16_t>(0xD800));
  lone += u"y";
  EXPECT_EQ(WideToAnsi(lone, CP_UTF8), "x\xEF\xBF\xBDy");
}

TEST(CodePage, ConversionsRespectTheCallersBufferAndReportTheNeededSize) {
  const char* text = "h\xC3\xA9llo";  // 5 characters, 6 bytes
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0), 6);  // with the NUL
  char16_t small[4];
  char16_t guard = u'#';
  small[3] = guard;
  SetLastError(0);
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, text, -1, small, 3), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(small[3], guard);

  char16_t exact[6];
  ASSERT_EQ(MultiByteToWideChar(CP_UTF8, 0, text, -1, exact, 6), 6);
  EXPECT_EQ(std::u16string(exact), u"h\u00e9llo");

  char narrow[3];
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, u"\u00e9\u00e9", 2, narrow, 3, nullptr, nullptr), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, u"\u00e9\u00e9", 2, nullptr, 0, nullptr, nullptr), 4);
}

TEST(CodePage, BadArgumentsFailCleanly) {
  char16_t out[4];
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, nullptr, -1, out, 4), 0);
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "abc", 3, nullptr, 4), 0);
  EXPECT_EQ(MultiByteToWideChar(437, 0, "abc", 3, out, 4), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

}  // namespace
