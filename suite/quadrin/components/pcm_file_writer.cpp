// The writer commands.
#include "suite/quadrin/components/pcm_file_writer.h"

#include <cstring>

#include "drumlet/transfer_layer.h"
#include "platform/base/codepage.h"

std::int32_t PcmFileWriter::Destroy(DWORD) {
  const DWORD failure = Close();
  delete this;
  return failure == 0 ? kConvSuccess : FailWith(failure);
}

std::int32_t PcmFileWriter::Command(DWORD code, void* argument) {
  return Guarded([&]() -> std::int32_t {
    switch (code) {
      case ConvOpen: {
        if (argument == nullptr) return kConvArgumentMissing;
        Close();
        m_path = AnsiToUtf8(static_cast<const char*>(argument));
        return m_path.empty() ? kConvFailure : kConvSuccess;
      }
      case ConvIsOpen:
        return m_path.empty() ? kConvFailure : kConvSuccess;
      case ConvSetInputFormat: {
        if (argument == nullptr) return kConvArgumentMissing;
        // The format of a file being written cannot change.
        if (m_path.empty() || m_started) return kConvFailure;
        const auto& format = *static_cast<const PcmFormat*>(argument);
        const WavFormat wave{PcmRateOfCode(format.rateCode),
                             static_cast<WORD>(PcmChannelsOfCode(format.channelCode)),
                             static_cast<WORD>(PcmBitsOfCode(format.sizeCode))};
        if (wave.rate == 0 || wave.channels == 0 || wave.bits == 0) return kConvFailure;
        m_format = wave;
        return kConvSuccess;
      }
      case ConvGetKind:
        if (argument == nullptr) return kConvArgumentMissing;
        *static_cast<DWORD*>(argument) = kModuleStyleWriter;
        return kConvSuccess;
      case ConvStart:
        // A start that cannot make the output closes the writer, which
        // command 3 then shows; the reason stays in the last error.
        if (!m_path.empty() && !m_started) {
          const DWORD failure = m_format.rate != 0
                                    ? CreateOutput(m_path, m_format,
                                                   m_settings.empty() ? nullptr : m_settings.data())
                                    : ERROR_INVALID_PARAMETER;
          if (failure == 0) {
            m_started = true;
          } else {
            Close();
            SetLastError(failure);
          }
        }
        return kConvSuccess;
      case ConvSetBitRate: {
        if (argument == nullptr) return kConvArgumentMissing;
        const auto* settings = static_cast<const BYTE*>(argument);
        m_settings.assign(settings, settings + sizeof(TQuadrinInitStruct));
        return kConvSuccess;
      }
      case ConvSetTags:
        if (!StoresTags()) return kConvNotSupported;
        if (argument == nullptr) return kConvArgumentMissing;
        m_tags = std::make_unique<TagRecord>(*static_cast<const TagRecord*>(argument));
        return kConvSuccess;
      default:
        return kConvNotSupported;
    }
  });
}

std::int32_t PcmFileWriter::Write(const void* source, const DWORD* length) {
  return Guarded([&]() -> std::int32_t {
    // A null source is how a reader without a callback ends its stream.
    if (!m_started || source == nullptr || length == nullptr) return kConvFailure;
    const DWORD failure = WriteOutput(static_cast<const BYTE*>(source), *length);
    return failure == 0 ? kConvSuccess : FailWith(failure);
  });
}

DWORD PcmFileWriter::Close() {
  const DWORD failure = m_started ? FinishOutput(m_tags.get()) : 0;
  m_started = false;
  m_path.clear();
  m_format = WavFormat{};
  m_settings.clear();
  m_tags.reset();
  return failure;
}
