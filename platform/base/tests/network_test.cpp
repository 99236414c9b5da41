// What this machine can reach as the network: the mount table read as
// drive kinds and mounted shares, and the network enumeration over the
// share table and the mounts, a buffer at a time.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/base/network_enum.h"
#include "platform/base/paths.h"
#include "platform/testing/scratch.h"

namespace {

using qap::testing::ScratchDir;
using qap::testing::ScratchHive;

// A mount table in mountinfo's format, used instead of the process's own.
class FakeMounts {
 public:
  explicit FakeMounts(const std::string& lines) {
    setenv("QAP_MOUNTINFO", m_dir.Write("mountinfo", lines).c_str(), 1);
  }
  ~FakeMounts() { unsetenv("QAP_MOUNTINFO"); }

 private:
  ScratchDir m_dir;
};

std::string Line(int id, const std::string& point, const std::string& type,
                 const std::string& source) {
  return std::to_string(id) + " 1 0:" + std::to_string(id) + " / " + point +
         " rw,relatime shared:1 - " + type + " " + source + " rw\n";
}

// Every entry of an enumeration, a buffer of bufferSize bytes at a time;
// calls counts the calls that gave entries.
std::vector<std::string> EnumerateAll(DWORD scope, NETRESOURCEA* below, DWORD bufferSize,
                                      int* calls, std::vector<DWORD>* displayTypes = nullptr) {
  std::vector<std::string> names;
  HANDLE enumeration = nullptr;
  EXPECT_EQ(WNetOpenEnumA(scope, RESOURCETYPE_ANY, 0, below, &enumeration), NO_ERROR);
  std::vector<NETRESOURCEA> buffer(bufferSize / sizeof(NETRESOURCEA) + 1);
  *calls = 0;
  for (;;) {
    DWORD count = 0xFFFFFFFF;
    DWORD size = bufferSize;
    DWORD result = WNetEnumResourceA(enumeration, &count, buffer.data(), &size);
    if (result == ERROR_NO_MORE_ITEMS) break;
    EXPECT_EQ(result, NO_ERROR);
    if (result != NO_ERROR) break;
    ++*calls;
    for (DWORD i = 0; i < count; ++i) {
      names.push_back(buffer[i].lpRemoteName);
      EXPECT_STREQ(buffer[i].lpProvider, kNetworkProviderName);
      if (displayTypes != nullptr) displayTypes->push_back(buffer[i].dwDisplayType);
    }
  }
  EXPECT_EQ(WNetCloseEnum(enumeration), NO_ERROR);
  EXPECT_EQ(WNetCloseEnum(enumeration), ERROR_INVALID_HANDLE) << "a closed enumeration is gone";
  return names;
}

TEST(Network, MountsGiveDriveKindsAndSharesThatUncPathsReach) {
  ScratchHive hive;
  ScratchDir disc, nfs, cifs, sshfs, local;
  FakeMounts mounts(Line(20, "/", "ext4", "/dev/vda") +
                    Line(21, disc.Path(), "iso9660", "/dev/sr0") +
                    Line(22, nfs.Path(), "nfs4", "nas:/srv/Music") +
                    Line(23, cifs.Path(), "cifs", "//Tower/Public") +
                    Line(24, sshfs.Path(), "fuse.sshfs", "me@laptop:"));
  ASSERT_TRUE(SetDriveMapping('D', disc.Path(), DRIVE_UNKNOWN));
  ASSERT_TRUE(SetDriveMapping('N', nfs.Path() + "/Rock", DRIVE_UNKNOWN));
  ASSERT_TRUE(SetDriveMapping('L', local.Path(), DRIVE_UNKNOWN));
  ASSERT_TRUE(SetDriveMapping('R', local.Path(), DRIVE_RAMDISK));
  EXPECT_EQ(GetDriveTypeA("D:\\"), DRIVE_CDROM);
  EXPECT_EQ(GetDriveTypeA("N:\\"), DRIVE_REMOTE) << "a folder inside a network mount";
  EXPECT_EQ(GetDriveTypeA("L:\\"), DRIVE_FIXED);
  EXPECT_EQ(GetDriveTypeA("R:\\"), DRIVE_RAMDISK) << "a type the table names stays";

  EXPECT_EQ(ToHostPath("\\\\NAS\\music\\a.mp3"), nfs.Path() + "/a.mp3");
  EXPECT_EQ(ToHostPath("\\\\tower\\Public\\x"), cifs.Path() + "/x");
  EXPECT_EQ(ToHostPath("\\\\laptop\\home"), sshfs.Path());
  ASSERT_TRUE(SetShareMapping("nas", "Music", local.Path()));
  EXPECT_EQ(ToHostPath("\\\\nas\\Music\\a.mp3"), local.Path() + "/a.mp3")
      << "the table comes first";

  int calls = 0;
  EXPECT_EQ(EnumerateAll(RESOURCE_CONTEXT, nullptr, 16384, &calls),
            (std::vector<std::string>{"\\\\laptop", "\\\\nas", "\\\\Tower"}));
  NETRESOURCEA server{RESOURCE_GLOBALNET, RESOURCETYPE_ANY, RESOURCEDISPLAYTYPE_SERVER,
                      RESOURCEUSAGE_CONTAINER, nullptr, const_cast<char*>("\\\\NAS"), nullptr,
                      nullptr};
  EXPECT_EQ(EnumerateAll(RESOURCE_GLOBALNET, &server, 16384, &calls),
            std::vector<std::string>{"\\\\nas\\Music"})
      << "a mounted share the table names too is listed once";
}

TEST(Network, TheGlobalNetworkHoldsTheServersAndEveryShareComesABufferAtATime) {
  ScratchHive hive;
  ScratchDir folder;
  FakeMounts none("");
  for (int i = 0; i < 50; ++i) {
    ASSERT_TRUE(SetShareMapping("vault", "s" + std::to_string(100 + i), folder.Path()));
  }
  int calls = 0;
  std::vector<DWORD> types;
  std::vector<std::string> top = EnumerateAll(RESOURCE_GLOBALNET, nullptr, 16384, &calls, &types);
  ASSERT_EQ(top, std::vector<std::string>{kNetworkProviderName});
  EXPECT_EQ(types, std::vector<DWORD>{RESOURCEDISPLAYTYPE_NETWORK});
  NETRESOURCEA network{RESOURCE_GLOBALNET, RESOURCETYPE_ANY, RESOURCEDISPLAYTYPE_NETWORK,
                       RESOURCEUSAGE_CONTAINER, nullptr,
                       const_cast<char*>(kNetworkProviderName), nullptr, nullptr};
  EXPECT_EQ(EnumerateAll(RESOURCE_GLOBALNET, &network, 16384, &calls),
            std::vector<std::string>{"\\\\vault"});

  NETRESOURCEA server{RESOURCE_GLOBALNET, RESOURCETYPE_ANY, RESOURCEDISPLAYTYPE_SERVER,
                      RESOURCEUSAGE_CONTAINER, nullptr, const_cast<char*>("\\\\vault"), nullptr,
                      nullptr};
  // Each entry takes its 48-byte record, "\\vault\s1nn" and the provider's
  // name, 73 bytes: 14 fit in 1024.
  std::vector<std::string> shares = EnumerateAll(RESOURCE_GLOBALNET, &server, 1024, &calls);
  ASSERT_EQ(shares.size(), 50u);
  EXPECT_EQ(shares.front(), "\\\\vault\\s100");
  EXPECT_EQ(shares.back(), "\\\\vault\\s149");
  EXPECT_EQ(calls, 4);

  HANDLE enumeration = nullptr;
  ASSERT_EQ(WNetOpenEnumA(RESOURCE_GLOBALNET, RESOURCETYPE_ANY, 0, &server, &enumeration),
            NO_ERROR);
  NETRESOURCEA small[1];
  DWORD count = 0xFFFFFFFF;
  DWORD size = 40;
  EXPECT_EQ(WNetEnumResourceA(enumeration, &count, small, &size), ERROR_MORE_DATA);
  EXPECT_EQ(size, sizeof(NETRESOURCEA) + sizeof("\\\\vault\\s100") + sizeof("QAP Network"))
      << "the size the next entry needs";
  WNetCloseEnum(enumeration);

  NETRESOURCEA stranger = server;
  stranger.lpRemoteName = const_cast<char*>("\\\\elsewhere");
  EXPECT_EQ(WNetOpenEnumA(RESOURCE_GLOBALNET, RESOURCETYPE_ANY, 0, &stranger, &enumeration),
            ERROR_BAD_NET_NAME);
  NETRESOURCEA share = server;
  share.dwUsage = RESOURCEUSAGE_CONNECTABLE;
  EXPECT_EQ(WNetOpenEnumA(RESOURCE_GLOBALNET, RESOURCETYPE_ANY, 0, &share, &enumeration),
            ERROR_NOT_CONTAINER);
}

}  // namespace
