// The MP3 writer component (short name "MP3Writer"): constant-bit-rate MP3
// at the bit rate of the conversion settings (128 kbit/s without them). It
// stores no tags: command 106 is not supported, and hosts write them with
// the tag library afterwards.

#include "platform/base/export.h"
#include "platform/base/paths.h"
#include "suite/quadrin/components/mp3_encoder.h"
#include "suite/quadrin/components/pcm_file_writer.h"

namespace {

const ConverterDescription kDescription{"MP3Writer",
                                        "MP3 file format convertor - LAME Writer module"};

class Mp3FileWriter final : public PcmFileWriter {
 protected:
  bool CreateOutput(const std::string& path, const WavFormat& format, DWORD kbps) override {
    const std::string host = ToHostPath(path);
    std::string error;
    if (!host.empty()) m_encoder = Mp3Encoder::Create(host, format, static_cast<int>(kbps), &error);
    return m_encoder != nullptr;
  }

  bool WriteOutput(const BYTE* data, size_t bytes) override {
    return m_encoder->Write(data, bytes);
  }

  void FinishOutput(const TagRecord*) override {
    m_encoder->Finish();
    m_encoder.reset();
  }

  bool StoresTags() const override { return false; }

 private:
  std::unique_ptr<Mp3Encoder> m_encoder;
};

}  // namespace

extern "C" {

QAP_EXPORT std::int32_t CreateObject(Converter** object) {
  return CreateConverter<Mp3FileWriter>(object);
}

QAP_EXPORT const ConverterDescription* GetDescription() { return &kDescription; }

QAP_EXPORT const char* GetExtensions() { return "mp3"; }

}  // extern "C"
