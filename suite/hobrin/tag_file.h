// The tag object of one audio file over TagLib's generic tag (which covers
// ID3 in MP3, ASF attributes in WMA, Vorbis comments, MP4 atoms and the rest
// TagLib knows). A WAV file's generic tag is its ID3 chunk only, while most
// WAV files carry their tags in the RIFF INFO chunk: both are read (the ID3
// tag first) and both are written.
#pragma once

#include <taglib/fileref.h>

#include <string>
#include <vector>

#include "drumlet/transfer_layer.h"

class TagFile final : public TagObject {
 public:
  // Null when TagLib cannot take the file.
  static TagFile* Open(const std::string& hostPath);

  void Destroy(DWORD reserved) override;
  DWORD GetPresence() override { return m_presence; }
  BOOL Read() override;
  BYTE Write() override;
  const char* GetTitle() override { return Text(kTitle); }
  const char* GetGenre() override { return Text(kGenre); }
  const char* GetArtist() override { return Text(kArtist); }
  const char* GetAlbum() override { return Text(kAlbum); }
  const char* GetYear() override { return Text(kYear); }
  DWORD GetLengthMs() override;
  void SetTitle(const char* text) override { Set(kTitle, text); }
  void SetGenre(const char* text) override { Set(kGenre, text); }
  void SetArtist(const char* text) override { Set(kArtist, text); }
  void SetAlbum(const char* text) override { Set(kAlbum, text); }
  void SetYear(const char* text) override { Set(kYear, text); }

 private:
  // In TagBlock order, so that a field's presence bit is 1 << field.
  enum Field { kTitle, kArtist, kAlbum, kYear, kGenre, kFieldCount };

  explicit TagFile(const std::string& hostPath);
  ~TagFile() = default;
  // The file's tags, the one read first in front.
  std::vector<TagLib::Tag*> FileTags();
  bool ReadFile();
  bool WriteFile();
  const char* Text(Field field) const { return m_text[field].c_str(); }
  void Set(Field field, const char* text);

  std::string m_hostPath;
  TagLib::FileRef m_file;
  std::string m_text[kFieldCount];       // system code page
  bool m_changed[kFieldCount] = {};      // set since the last write
  DWORD m_presence = 0;
};
