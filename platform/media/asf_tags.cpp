// The content description through TagLib's ASF support.
#include "platform/media/asf_tags.h"

#include <taglib/asffile.h>
#include <taglib/asftag.h>

#include <cerrno>
#include <cstring>

namespace qap::media {
namespace {

TagLib::String FromUtf16(const std::u16string& text) {
  TagLib::ByteVector bytes(static_cast<unsigned int>(text.size() * sizeof(char16_t)), '\0');
  if (!text.empty()) std::memcpy(bytes.data(), text.data(), bytes.size());
  return TagLib::String(bytes, TagLib::String::UTF16LE);
}

}  // namespace

HRESULT WriteContentDescription(const std::string& hostPath, const std::u16string& title,
                                const std::u16string& author, const std::u16string& description) {
  TagLib::ASF::File file(hostPath.c_str(), false);
  if (!file.isValid() || file.tag() == nullptr) return kMediaInvalidData;
  file.tag()->setTitle(FromUtf16(title));
  file.tag()->setArtist(FromUtf16(author));
  file.tag()->setComment(FromUtf16(description));
  // TagLib says only whether it saved; the system's errno says why not.
  errno = 0;
  if (file.save()) return S_OK;
  return HResultFromWin32(errno != 0 ? Win32ErrorOfErrno(errno) : ERROR_WRITE_FAULT);
}

}  // namespace qap::media
