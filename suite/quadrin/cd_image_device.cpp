// The disc image writer: tracks are appended to the image and the CUE sheet
// is replaced whole after each, so that the sheet always describes audio
// that is completely in the image; a failed or aborted track is cut off
// again.
#include "suite/quadrin/cd_image_device.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "platform/base/codepage.h"
#include "platform/base/paths.h"
#include "platform/base/text_field.h"
#include "suite/quadrin/file_copy.h"

namespace quadrin {
namespace {

constexpr const char* kDeviceName = "Audio CD image";

std::uint32_t EndOf(const std::vector<CueTrack>& tracks) {
  std::uint32_t end = 0;
  for (const CueTrack& track : tracks) end = std::max(end, track.startSector + track.sectors);
  return end;
}

bool WriteSilence(int fd, std::uint64_t at, std::uint64_t bytes) {
  static const std::vector<char> kZeros(64 * 1024, '\0');
  while (bytes > 0) {
    const auto chunk = static_cast<size_t>(std::min<std::uint64_t>(bytes, kZeros.size()));
    const ssize_t written = pwrite(fd, kZeros.data(), chunk, static_cast<off_t>(at));
    if (written <= 0) return false;
    at += static_cast<std::uint64_t>(written);
    bytes -= static_cast<std::uint64_t>(written);
  }
  return true;
}

// The whole file; false with errno set when it cannot be read (ENOENT
// when it is not there).
bool ReadWhole(const std::string& hostPath, std::string* text) {
  std::FILE* file = std::fopen(hostPath.c_str(), "rb");
  if (file == nullptr) return false;
  char buffer[4096];
  while (size_t n = std::fread(buffer, 1, sizeof buffer, file)) text->append(buffer, n);
  const bool read = std::ferror(file) == 0;
  const int cause = errno;
  std::fclose(file);
  errno = cause;
  return read;
}

constexpr const char* kLeftAlone =
    "; the image and its sheet are left as they are (erase the disc, or move both away, to "
    "start a new one)";

}  // namespace

std::vector<std::string> CdImageModule::DeviceNames() { return {kDeviceName}; }

std::shared_ptr<Device> CdImageModule::Open(DWORD index, const char* imagePath,
                                            std::string* error) {
  if (index != 0) {
    *error = "the CD writer has one device, 0";
    return nullptr;
  }
  if (imagePath == nullptr || *imagePath == '\0') {
    *error = "the CD writer needs the path of its disc image";
    return nullptr;
  }
  const std::string host = ToHostPath(imagePath);
  namespace fs = std::filesystem;
  std::error_code failure;
  const fs::path path(host);
  if (host.empty() || path.filename().empty()) {
    *error = std::string(imagePath) + " does not name a file";
    return nullptr;
  }
  // A CUE sheet cannot quote a name with quotes in it.
  if (path.filename().string().find('"') != std::string::npos) {
    *error = "a disc image's name cannot contain '\"'";
    return nullptr;
  }
  const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
  if (!fs::is_directory(folder, failure) || fs::is_directory(path, failure)) {
    *error = "there is no folder for the disc image " + std::string(imagePath);
    return nullptr;
  }
  return std::make_shared<CdImageDevice>(imagePath, host);
}

CdImageDevice::CdImageDevice(std::string imageAnsi, std::string imageHost)
    : m_imageAnsi(std::move(imageAnsi)),
      m_imageHost(std::move(imageHost)),
      m_sheetHost(m_imageHost + ".cue") {}

bool CdImageDevice::Load(std::vector<CueTrack>* tracks, std::string* error) const {
  tracks->clear();
  struct stat image {};
  if (stat(m_imageHost.c_str(), &image) != 0 && errno != ENOENT) {
    *error = SystemError("cannot read the disc image " + m_imageAnsi);
    return false;
  }
  const auto imageBytes = static_cast<std::uint64_t>(image.st_size);
  std::string text;
  if (!ReadWhole(m_sheetHost, &text)) {
    if (errno != ENOENT) {
      *error = SystemError("cannot read the CUE sheet " + m_imageAnsi + ".cue");
      return false;
    }
    // No sheet: a blank disc, unless the image holds something that
    // nothing describes.
    if (imageBytes == 0) return true;
    *error = m_imageAnsi + " holds " + std::to_string(imageBytes) +
             " bytes but has no CUE sheet beside it, so what it holds is not known" + kLeftAlone;
    return false;
  }
  CueSheet sheet;
  std::string problem;
  if (!ParseCueSheet(text, imageBytes, &sheet, &problem)) {
    *error = m_imageAnsi + ".cue is not the CUE sheet of an audio CD image (" + problem + ")" +
             kLeftAlone;
    return false;
  }
  const std::string imageName = std::filesystem::path(m_imageHost).filename().string();
  // Names in the sheet are host names, as the image's own is.
  if (FileNameOf(sheet.fileName) != imageName) {
    *error = m_imageAnsi + ".cue describes another image, \"" + Utf8ToAnsi(sheet.fileName) +
             "\"" + kLeftAlone;
    return false;
  }
  // Audio past the sheet's end is what a burn that never finished left; a
  // sheet past the image's end describes audio that is not there.
  const std::uint64_t sheetBytes = std::uint64_t{EndOf(sheet.tracks)} * kCdSectorBytes;
  if (imageBytes < sheetBytes) {
    *error = m_imageAnsi + " is shorter than its CUE sheet says (" + std::to_string(imageBytes) +
             " of " + std::to_string(sheetBytes) + " bytes): it was cut or damaged" + kLeftAlone;
    return false;
  }
  *tracks = std::move(sheet.tracks);
  return true;
}

bool CdImageDevice::SaveSheet(const std::vector<CueTrack>& tracks, std::string* error) const {
  const std::string text =
      WriteCueSheet(std::filesystem::path(m_imageHost).filename().string(), tracks);
  const std::string temporary = m_sheetHost + ".new";
  std::FILE* file = std::fopen(temporary.c_str(), "wb");
  bool ok = file != nullptr && std::fwrite(text.data(), 1, text.size(), file) == text.size();
  if (file != nullptr) ok = std::fclose(file) == 0 && ok;
  // ext4 writes a file renamed over another out to disk at once, which
  // would cost every burned track a wait for the disk; exchanging the two
  // names replaces the sheet as atomically without that. The first sheet,
  // and a file system that cannot exchange, take the plain rename.
  if (ok && renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, m_sheetHost.c_str(), RENAME_EXCHANGE) == 0) {
    std::remove(temporary.c_str());
    return true;
  }
  if (ok && std::rename(temporary.c_str(), m_sheetHost.c_str()) == 0) return true;
  *error = SystemError("cannot write the CUE sheet " + m_imageAnsi + ".cue");
  std::remove(temporary.c_str());
  return false;
}

