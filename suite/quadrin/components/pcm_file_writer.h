// What our writer components share: the converter contract's writer
// commands around an output that is created at start and finished at close.
// The output is named by command 1 and made by command 7, so that a
// conversion that never starts leaves no file behind.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "converters/converter_object.h"
#include "converters/wav_file.h"

class PcmFileWriter : public ConverterObject {
 public:
  std::int32_t Destroy(DWORD ignored) override;
  std::int32_t Command(DWORD code, void* argument) override;
  std::int32_t Read(void*, DWORD*) override { return kConvSuccess; }
  std::int32_t Write(const void* source, const DWORD* length) override;

 protected:
  PcmFileWriter() = default;
  virtual ~PcmFileWriter() = default;

  // Each answers 0 or the Win32 code of its failure (a full disk); an
  // output that fails is removed.
  // Creates the output (path: a program path in UTF-8).
  virtual DWORD CreateOutput(const std::string& path, const WavFormat& format,
                             const BYTE* settings) = 0;
  virtual DWORD WriteOutput(const BYTE* data, size_t bytes) = 0;
  // Completes the output; tags (may be null) go into it when it takes them.
  virtual DWORD FinishOutput(const TagRecord* tags) = 0;
  // Whether command 106 is taken.
  virtual bool StoresTags() const = 0;

 private:
  // The result of finishing the output being written (0 when none was).
  DWORD Close();

  std::string m_path;  // UTF-8; empty while no output is named
  WavFormat m_format;  // rate 0 until command 4
  // The conversion settings record of command 9, empty without one.
  std::vector<BYTE> m_settings;
  std::unique_ptr<TagRecord> m_tags;
  bool m_started = false;
};
