// Reading and writing the five strings. TagLib speaks UTF-8 here; the
// strings cross the boundary in the system code page.
#include "suite/hobrin/tag_file.h"

#include <taglib/audioproperties.h>
#include <taglib/infotag.h>
#include <taglib/tag.h>
#include <taglib/wavfile.h>

#include <cstdlib>

#include "platform/base/codepage.h"

namespace {

std::string FromTag(const TagLib::String& text) {
  return Utf8ToAnsi(text.stripWhiteSpace().to8Bit(true));
}

TagLib::String ToTag(const std::string& text) {
  return TagLib::String(AnsiToUtf8(text), TagLib::String::UTF8);
}

}  // namespace

TagFile* TagFile::Open(const std::string& hostPath) {
  TagFile* file = new TagFile(hostPath);
  if (file->m_file.isNull() || file->m_file.tag() == nullptr) {
    delete file;
    return nullptr;
  }
  return file;
}

TagFile::TagFile(const std::string& hostPath)
    : m_hostPath(hostPath), m_file(hostPath.c_str(), true, TagLib::AudioProperties::Fast) {}

void TagFile::Destroy(DWORD) { delete this; }

BOOL TagFile::Read() {
  try {
    return ReadFile() ? TRUE : FALSE;
  } catch (...) {
    return FALSE;
  }
}

std::vector<TagLib::Tag*> TagFile::FileTags() {
  std::vector<TagLib::Tag*> tags;
  if (m_file.isNull() || m_file.tag() == nullptr) return tags;
  tags.push_back(m_file.tag());
  if (auto* wav = dynamic_cast<TagLib::RIFF::WAV::File*>(m_file.file())) {
    tags.push_back(wav->InfoTag());
  }
  return tags;
}

bool TagFile::ReadFile() {
  // The file as it is now, also after a write by someone else.
  m_file = TagLib::FileRef(m_hostPath.c_str(), true, TagLib::AudioProperties::Fast);
  const std::vector<TagLib::Tag*> tags = FileTags();
  if (tags.empty()) return false;
  for (std::string& text : m_text) text.clear();
  for (const TagLib::Tag* tag : tags) {
    auto take = [this](Field field, const std::string& text) {
      if (m_text[field].empty()) m_text[field] = text;
    };
    take(kTitle, FromTag(tag->title()));
    take(kArtist, FromTag(tag->artist()));
    take(kAlbum, FromTag(tag->album()));
    take(kYear, tag->year() != 0 ? std::to_string(tag->year()) : std::string());
    take(kGenre, FromTag(tag->genre()));
  }
  m_presence = 0;
  for (int field = 0; field < kFieldCount; ++field) {
    m_changed[field] = false;
    if (!m_text[field].empty()) m_presence |= DWORD{1} << field;
  }
  return true;
}

void TagFile::Set(Field field, const char* text) {
  try {
    m_text[field] = text != nullptr ? text : "";
    m_changed[field] = true;
  } catch (...) {
    // Out of memory: the string keeps its old text.
  }
}

BYTE TagFile::Write() {
  try {
    return WriteFile() ? TRUE : FALSE;
  } catch (...) {
    return FALSE;
  }
}

bool TagFile::WriteFile() {
  const std::vector<TagLib::Tag*> tags = FileTags();
  if (tags.empty()) return false;
  // The generic tag keeps a year as a number; anything else is no year.
  const auto year = static_cast<unsigned>(std::strtoul(m_text[kYear].c_str(), nullptr, 10));
  for (TagLib::Tag* tag : tags) {
    if (m_changed[kTitle]) tag->setTitle(ToTag(m_text[kTitle]));
    if (m_changed[kArtist]) tag->setArtist(ToTag(m_text[kArtist]));
    if (m_changed[kAlbum]) tag->setAlbum(ToTag(m_text[kAlbum]));
    if (m_changed[kYear]) tag->setYear(year);
    if (m_changed[kGenre]) tag->setGenre(ToTag(m_text[kGenre]));
  }
  if (!m_file.save()) return false;
  for (bool& changed : m_changed) changed = false;
  return true;
}

DWORD TagFile::GetLengthMs() {
  const TagLib::AudioProperties* audio = m_file.isNull() ? nullptr : m_file.audioProperties();
  return audio != nullptr && audio->lengthInMilliseconds() > 0
             ? static_cast<DWORD>(audio->lengthInMilliseconds())
             : 0;
}
