// The WAV writer component (short name "WAVWriter"): PCM RIFF files in the
// input format as it comes. Its tags (title, author, description) go into
// the file's RIFF INFO chunk, where players and TagLib look for them.
#include <taglib/infotag.h>
#include <taglib/wavfile.h>

#include <cerrno>
#include <cstdio>

#include "platform/base/codepage.h"
#include "platform/base/export.h"
#include "platform/base/partial_output.h"
#include "platform/base/paths.h"
#include "platform/base/text_field.h"
#include "suite/quadrin/components/pcm_file_writer.h"

namespace {

const ConverterDescription kDescription{"WAVWriter",
                                        "WAV file format convertor - PCM RIFF Writer module"};

TagLib::String TagText(const char* field) {
  return TagLib::String(AnsiToUtf8(FieldText(field, kTagTextSize)), TagLib::String::UTF8);
}

class WavFileWriter final : public PcmFileWriter {
 protected:
  DWORD CreateOutput(const std::string& path, const WavFormat& format, const BYTE*) override {
    std::string error;
    m_path = path;
    m_wav = std::make_unique<WavWriter>();
    errno = 0;
    if (m_wav->Create(path, format, &error)) return 0;
    m_wav.reset();
    return errno != 0 ? Win32ErrorOfErrno(errno) : static_cast<DWORD>(ERROR_PATH_NOT_FOUND);
  }

  DWORD WriteOutput(const BYTE* data, size_t bytes) override {
    return m_wav->Write(data, bytes) ? 0 : Win32ErrorOfErrno(m_wav->Errno());
  }

  DWORD FinishOutput(const TagRecord* tags) override {
    std::string error;
    const bool finished = m_wav->Finish(&error);
    const int cause = m_wav->Errno();
    m_wav.reset();
    if (!finished) return Win32ErrorOfErrno(cause);
    return tags != nullptr ? WriteTags(*tags) : 0;
  }

  bool StoresTags() const override { return true; }

 private:
  // The tags are part of the file asked for: a file that cannot take them
  // is not complete.
  DWORD WriteTags(const TagRecord& tags) {
    const std::string host = ToHostPath(m_path);
    TagLib::RIFF::WAV::File file(host.c_str(), false);
    DWORD failure = 0;
    if (!file.isValid()) {
      failure = ERROR_FILE_CORRUPT;
    } else {
      TagLib::RIFF::Info::Tag* info = file.InfoTag();
      info->setTitle(TagText(tags.title));
      info->setArtist(TagText(tags.author));
      info->setComment(TagText(tags.description));
      errno = 0;
      if (!file.save(TagLib::RIFF::WAV::File::Info)) {
        failure = errno != 0 ? Win32ErrorOfErrno(errno) : static_cast<DWORD>(ERROR_WRITE_FAULT);
      }
    }
    if (failure != 0) RemovePartialOutput(host);
    return failure;
  }

  std::string m_path;
  std::unique_ptr<WavWriter> m_wav;
};

}  // namespace

extern "C" {

QAP_EXPORT std::int32_t CreateObject(Converter** object) {
  return CreateConverter<WavFileWriter>(object);
}

QAP_EXPORT const ConverterDescription* GetDescription() { return &kDescription; }

QAP_EXPORT const char* GetExtensions() { return "wav"; }

}  // extern "C"
