// Track entries from files and the tag library's part in them.
#include "drumlet/track_entries.h"

#include <cctype>
#include <cstring>
#include <filesystem>

#include "drumlet/module_list.h"
#include "platform/base/paths.h"
#include "platform/base/text_field.h"

namespace drumlet {

namespace {

constexpr std::string_view kNameForbidden = "?\\/:\"*<>|";

void Copy(char* field, size_t size, const char* text) {
  CopyToField(field, size, text != nullptr ? text : "");
}

// The five strings as the tag library reads them; false when it cannot.
bool ReadTags(const std::string& path, TrackEntry* entry) {
  TagObjectPtr object(CreateHobrin(path.c_str()));
  if (!object || !object->Read()) return false;
  TagBlock& tags = entry->tags;
  Copy(tags.title, sizeof tags.title, object->GetTitle());
  Copy(tags.artist, sizeof tags.artist, object->GetArtist());
  Copy(tags.album, sizeof tags.album, object->GetAlbum());
  Copy(tags.year, sizeof tags.year, object->GetYear());
  Copy(tags.genre, sizeof tags.genre, object->GetGenre());
  tags.presence = kTagTitle | kTagArtist | kTagAlbum | kTagYear | kTagGenre;
  entry->flags |= kTrackTagsRead;
  return true;
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

}  // namespace

std::unique_ptr<TrackEntry> EntryForFile(const std::string& path, bool readTags,
                                         const std::vector<ModuleInfo>& readers) {
  const ModuleInfo* reader = ReaderForFile(readers, path);
  if (reader == nullptr || path.size() >= kTrackPathSize) return nullptr;
  auto entry = std::make_unique<TrackEntry>();
  std::memset(entry.get(), 0, sizeof *entry);
  CopyToField(entry->sourcePath, sizeof entry->sourcePath, path);
  if (readTags) ReadTags(path, entry.get());
  const std::string_view title = FieldText(entry->tags.title, sizeof entry->tags.title);
  if ((entry->flags & kTrackTagsRead) != 0 && !title.empty()) {
    CopyToField(entry->name, sizeof entry->name, title);
  } else {
    const std::string baseName = SplitPath(path).baseName;
    CopyToField(entry->name, sizeof entry->name, baseName);
    CopyToField(entry->tags.title, sizeof entry->tags.title, baseName);
  }
  std::memcpy(entry->readerId, reader->shortId, sizeof entry->readerId);
  std::error_code failure;
  const std::uintmax_t size = std::filesystem::file_size(ToHostPath(path), failure);
  entry->size = failure ? 0 : static_cast<DWORD>(size);
  return entry;
}

int TrackImageFor(std::string_view path) {
  const std::string extension = Lower(SplitPath(path).extension);
  static constexpr std::pair<std::string_view, int> kImages[] = {
      {".mp3", 1}, {".wav", 2}, {".wma", 3}, {".ra", 4}, {".mod", 5}, {".cda", 6}};
  for (const auto& [kind, image] : kImages) {
    if (extension == kind) return image;
  }
  return 0;
}

std::string OutputFileName(std::string_view trackName) {
  std::string name(trackName);
  for (char& c : name) {
    if (kNameForbidden.find(c) != std::string_view::npos) c = '_';
  }
  return name;
}

bool WriteTagsByLibrary(const std::string& file, const TagBlock& tags) {
  TagObjectPtr object(CreateHobrin(file.c_str()));
  if (!object) return true;
  object->SetTitle(std::string(FieldText(tags.title, sizeof tags.title)).c_str());
  object->SetArtist(std::string(FieldText(tags.artist, sizeof tags.artist)).c_str());
  object->SetAlbum(std::string(FieldText(tags.album, sizeof tags.album)).c_str());
  object->SetYear(std::string(FieldText(tags.year, sizeof tags.year)).c_str());
  object->SetGenre(std::string(FieldText(tags.genre, sizeof tags.genre)).c_str());
  return object->Write() != 0;
}

}  // namespace drumlet
