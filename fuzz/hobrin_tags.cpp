// Fuzz target: a music file's tags read through the tag library, as the
// transfer layer carries a source's tags over and the music folder reads a
// song's: the tag object's five strings and the length, and the tag block.
// The first byte picks the file's extension, which picks TagLib's reader.
#include <cstring>
#include <memory>
#include <string>

#include "fuzz/fuzz_support.h"
#include "suite/hobrin/tag_block.h"

namespace {

const char* const kExtensions[] = {"mp3", "wma", "wav", "ogg", "flac", "m4a"};

struct TagDestroyer {
  void operator()(TagObject* tags) const { DestroyHobrin(tags); }
};

// Each text is there, and its presence bit tells whether it is empty.
void CheckTexts(TagObject& tags) {
  const struct {
    const char* text;
    DWORD bit;
  } fields[] = {{tags.GetTitle(), kTagTitle},
                {tags.GetArtist(), kTagArtist},
                {tags.GetAlbum(), kTagAlbum},
                {tags.GetYear(), kTagYear},
                {tags.GetGenre(), kTagGenre}};
  const DWORD presence = tags.GetPresence();
  for (const auto& field : fields) {
    if (field.text == nullptr) qap::fuzz::Fail("a tag without its text");
    if (((presence & field.bit) != 0) != (field.text[0] != '\0'))
      qap::fuzz::Fail("a presence bit says otherwise than its text");
  }
}

bool Terminated(const char* field, size_t size) {
  return std::memchr(field, '\0', size) != nullptr;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string name = std::string("song.") + kExtensions[data[0] % std::size(kExtensions)];
  const std::string path = qap::fuzz::WriteInput(name, qap::fuzz::Bytes(data + 1, size - 1));
  std::unique_ptr<TagObject, TagDestroyer> tags(CreateHobrin(path.c_str()));
  if (tags && tags->Read()) {
    CheckTexts(*tags);
    tags->GetLengthMs();
  }
  tags.reset();
  TagBlock block{};
  if (ReadTagBlock(path.c_str(), &block) &&
      !(Terminated(block.title, sizeof block.title) &&
        Terminated(block.artist, sizeof block.artist) &&
        Terminated(block.album, sizeof block.album) && Terminated(block.year, sizeof block.year) &&
        Terminated(block.genre, sizeof block.genre)))
    qap::fuzz::Fail("a tag block's text runs past its field");
  return 0;
}
