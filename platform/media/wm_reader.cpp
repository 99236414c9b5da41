// The reader object: opens on a thread of its own, delivers decoded audio on
// a delivery thread, and answers header attribute queries.
#include <algorithm>
#include <atomic>
#include <cstring>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>

#include "platform/com/com_object.h"
#include "platform/media/asf_source.h"
#include "platform/media/media_support.h"
#include "platform/media/nss_buffer.h"

namespace qap::media {
namespace {

// A batch goes out once it holds this much audio (100-ns units), and room
// for at least this many bytes is made at a time.
constexpr QWORD kBatchDuration = 2500000;
constexpr DWORD kBatchBytes = 64 * 1024;

// Joins a worker; one that is running the destructor itself (a callback let
// go of the last reference, which the interface forbids) is left to end.
void JoinOrDetach(std::thread& thread) {
  if (!thread.joinable()) return;
  if (thread.get_id() == std::this_thread::get_id()) {
    thread.detach();
  } else {
    thread.join();
  }
}

class WMReader final : public ComObject<WMReader, IWMReader, IWMHeaderInfo> {
 public:
  InterfaceTable Interfaces() {
    return {{&IID_IWMHeaderInfo, static_cast<IWMHeaderInfo*>(this)}};
  }

  HRESULT Open(LPCWSTR url, IWMReaderCallback* callback, void* context) override;
  HRESULT GetOutputCount(DWORD* outputs) override;
  HRESULT GetOutputProps(DWORD outputNumber, IWMOutputMediaProps** output) override;
  HRESULT Start(QWORD start, QWORD duration, float rate, void* context) override;
  HRESULT Stop() override;

  HRESULT GetAttributeByName(WORD* streamNumber, LPCWSTR name, WMT_ATTR_DATATYPE* type,
                             BYTE* value, WORD* length) override;
  HRESULT SetAttribute(WORD, LPCWSTR, WMT_ATTR_DATATYPE, const BYTE*, WORD) override {
    return NS_E_INVALID_REQUEST;  // a file being read keeps its header
  }

 private:
  friend ComObject<WMReader, IWMReader, IWMHeaderInfo>;
  ~WMReader();

  enum class State { kIdle, kOpening, kOpened, kFailed };

  void OpenFile(const std::string& hostPath);
  void Deliver(void* context);
  // Ends the current delivery (if any) before returning; no WMT_EOF.
  void EndDelivery();

