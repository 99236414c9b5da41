// Owners for the FFmpeg objects the media layer keeps, and the mapping of
// FFmpeg's error numbers to result codes.
#pragma once

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libswresample/swresample.h>
}

#include <memory>

#include "platform/media/wm_types.h"

namespace qap::media {

struct InputCloser {
  void operator()(AVFormatContext* context) const { avformat_close_input(&context); }
};
// An output context together with the file it writes to.
struct OutputCloser {
  void operator()(AVFormatContext* context) const {
    if (context->pb != nullptr) avio_closep(&context->pb);
    avformat_free_context(context);
  }
};
struct CodecCloser {
  void operator()(AVCodecContext* context) const { avcodec_free_context(&context); }
};
struct ResamplerCloser {
  void operator()(SwrContext* context) const { swr_free(&context); }
};
struct FrameCloser {
  void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
struct PacketCloser {
  void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};
struct FifoCloser {
  void operator()(AVAudioFifo* fifo) const { av_audio_fifo_free(fifo); }
};

using InputContext = std::unique_ptr<AVFormatContext, InputCloser>;
using OutputContext = std::unique_ptr<AVFormatContext, OutputCloser>;
using CodecContext = std::unique_ptr<AVCodecContext, CodecCloser>;
using Resampler = std::unique_ptr<SwrContext, ResamplerCloser>;
using Frame = std::unique_ptr<AVFrame, FrameCloser>;
using Packet = std::unique_ptr<AVPacket, PacketCloser>;
using AudioFifo = std::unique_ptr<AVAudioFifo, FifoCloser>;

// The system's errors keep their cause ("No space left on device"), so
// that a host can say it.
inline HRESULT HResultFromAv(int error) {
  if (error >= 0) return S_OK;
  if (error == AVERROR(ENOMEM)) return E_OUTOFMEMORY;
  if (error == AVERROR_INVALIDDATA) return kMediaInvalidData;
  // FFmpeg's own codes are tags far below the negated errno values.
  if (error > -4096) return HResultFromWin32(Win32ErrorOfErrno(-error));
  return E_FAIL;
}

}  // namespace qap::media