std::uint64_t CdImageDevice::FolderFree() const {
  const std::filesystem::path folder = std::filesystem::path(m_imageHost).parent_path();
  struct statvfs stats {};
  if (statvfs(folder.empty() ? "." : folder.c_str(), &stats) != 0) return 0;
  return static_cast<std::uint64_t>(stats.f_bavail) * stats.f_frsize;
}

std::uint64_t CdImageDevice::FreeSpace() {
  std::vector<CueTrack> tracks;
  std::string error;
  if (!Load(&tracks, &error)) return 0;
  const std::uint64_t used = std::uint64_t{EndOf(tracks)} * kCdSectorBytes;
  const std::uint64_t room = used < kCdCapacityBytes ? kCdCapacityBytes - used : 0;
  return std::min(room, FolderFree());
}

std::uint64_t CdImageDevice::SpaceFor(std::uint64_t bytes) const {
  const std::uint64_t sectors = (bytes + kCdSectorBytes - 1) / kCdSectorBytes;
  return std::max<std::uint64_t>(sectors, kCdMinTrackSectors) * kCdSectorBytes;
}

std::uint64_t CdImageDevice::NextTrackOffset() {
  std::vector<CueTrack> tracks;
  std::string error;
  return Load(&tracks, &error) ? std::uint64_t{EndOf(tracks)} * kCdSectorBytes : 0;
}

std::size_t CdImageDevice::TracksLeft() {
  std::vector<CueTrack> tracks;
  std::string error;
  if (!Load(&tracks, &error)) return 0;
  return tracks.size() < kCdMaxTracks ? kCdMaxTracks - tracks.size() : 0;
}