  std::mutex m_mutex;
  State m_state = State::kIdle;
  ComPtr<IWMReaderCallback> m_callback;
  void* m_openContext = nullptr;
  std::unique_ptr<AsfSource> m_source;  // the delivery thread's while it runs
  std::vector<MediaType> m_outputTypes;
  HeaderAttributes m_attributes;
  bool m_rewind = false;  // a later Start replays from the beginning
  std::atomic<bool> m_stop{false};
  std::thread m_openThread;
  std::thread m_deliveryThread;
};

// The threads end before the last Release returns, so that the caller's
// callback is never called, nor released, after that.
WMReader::~WMReader() {
  m_stop = true;
  JoinOrDetach(m_openThread);
  JoinOrDetach(m_deliveryThread);
}

HRESULT WMReader::Open(LPCWSTR url, IWMReaderCallback* callback, void* context) {
  if (url == nullptr || callback == nullptr) return E_POINTER;
  std::lock_guard lock(m_mutex);
  // One file per reader object, opened once.
  if (m_state != State::kIdle) return NS_E_INVALID_REQUEST;
  m_state = State::kOpening;
  m_callback = ComPtr<IWMReaderCallback>(callback);
  m_openContext = context;
  std::string hostPath = HostPathOf(url);
  try {
    m_openThread = std::thread(&WMReader::OpenFile, this, std::move(hostPath));
  } catch (const std::system_error&) {
    m_state = State::kIdle;
    m_callback.Reset();
    return E_OUTOFMEMORY;
  }
  return S_OK;
}

void WMReader::OpenFile(const std::string& hostPath) {
  std::unique_ptr<AsfSource> source;
  const HRESULT hr = AsfSource::Open(hostPath, &source);
  ComPtr<IWMReaderCallback> callback;
  void* context = nullptr;
  {
    std::lock_guard lock(m_mutex);
    if (SUCCEEDED(hr)) {
      m_source = std::move(source);
      m_attributes = m_source->Attributes();
      for (DWORD i = 0; i < m_source->OutputCount(); ++i) {
        m_outputTypes.push_back(m_source->OutputType(i));
      }
      m_state = State::kOpened;
    } else {
      m_state = State::kFailed;
    }
    callback = m_callback;
    context = m_openContext;
  }
  callback->OnStatus(WMT_OPENED, hr, WMT_TYPE_DWORD, nullptr, context);
}

HRESULT WMReader::GetOutputCount(DWORD* outputs) {
  if (outputs == nullptr) return E_POINTER;
  std::lock_guard lock(m_mutex);
  if (m_state != State::kOpened) return NS_E_INVALID_REQUEST;
  *outputs = static_cast<DWORD>(m_outputTypes.size());
  return S_OK;
}

HRESULT WMReader::GetOutputProps(DWORD outputNumber, IWMOutputMediaProps** output) {
  if (output == nullptr) return E_POINTER;
  *output = nullptr;
  std::lock_guard lock(m_mutex);
  if (m_state != State::kOpened) return NS_E_INVALID_REQUEST;
  if (outputNumber >= m_outputTypes.size()) return E_INVALIDARG;
  *output = MediaProps<IWMOutputMediaProps>::Create(m_outputTypes[outputNumber]).Detach();
  return *output != nullptr ? S_OK : E_OUTOFMEMORY;
}

HRESULT WMReader::Start(QWORD start, QWORD duration, float rate, void* context) {
  if (start != 0 || duration != 0 || rate != 1.0f) return E_INVALIDARG;
  {
    std::lock_guard lock(m_mutex);
    if (m_state != State::kOpened) return NS_E_INVALID_REQUEST;
    // A restart from inside a delivery would have to wait for itself.
    if (m_deliveryThread.get_id() == std::this_thread::get_id()) return NS_E_INVALID_REQUEST;
  }
  EndDelivery();
  std::lock_guard lock(m_mutex);
  if (m_rewind) {
    if (HRESULT hr = m_source->Rewind(); FAILED(hr)) return hr;
  }
  m_rewind = true;
  m_stop = false;
  try {
    m_deliveryThread = std::thread(&WMReader::Deliver, this, context);
  } catch (const std::system_error&) {
    return E_OUTOFMEMORY;
  }
  return S_OK;
}

void WMReader::Deliver(void* context) {
  ComPtr<IWMReaderCallback> callback;
  {
    std::lock_guard lock(m_mutex);
    callback = m_callback;
  }
  // Decoded frames go out in batches: each sample costs the host a hand-over
  // to its own thread, and one per codec frame is thousands a song.
  ComPtr<NssBuffer> buffer;
  DecodedBlock batch;  // what the buffer holds
  // One buffer serves every sample unless the callback kept a reference;
  // room for more is made behind what the batch holds.
  auto reserve = [&](DWORD bytes) -> BYTE* {
    if (buffer && !buffer->Shared() && buffer->Capacity() - batch.length >= bytes) {
      return buffer->Data() + batch.length;
    }
    ComPtr<NssBuffer> larger = NssBuffer::Create(std::max(batch.length + bytes, kBatchBytes));
    if (!larger) return nullptr;
    if (batch.length != 0) std::memcpy(larger->Data(), buffer->Data(), batch.length);
    buffer = std::move(larger);
    return buffer->Data() + batch.length;
  };
  auto flush = [&] {
    if (batch.length == 0) return;
    buffer->SetLength(batch.length);
    callback->OnSample(batch.output, batch.time, batch.duration, 0, buffer.Get(), context);
    batch = DecodedBlock{};
  };
  HRESULT end = S_OK;
  while (!m_stop) {
    DecodedBlock block;
    const HRESULT hr = m_source->Next(reserve, &block);
    if (hr != S_OK) {
      if (FAILED(hr)) end = hr;
      break;
    }
    // A block of another output cannot join the batch: the reserve put it
    // behind the batch's bytes, so the batch goes first and the block
    // moves to the front.
    if (batch.length != 0 && block.output != batch.output) {
      BYTE* data = buffer->Data() + batch.length;
      flush();
      if (!buffer->Shared()) {
        std::memmove(buffer->Data(), data, block.length);
      } else if (ComPtr<NssBuffer> own = NssBuffer::Create(std::max(block.length, kBatchBytes))) {
        std::memcpy(own->Data(), data, block.length);
        buffer = std::move(own);
      } else {
        end = E_OUTOFMEMORY;
        break;
      }
    }
    if (batch.length == 0) {
      batch.output = block.output;
      batch.time = block.time;
    }
    batch.length += block.length;
    batch.duration += block.duration;
    if (batch.duration >= kBatchDuration) flush();
  }
  if (!m_stop) flush();
  if (!m_stop) callback->OnStatus(WMT_EOF, end, WMT_TYPE_DWORD, nullptr, context);
}

HRESULT WMReader::Stop() {
  {
    std::lock_guard lock(m_mutex);
    if (m_state != State::kOpened) return NS_E_INVALID_REQUEST;
  }
  EndDelivery();
  return S_OK;
}

void WMReader::EndDelivery() {
  m_stop = true;
  std::thread thread;
  {
    std::lock_guard lock(m_mutex);
    // Stopped from inside a delivery: the flag ends it once the callback
    // returns, and a later Start or the destructor collects the thread.
    if (m_deliveryThread.get_id() == std::this_thread::get_id()) return;
    thread = std::move(m_deliveryThread);
  }
  if (thread.joinable()) thread.join();
}

HRESULT WMReader::GetAttributeByName(WORD* streamNumber, LPCWSTR name, WMT_ATTR_DATATYPE* type,
                                     BYTE* value, WORD* length) {
  std::lock_guard lock(m_mutex);
  if (m_state != State::kOpened) return NS_E_INVALID_REQUEST;
  return m_attributes.Get(streamNumber, name, type, value, length);
}

}  // namespace
}  // namespace qap::media

HRESULT WMCreateReaderPriv(IWMReader** reader) {
  if (reader == nullptr) return E_POINTER;
  *reader = new (std::nothrow) qap::media::WMReader;
  return *reader != nullptr ? S_OK : E_OUTOFMEMORY;
}
