// TagLib picks the reader by the file's extension and content (MP3, WMA,
// WAV, FLAC, Ogg, MP4 and the rest it knows); a file it cannot take, or one
// in which it finds no audio stream, is not a song.
#include "suite/musicdb/ansimo/tag_reader.h"

#include <sys/stat.h>
#include <taglib/audioproperties.h>
#include <taglib/fileref.h>
#include <taglib/infotag.h>
#include <taglib/tag.h>
#include <taglib/wavfile.h>

#include <string>

#include "platform/base/paths.h"
#include "suite/musicdb/core/text_codec.h"

namespace qap::musicdb {
namespace {

CString FromTag(const TagLib::String& text, const TextCodec& codec) {
  return codec.FromDb(text.stripWhiteSpace().to8Bit(true));
}

void ReadTag(const TagLib::Tag& tag, const TextCodec& codec, SongRecord* song) {
  if (song->GetTitle().IsEmpty()) song->SetTitle(FromTag(tag.title(), codec));
  if (song->GetArtist().IsEmpty()) song->SetArtist(FromTag(tag.artist(), codec));
  if (song->GetAlbum().IsEmpty()) song->SetAlbum(FromTag(tag.album(), codec));
  if (song->GetGenre().IsEmpty()) song->SetGenre(FromTag(tag.genre(), codec));
  if (song->GetTrackNumber() == 0) song->SetTrackNumber(static_cast<int>(tag.track()));
  if (song->GetYear() == 0) song->SetYear(static_cast<int>(tag.year()));
}

}  // namespace

bool ReadSongFile(const CString& path, SongRecord* song) {
  const std::string host = ToHostPath(path.str());
  struct stat status {};
  if (host.empty() || stat(host.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) return false;
  TagLib::FileRef file(host.c_str(), true, TagLib::AudioProperties::Average);
  if (file.isNull() || file.audioProperties() == nullptr) return false;
  const TagLib::AudioProperties& audio = *file.audioProperties();
  if (audio.sampleRate() <= 0 || audio.channels() <= 0) return false;

  const TextCodec codec;
  *song = SongRecord();
  song->SetPath(path);
  if (const TagLib::Tag* tag = file.tag(); tag != nullptr) ReadTag(*tag, codec, song);
  // A WAV file's usual tags are its RIFF INFO chunk, which TagLib keeps
  // apart from the ID3 tag it reports first.
  if (const auto* wav = dynamic_cast<const TagLib::RIFF::WAV::File*>(file.file());
      wav != nullptr && wav->hasInfoTag())
    ReadTag(*wav->InfoTag(), codec, song);
  if (song->GetTitle().IsEmpty()) song->SetTitle(CString(SplitPath(path.str()).baseName));
  // Whole seconds, rounded, so that a two-second clip that decodes a few
  // samples short still counts two.
  song->SetDuration((audio.lengthInMilliseconds() + 500) / 1000);
  return true;
}

}  // namespace qap::musicdb
