// The ASF header object and its file properties object: GUIDs and
// little-endian fields at fixed places.
#include "platform/media/asf_header.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/media/av_handles.h"

namespace qap::media {
namespace {

// {75B22630-668E-11CF-A6D9-00AA0062CE6C} and
// {8CABDCA1-A947-11CF-8EE4-00C00C205365}, as they lie on disk.
constexpr unsigned char kHeaderObject[16] = {0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11,
                                             0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
constexpr unsigned char kFilePropertiesObject[16] = {0xA1, 0xDC, 0xAB, 0x8C, 0x47, 0xA9,
                                                     0xCF, 0x11, 0x8E, 0xE4, 0x00, 0xC0,
                                                     0x0C, 0x20, 0x53, 0x65};
constexpr std::size_t kHeaderObjectBytes = 30;  // GUID, size, count, two reserved bytes
constexpr std::size_t kObjectHeadBytes = 24;    // GUID, size
constexpr std::size_t kFilePropertiesBytes = 104;
// Headers are a few kilobytes; one that claims more is not believed.
constexpr std::uint64_t kMaxHeaderBytes = 16 << 20;
// A broadcast's sizes and durations are not known when its header is made.
constexpr std::uint32_t kBroadcastFlag = 1;

std::uint64_t Le(const unsigned char* bytes, int size) {
  std::uint64_t value = 0;
  for (int i = size - 1; i >= 0; --i) value = value << 8 | bytes[i];
  return value;
}

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

HRESULT ReadError(std::FILE* file) {
  return std::ferror(file) != 0 ? HResultFromWin32(Win32ErrorOfErrno(errno)) : kMediaInvalidData;
}

}  // namespace

HRESULT ReadAsfFileProperties(const std::string& hostPath, AsfFileProperties* properties) {
  *properties = AsfFileProperties{};
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(hostPath.c_str(), "rb"));
  if (!file) return HResultFromWin32(Win32ErrorOfErrno(errno));
  unsigned char head[kHeaderObjectBytes];
  const std::size_t got = std::fread(head, 1, sizeof head, file.get());
  if (got < sizeof kHeaderObject) {
    return std::ferror(file.get()) != 0 ? ReadError(file.get()) : kMediaNotAsf;
  }
  if (std::memcmp(head, kHeaderObject, sizeof kHeaderObject) != 0) return kMediaNotAsf;
  if (got < sizeof head) return kMediaInvalidData;
  const std::uint64_t headerBytes = Le(head + 16, 8);
  if (headerBytes < kHeaderObjectBytes || headerBytes > kMaxHeaderBytes) return kMediaInvalidData;
  std::vector<unsigned char> header(static_cast<std::size_t>(headerBytes - kHeaderObjectBytes));
  if (std::fread(header.data(), 1, header.size(), file.get()) != header.size()) {
    return ReadError(file.get());
  }
  if (std::fseek(file.get(), 0, SEEK_END) != 0) return ReadError(file.get());
  const long size = std::ftell(file.get());
  if (size < 0) return ReadError(file.get());
  properties->actualSize = static_cast<std::uint64_t>(size);
  for (std::size_t at = 0; at + kObjectHeadBytes <= header.size();) {
    const unsigned char* object = header.data() + at;
    const std::uint64_t objectBytes = Le(object + 16, 8);
    if (objectBytes < kObjectHeadBytes || objectBytes > header.size() - at) {
      return kMediaInvalidData;
    }
    if (std::memcmp(object, kFilePropertiesObject, sizeof kFilePropertiesObject) == 0) {
      if (objectBytes < kFilePropertiesBytes) return kMediaInvalidData;
      const auto flags = static_cast<std::uint32_t>(Le(object + 88, 4));
      if ((flags & kBroadcastFlag) == 0) {
        properties->declaredSize = Le(object + 40, 8);
        // The play duration counts the preroll (milliseconds) in front of
        // the first sample; the SDK's "Duration" does not.
        const std::uint64_t play = Le(object + 64, 8);
        const std::uint64_t preroll = Le(object + 80, 8) * 10000;
        properties->duration = play > preroll ? play - preroll : 0;
        properties->durationKnown = play != 0;
      }
      return S_OK;
    }
    at += static_cast<std::size_t>(objectBytes);
  }
  // Every ASF header has its file properties.
  return kMediaInvalidData;
}

}  // namespace qap::media
