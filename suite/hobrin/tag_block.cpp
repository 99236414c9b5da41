// The TagBlock through a tag object.
#include "suite/hobrin/tag_block.h"

#include <memory>
#include <string>

#include "platform/base/text_field.h"

namespace {

std::string Text(const char* field, size_t size) { return std::string(FieldText(field, size)); }

}  // namespace

bool ReadTagBlock(const char* path, TagBlock* block) {
  const TagObjectPtr tags(CreateHobrin(path));
  if (!tags || tags->Read() == FALSE) return false;
  CopyToField(block->title, sizeof block->title, tags->GetTitle());
  CopyToField(block->artist, sizeof block->artist, tags->GetArtist());
  CopyToField(block->album, sizeof block->album, tags->GetAlbum());
  CopyToField(block->year, sizeof block->year, tags->GetYear());
  CopyToField(block->genre, sizeof block->genre, tags->GetGenre());
  block->presence = tags->GetPresence();
  return true;
}

bool WriteTagBlock(const char* path, const TagBlock& block) {
  const TagObjectPtr tags(CreateHobrin(path));
  if (!tags) return false;
  tags->SetTitle(Text(block.title, sizeof block.title).c_str());
  tags->SetArtist(Text(block.artist, sizeof block.artist).c_str());
  tags->SetAlbum(Text(block.album, sizeof block.album).c_str());
  tags->SetYear(Text(block.year, sizeof block.year).c_str());
  tags->SetGenre(Text(block.genre, sizeof block.genre).c_str());
  return tags->Write() != 0;
}
