// The WAV reader component (short name "WAVReader"): PCM RIFF files, 8 or
// 16 bits, mono or stereo, at the rates the converter contract lists,
// delivered as they are stored.

#include "converters/wav_file.h"
#include "platform/base/export.h"
#include "suite/quadrin/components/stream_reader.h"

namespace {

const ConverterDescription kDescription{"WAVReader",
                                        "WAV file format convertor - PCM RIFF Reader module"};

// About a third of a second of CD audio per block.
constexpr size_t kBlockBytes = 64 * 1024;

class WavFileReader final : public StreamReader {
 protected:
  bool OpenSource(const std::string& path) override {
    std::string error;
    m_wav = std::make_unique<WavReader>();
    const WavFormat& format = m_wav->Format();
    if (!m_wav->Open(path, &error) || PcmRateCode(format.rate) == 0 ||
        PcmChannelsCode(format.channels) == 0) {
      m_wav.reset();
      return false;
    }
    return true;
  }

  void CloseSource() override { m_wav.reset(); }

  long NextBlock(std::vector<BYTE>* block) override {
    const size_t whole = kBlockBytes - kBlockBytes % m_wav->Format().BlockAlign();
    block->resize(whole);
    return static_cast<long>(m_wav->Read(block->data(), block->size()));
  }

  WavFormat SourceFormat() const override { return m_wav->Format(); }

  DWORD SourceDurationMs() const override {
    return static_cast<DWORD>(m_wav->DataBytes() * 1000 / m_wav->Format().BytesPerSecond());
  }

  // Tags of WAV files belong to the tag library; the reader has none.
  std::string SourceTag(DWORD) const override { return {}; }

 private:
  std::unique_ptr<WavReader> m_wav;
};

}  // namespace

extern "C" {

QAP_EXPORT std::int32_t CreateObject(Converter** object) {
  return CreateConverter<WavFileReader>(object);
}

QAP_EXPORT const ConverterDescription* GetDescription() { return &kDescription; }

QAP_EXPORT const char* GetExtensions() { return "wav"; }

}  // extern "C"
