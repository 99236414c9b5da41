// Shared helpers of the converter tests.
#include "converters/tests/converter_test_support.h"

#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <cstring>

extern "C" {
#include <libavformat/avformat.h>
}
#include <taglib/asffile.h>
#include <taglib/asftag.h>

extern char** environ;

namespace converter_test {

const ComponentModule& ReaderModule() {
  static ComponentModule module(ComponentPath("Lumbrix"));
  return module;
}

const ComponentModule& WriterModule() {
  static ComponentModule module(ComponentPath("Wentrix"));
  return module;
}

ConverterPtr NewReader() { return ReaderModule().Create(); }
ConverterPtr NewWriter() { return WriterModule().Create(); }

std::vector<BYTE> TonePcm(const WavFormat& format, double seconds) {
  return ::TonePcm(format, 0, static_cast<std::uint64_t>(seconds * format.rate), 440.0);
}

std::string MakeToneWav(const qap::testing::ScratchDir& dir, const std::string& name,
                        const WavFormat& format, double seconds, std::source_location caller) {
  CallerTrace trace(caller);
  const std::string path = dir.File(name);
  std::string error;
  EXPECT_TRUE(WriteToneWav(path, format, seconds, 440.0, &error)) << error;
  return path;
}

bool RunFfmpeg(const std::vector<std::string>& args) {
  std::vector<std::string> all = {"ffmpeg", "-v", "error", "-nostdin", "-y"};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (auto& arg : all) argv.push_back(arg.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  if (posix_spawnp(&pid, "ffmpeg", nullptr, nullptr, argv.data(), environ) != 0) return false;
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::string MakeAsf(const qap::testing::ScratchDir& dir, const std::string& name, int rate,
                    int channels, double seconds, const std::vector<std::string>& extra,
                    std::source_location caller) {
  CallerTrace trace(caller);
  const std::string path = dir.File(name);
  std::vector<std::string> args = {
      "-f", "lavfi", "-i",
      "sine=frequency=440:sample_rate=" + std::to_string(rate) + ":duration=" + std::to_string(seconds),
      "-ac", std::to_string(channels)};
  args.insert(args.end(), extra.begin(), extra.end());
  args.insert(args.end(), {"-f", "asf", path});
  EXPECT_TRUE(RunFfmpeg(args)) << "ffmpeg could not make " << name;
  return path;
}

Probe ProbeFile(const std::string& path) {
  Probe probe;
  AVFormatContext* context = nullptr;
  if (avformat_open_input(&context, path.c_str(), nullptr, nullptr) < 0) return probe;
  if (avformat_find_stream_info(context, nullptr) >= 0) {
    for (unsigned i = 0; i < context->nb_streams; ++i) {
      const AVCodecParameters* parameters = context->streams[i]->codecpar;
      if (parameters->codec_type != AVMEDIA_TYPE_AUDIO) continue;
      probe.ok = true;
      probe.codec = avcodec_get_name(parameters->codec_id);
      probe.bitRate = parameters->bit_rate;
      probe.rate = parameters->sample_rate;
      probe.channels = parameters->ch_layout.nb_channels;
      probe.seconds = context->duration > 0 ? static_cast<double>(context->duration) / AV_TIME_BASE : 0;
      break;
    }
  }
  avformat_close_input(&context);
  return probe;
}

Tags ReadTags(const std::string& path) {
  Tags tags;
  TagLib::ASF::File file(path.c_str());
  if (!file.isValid() || file.tag() == nullptr) return tags;
  tags.ok = true;
  tags.title = file.tag()->title().to8Bit(true);
  tags.artist = file.tag()->artist().to8Bit(true);
  tags.comment = file.tag()->comment().to8Bit(true);
  return tags;
}

std::vector<BYTE> Settings(DWORD kbps) {
  // The transfer layer's settings record is 406 bytes.
  std::vector<BYTE> settings(406, 0);
  std::memcpy(settings.data() + kSettingsBitRateOffset, &kbps, sizeof kbps);
  return settings;
}

void Encode(const std::string& path, const std::vector<BYTE>& pcm, const EncodeJob& job,
            std::source_location caller) {
  CallerTrace trace(caller);
  ConverterPtr writer = NewWriter();
  ASSERT_TRUE(writer);
  ASSERT_EQ(writer->Command(ConvOpen, const_cast<char*>(path.c_str())), kConvSuccess);
  if (job.kbps >= 0) {
    std::vector<BYTE> settings = Settings(static_cast<DWORD>(job.kbps));
    EXPECT_EQ(writer->Command(ConvSetBitRate, settings.data()), kConvSuccess);
  }
  PcmFormat format{job.rateCode, job.sizeCode, job.channelCode, 0};
  const std::int32_t formatResult = writer->Command(ConvSetInputFormat, &format);
  if (job.kbps >= 0) {
    EXPECT_EQ(formatResult, kConvSuccess);
  }
  if (job.tags != nullptr) {
    EXPECT_EQ(writer->Command(ConvSetTags, const_cast<TagRecord*>(job.tags)), kConvSuccess);
  }
  EXPECT_EQ(writer->Command(ConvStart, nullptr), kConvSuccess);
  EXPECT_EQ(writer->Command(ConvIsOpen, nullptr), kConvSuccess);
  for (size_t offset = 0; offset < pcm.size(); offset += 4096) {
    const auto length = static_cast<DWORD>(std::min<size_t>(4096, pcm.size() - offset));
    writer->Write(pcm.data() + offset, &length);
  }
}

void EventLog::Callback(Converter* converter, DWORD event, void* data, ConverterUserData user) {
  auto* log = reinterpret_cast<EventLog*>(user);
  std::lock_guard lock(log->mutex);
  log->converter = converter;
  if (event == kConverterEventData) {
    const auto* info = static_cast<const SampleInfo*>(data);
    log->pcm.insert(log->pcm.end(), info->data, info->data + info->length);
    log->times.push_back(info->time);
    ++log->dataEvents;
  } else if (event == kConverterEventEnd) {
    if (data != nullptr) log->damage = *static_cast<const StreamDamage*>(data);
    ++log->endEvents;
  }
}

bool EventLog::WaitForEnd() {
  return qap::testing::WaitFor([this] {
    std::lock_guard lock(mutex);
    return endEvents > 0;
  });
}

int EventLog::DataEvents() {
  std::lock_guard lock(mutex);
  return dataEvents;
}

Decoded DecodeFile(const std::string& path, std::source_location caller) {
  CallerTrace trace(caller);
  Decoded decoded;
  ConverterPtr reader = NewReader();
  EXPECT_TRUE(reader);
  if (!reader) return decoded;
  decoded.openResult = reader->Command(ConvOpen, const_cast<char*>(path.c_str()));
  if (decoded.openResult != kConvSuccess) return decoded;
  reader->Command(ConvGetFormat, &decoded.format);
  reader->Command(ConvGetDuration, &decoded.durationMs);
  EventLog log;
  reader->SetNotifyCallback(&EventLog::Callback, log.UserData());
  EXPECT_EQ(reader->Command(ConvStart, nullptr), kConvSuccess);
  EXPECT_TRUE(log.WaitForEnd()) << "no end event for " << path;
  reader.reset();
  decoded.pcm = std::move(log.pcm);
  decoded.times = std::move(log.times);
  decoded.endEvents = log.endEvents;
  decoded.damage = log.damage;
  return decoded;
}

double Rms16(const std::vector<BYTE>& pcm, size_t first, size_t count) {
  const size_t total = pcm.size() / 2;
  const size_t end = count == 0 ? total : std::min(total, first + count);
  double sum = 0;
  size_t n = 0;
  for (size_t i = first; i < end; ++i, ++n) {
    std::int16_t sample;
    std::memcpy(&sample, pcm.data() + 2 * i, 2);
    sum += static_cast<double>(sample) * sample;
  }
  return n == 0 ? 0 : std::sqrt(sum / static_cast<double>(n));
}

}  // namespace converter_test
