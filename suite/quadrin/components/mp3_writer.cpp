// The MP3 writer component (short name "MP3Writer"): constant-bit-rate MP3
// at the MP3 bit rate of the conversion settings ("CBR_KBPS"; 128 kbit/s
// without settings). It stores no tags: command 106 is not supported, and
// hosts write them with the tag library afterwards.
#include <cerrno>
#include <cstring>

#include "platform/base/export.h"
#include "platform/base/paths.h"
#include "suite/quadrin/components/mp3_encoder.h"
#include "suite/quadrin/components/pcm_file_writer.h"
#include "suite/quadrin/init_struct.h"

namespace {

const ConverterDescription kDescription{"MP3Writer",
                                        "MP3 file format convertor - LAME Writer module"};

class Mp3FileWriter final : public PcmFileWriter {
 protected:
  DWORD CreateOutput(const std::string& path, const WavFormat& format,
                     const BYTE* settings) override {
    const std::string host = ToHostPath(path);
    if (host.empty()) return ERROR_PATH_NOT_FOUND;
    TQuadrinInitStruct options{};
    if (settings != nullptr) std::memcpy(&options, settings, sizeof options);
    std::string error;
    errno = 0;
    m_encoder = Mp3Encoder::Create(host, format, static_cast<int>(quadrin::Mp3KbpsOf(options)),
                                   &error);
    if (m_encoder != nullptr) return 0;
    return errno != 0 ? Win32ErrorOfErrno(errno) : static_cast<DWORD>(ERROR_WRITE_FAULT);
  }

  DWORD WriteOutput(const BYTE* data, size_t bytes) override {
    return m_encoder->Write(data, bytes) ? 0 : m_encoder->Failure();
  }

  DWORD FinishOutput(const TagRecord*) override {
    m_encoder->Finish();
    const DWORD failure = m_encoder->Failure();
    m_encoder.reset();
    return failure;
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
