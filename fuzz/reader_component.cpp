// Fuzz target, one per reader component (QAP_FUZZ_COMPONENT, its files'
// extension QAP_FUZZ_EXTENSION): a file's bytes through the component
// loaded as the transfer layer loads it: open, format, duration and tags,
// then the delivery of every PCM block to the end of the stream. Every block
// must hold whole samples of the format the reader named, and the end must
// come.
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>

#include "converters/component_loader.h"
#include "fuzz/fuzz_support.h"

namespace {

struct Delivery {
  std::mutex mutex;
  std::condition_variable ended;
  bool end = false;
  DWORD blockAlign = 0;
  std::string problem;

  static void Callback(Converter*, DWORD event, void* data, ConverterUserData user) {
    auto* self = reinterpret_cast<Delivery*>(user);
    std::lock_guard lock(self->mutex);
    if (event == kConverterEventData) {
      const auto* sample = static_cast<const SampleInfo*>(data);
      if (self->blockAlign == 0 || sample->length % self->blockAlign != 0)
        self->problem = "a block of " + std::to_string(sample->length) + " bytes";
    } else if (event == kConverterEventEnd) {
      self->end = true;
      self->ended.notify_all();
    }
  }
};

// Loaded once for the whole run and never unloaded, so that what the
// libraries it pulls in set up when loaded is not taken for a leak.
const ComponentModule& Module() {
  static const ComponentModule* module = new ComponentModule(ComponentPath(QAP_FUZZ_COMPONENT));
  if (!module->Loaded()) qap::fuzz::Fail("the component cannot be loaded: " + module->Error());
  return *module;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const ComponentModule& module = Module();
  std::string path =
      qap::fuzz::WriteInput("input." QAP_FUZZ_EXTENSION, qap::fuzz::Bytes(data, size));
  ConverterPtr reader = module.Create();
  if (!reader) qap::fuzz::Fail("the component makes no reader");
  if (reader->Command(ConvOpen, path.data()) != kConvSuccess) return 0;
  PcmFormat format{};
  DWORD duration = 0;
  reader->Command(ConvGetFormat, &format);
  reader->Command(ConvGetDuration, &duration);
  for (DWORD code : {ConvGetTitle, ConvGetAuthor, ConvGetDescription}) {
    char tag[kTagTextSize] = {};
    reader->Command(code, tag);
  }
  Delivery delivery;
  delivery.blockAlign = PcmChannelsOfCode(format.channelCode) * PcmBitsOfCode(format.sizeCode) / 8;
  reader->SetNotifyCallback(&Delivery::Callback, reinterpret_cast<ConverterUserData>(&delivery));
  if (reader->Command(ConvStart, nullptr) != kConvSuccess)
    qap::fuzz::Fail("an opened file does not start");
  {
    std::unique_lock lock(delivery.mutex);
    if (!delivery.ended.wait_for(lock, std::chrono::seconds(15), [&] { return delivery.end; }))
      qap::fuzz::Fail("the end of the stream never came");
    if (!delivery.problem.empty())
      qap::fuzz::Fail(delivery.problem + " is no whole number of samples");
  }
  reader.reset();
  return 0;
}