bool CdImageDevice::ListTracks(std::vector<TrackEntry>* entries, std::string* error) {
  std::vector<CueTrack> tracks;
  if (!Load(&tracks, error)) return false;
  entries->clear();
  for (size_t i = 0; i < tracks.size(); ++i) {
    const CueTrack& track = tracks[i];
    TrackEntry entry{};
    CopyToField(entry.sourcePath, sizeof entry.sourcePath, m_imageAnsi);
    entry.size = static_cast<DWORD>(
        std::min<std::uint64_t>(std::uint64_t{track.sectors} * kCdSectorBytes, 0xFFFFFFFF));
    entry.position = static_cast<DWORD>(i);
    const std::string title = Utf8ToAnsi(track.title);
    CopyToField(entry.name, sizeof entry.name,
             title.empty() ? "Track " + std::to_string(i + 1) : title);
    CopyToField(entry.tags.title, sizeof entry.tags.title, title);
    CopyToField(entry.tags.artist, sizeof entry.tags.artist, Utf8ToAnsi(track.performer));
    entry.tags.presence = (title.empty() ? 0 : kTagTitle) | (track.performer.empty() ? 0 : kTagArtist);
    entry.flags = kTrackOnDevice | (entry.tags.presence != 0 ? kTrackTagsRead : 0);
    entries->push_back(entry);
  }
  return true;
}

bool CdImageDevice::Store(const PreparedTrack& track, const ProgressFunction& progress,
                          const std::atomic<bool>& abort, std::string* error) {
  std::lock_guard operation(m_operationLock);
  std::vector<CueTrack> tracks;
  if (!Load(&tracks, error)) return false;
  if (tracks.size() >= kCdMaxTracks) {
    *error = "the disc holds " + std::to_string(kCdMaxTracks) + " tracks already";
    return false;
  }
  const std::uint32_t start = EndOf(tracks);
  const auto sectors = static_cast<std::uint32_t>(SpaceFor(track.bytes) / kCdSectorBytes);
  const std::uint64_t used = std::uint64_t{start} * kCdSectorBytes;
  const std::uint64_t bytes = std::uint64_t{sectors} * kCdSectorBytes;
  if (used + bytes > kCdCapacityBytes) {
    *error = "there is not enough room left on the disc";
    return false;
  }
  UniqueFd in(open(track.file.c_str(), O_RDONLY | O_CLOEXEC));
  if (!in) {
    *error = SystemError("cannot read the prepared track");
    return false;
  }
  UniqueFd out(open(m_imageHost.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644));
  if (!out) {
    *error = SystemError("cannot open the disc image " + m_imageAnsi);
    return false;
  }
  // Whatever lies past the table of contents is left over from a burn that
  // never finished. (Resizing costs a journal transaction, so only when
  // needed.)
  struct stat status {};
  if (fstat(out.Get(), &status) != 0 ||
      (static_cast<std::uint64_t>(status.st_size) != used &&
       ftruncate(out.Get(), static_cast<off_t>(used)) != 0)) {
    *error = SystemError("cannot write the disc image " + m_imageAnsi);
    return false;
  }
  const CopyResult copied =
      CopyInto(in.Get(), track.offset, out.Get(), used, track.bytes, progress, abort, error);
  if (copied == CopyResult::kAborted) *error = "aborted";
  if (copied == CopyResult::kFailed) *error = "cannot write the disc image " + m_imageAnsi + ": " + *error;
  // The rest of the last sector, and of a track shorter than the shortest
  // a CD allows, is silence.
  bool ok = copied == CopyResult::kDone && WriteSilence(out.Get(), used + track.bytes, bytes - track.bytes) &&
            out.Close();
  if (copied == CopyResult::kDone && !ok) {
    *error = SystemError("cannot write the disc image " + m_imageAnsi);
  }
  if (ok) {
    CueTrack added;
    const std::string_view title = FieldText(track.tags.title, sizeof track.tags.title);
    added.title = AnsiToUtf8(title.empty() ? std::string_view(track.name) : title);
    added.performer = AnsiToUtf8(FieldText(track.tags.artist, sizeof track.tags.artist));
    added.startSector = start;
    added.sectors = sectors;
    tracks.push_back(added);
    ok = SaveSheet(tracks, error);
  }
  if (!ok) {
    out.Close();
    truncate(m_imageHost.c_str(), static_cast<off_t>(used));
  }
  return ok;
}

bool CdImageDevice::Erase(const ProgressFunction& progress, const std::atomic<bool>&,
                          std::string* error) {
  std::lock_guard operation(m_operationLock);
  progress(0);
  // The sheet goes first: an image without one is an empty disc.
  if ((std::remove(m_sheetHost.c_str()) != 0 && errno != ENOENT) ||
      (std::remove(m_imageHost.c_str()) != 0 && errno != ENOENT)) {
    *error = SystemError("cannot erase the disc image " + m_imageAnsi);
    return false;
  }
  progress(100);
  return true;
}

}  // namespace quadrin
