// The URL cracker: components, ports, the path with or without the extra
// information, file URLs and the failures callers rely on.
#include <gtest/gtest.h>

#include <string>

#include "platform/inet/wininet.h"

namespace {

struct Cracked {
  bool ok = false;
  DWORD error = 0;
  INTERNET_SCHEME scheme = INTERNET_SCHEME_DEFAULT;
  std::string host, path, extra;
  INTERNET_PORT port = 0;
};

Cracked Crack(const char* url, bool wantExtra, DWORD flags = 0) {
  char host[256] = {}, path[1024] = {}, extra[256] = {};
  URL_COMPONENTSA parts{};
  parts.dwStructSize = sizeof parts;
  parts.lpszHostName = host;
  parts.dwHostNameLength = sizeof host;
  parts.lpszUrlPath = path;
  parts.dwUrlPathLength = sizeof path;
  if (wantExtra) {
    parts.lpszExtraInfo = extra;
    parts.dwExtraInfoLength = sizeof extra;
  }
  Cracked result;
  result.ok = InternetCrackUrlA(url, 0, flags, &parts) != FALSE;
  result.error = result.ok ? 0 : GetLastError();
  result.scheme = parts.nScheme;
  result.host = host;
  result.path = path;
  result.extra = extra;
  result.port = parts.nPort;
  return result;
}

TEST(UrlCrack, SplitsAnHttpUrlAndKeepsTheQueryInThePathUnlessAskedApart) {
  Cracked whole = Crack("http://www.lokbin.test:8080/get_ulhost/lb/?a=1&b=2#top", false);
  ASSERT_TRUE(whole.ok);
  EXPECT_EQ(whole.scheme, INTERNET_SCHEME_HTTP);
  EXPECT_EQ(whole.host, "www.lokbin.test");
  EXPECT_EQ(whole.port, 8080);
  EXPECT_EQ(whole.path, "/get_ulhost/lb/?a=1&b=2#top");

  Cracked apart = Crack("https://user:pw@h.test/a%20b?q", true, ICU_DECODE);
  ASSERT_TRUE(apart.ok);
  EXPECT_EQ(apart.scheme, INTERNET_SCHEME_HTTPS);
  EXPECT_EQ(apart.host, "h.test");
  EXPECT_EQ(apart.port, 443);
  EXPECT_EQ(apart.path, "/a b");
  EXPECT_EQ(apart.extra, "?q");
}

TEST(UrlCrack, PointsIntoTheUrlWhenNoBufferIsGiven) {
  const char* url = "http://h.test/x/y.mp3";
  URL_COMPONENTSA parts{};
  parts.dwStructSize = sizeof parts;
  parts.dwHostNameLength = 1;
  parts.dwUrlPathLength = 1;
  ASSERT_TRUE(InternetCrackUrlA(url, 0, 0, &parts));
  EXPECT_EQ(std::string(parts.lpszHostName, parts.dwHostNameLength), "h.test");
  EXPECT_EQ(std::string(parts.lpszUrlPath, parts.dwUrlPathLength), "/x/y.mp3");
  EXPECT_EQ(parts.lpszUrlPath, url + 13);
}

TEST(UrlCrack, FileUrlsCarryTheLocalPath) {
  EXPECT_EQ(Crack("file:///home/u/a%20b.mp3", false, ICU_DECODE).path, "/home/u/a b.mp3");
  // Never a name cut short by a decoded zero.
  EXPECT_EQ(Crack("file:///home/u/a.mp3%00.txt", false, ICU_DECODE).path,
            "/home/u/a.mp3%00.txt");
  Cracked drive = Crack("file:///C:/Music/a.wav", false);
  EXPECT_EQ(drive.scheme, INTERNET_SCHEME_FILE);
  EXPECT_EQ(drive.path, "C:/Music/a.wav");
}

TEST(UrlCrack, RefusesTextWithoutSchemeAndNetworkUrlsWithoutHostOrWithABadPort) {
  EXPECT_EQ(Crack("", false).error, ERROR_INTERNET_UNRECOGNIZED_SCHEME);
  EXPECT_EQ(Crack("/home/u/song.mp3", false).error, ERROR_INTERNET_UNRECOGNIZED_SCHEME);
  EXPECT_EQ(Crack("http:///path", false).error, ERROR_INTERNET_INVALID_URL);
  EXPECT_EQ(Crack("http://h.test:99999/", false).error, ERROR_INTERNET_INVALID_URL);
  EXPECT_EQ(Crack("http://h.test:8x/", false).error, ERROR_INTERNET_INVALID_URL);
  // A Windows path cracks as an unknown scheme: callers look at the scheme.
  EXPECT_EQ(Crack("C:\\Music\\a.mp3", false).scheme, INTERNET_SCHEME_UNKNOWN);
}

TEST(UrlCrack, ReportsTheSizeNeededWhenACopyDoesNotFit) {
  char host[4];
  URL_COMPONENTSA parts{};
  parts.dwStructSize = sizeof parts;
  parts.lpszHostName = host;
  parts.dwHostNameLength = sizeof host;
  EXPECT_FALSE(InternetCrackUrlA("http://longhost.test/", 0, 0, &parts));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(parts.dwHostNameLength, 14u);
}

}  // namespace
