// The WAV writer component (short name "WAVWriter"): PCM RIFF files in the
// input format as it comes. Its tags (title, author, description) go into
// the file's RIFF INFO chunk, where players and TagLib look for them.
#include <taglib/infotag.h>
#include <taglib/wavfile.h>


#include "platform/base/codepage.h"
#include "platform/base/export.h"
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
  bool CreateOutput(const std::string& path, const WavFormat& format, DWORD) override {
    std::string error;
    m_path = path;
    m_wav = std::make_unique<WavWriter>();
    if (m_wav->Create(path, format, &error)) return true;
    m_wav.reset();
    return false;
  }

  bool WriteOutput(const BYTE* data, size_t bytes) override { return m_wav->Write(data, bytes); }

  void FinishOutput(const TagRecord* tags) override {
    std::string error;
    const bool finished = m_wav->Finish(&error);
    m_wav.reset();
    if (finished && tags != nullptr) WriteTags(*tags);
  }

  bool StoresTags() const override { return true; }

 private:
  void WriteTags(const TagRecord& tags) {
    const std::string host = ToHostPath(m_path);
    TagLib::RIFF::WAV::File file(host.c_str(), false);
    if (!file.isValid()) return;
    TagLib::RIFF::Info::Tag* info = file.InfoTag();
    info->setTitle(TagText(tags.title));
    info->setArtist(TagText(tags.author));
    info->setComment(TagText(tags.description));
    file.save(TagLib::RIFF::WAV::File::Info);
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
