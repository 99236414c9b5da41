// What our reader components share: the converter contract's reader commands
// around a source that decodes to PCM block by block, delivered on a thread
// of the object's own the way the Windows Media reader delivers (event
// callback first, then the sample sink).
#pragma once

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "converters/reader_object.h"
#include "converters/wav_file.h"

class StreamReader : public ReaderObject {
 public:
  std::int32_t Destroy(DWORD ignored) override;

 protected:
  StreamReader() = default;
  virtual ~StreamReader() = default;

  // The source, used by one thread at a time (commands never overlap a
  // delivery: they end it first).
  // Opens the file named by a program path in UTF-8; its format must be
  // one the contract lists.
  virtual bool OpenSource(const std::string& path) = 0;
  virtual void CloseSource() = 0;
  // Up to about blockBytes of PCM into *block: its length, 0 at the end of
  // the audio, negative when the source cannot be read further.
  virtual long NextBlock(std::vector<BYTE>* block) = 0;
  virtual WavFormat SourceFormat() const = 0;
  virtual DWORD SourceDurationMs() const = 0;
  // "Title", "Author" or "Description"; empty when the file has none.
  virtual std::string SourceTag(DWORD code) const = 0;

 private:
  bool IsOpen() const override { return !m_path.empty(); }
  std::int32_t OpenFile(const char* path) override;
  std::int32_t StartDelivery() override;
  std::int32_t StopDelivery() override;
  void CopyTag(DWORD code, char* buffer) override;
  std::int32_t FillFormat(PcmFormat* format) override;
  std::int32_t ReadDuration(DWORD* milliseconds) override;
  // Ends the delivery thread; from inside a delivery it only asks it to end.
  void EndDelivery();
  void Deliver();

  std::string m_path;  // UTF-8; empty while no file is open
  bool m_delivered = false;  // a later start opens the file afresh
  std::atomic<bool> m_stop{false};
  std::thread m_delivery;
};
