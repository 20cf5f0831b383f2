// Sounds from the program's resources: the RIFF/WAVE header is checked in
// full before a single sample reaches the device, and the samples are
// written to ALSA's default playback device from memory.
#include "platform/sound.h"

#include <QFile>
#include <QString>
#include <cstring>

#ifdef VORELK_HAVE_ALSA
#include <alsa/asoundlib.h>
#endif

namespace {

constexpr uint16_t kFormatPcm = 1;

// The widest layouts a sound of ours could reasonably use; anything beyond
// them is taken for a damaged header.
constexpr uint16_t kMaxChannels = 8;
constexpr uint32_t kMinSampleRate = 1000;
constexpr uint32_t kMaxSampleRate = 384000;

uint16_t ReadU16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

uint32_t ReadU32(const unsigned char* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

bool IsChunk(const unsigned char* p, const char* id) { return std::memcmp(p, id, 4) == 0; }

// The format chunk's fields into `info`; false when they are not a layout
// the device can take or do not agree with each other.
bool ReadFormat(const unsigned char* body, size_t size, WaveInfo& info) {
  if (size < 16) return false;
  info.formatTag = ReadU16(body);
  info.channels = ReadU16(body + 2);
  info.sampleRate = ReadU32(body + 4);
  const uint32_t byteRate = ReadU32(body + 8);
  info.blockAlign = ReadU16(body + 12);
  info.bitsPerSample = ReadU16(body + 14);
  if (info.formatTag != kFormatPcm) return false;
  const uint16_t bits = info.bitsPerSample;
  if (bits != 8 && bits != 16 && bits != 24 && bits != 32) return false;
  if (info.channels == 0 || info.channels > kMaxChannels) return false;
  if (info.sampleRate < kMinSampleRate || info.sampleRate > kMaxSampleRate) return false;
  if (info.blockAlign != info.channels * (info.bitsPerSample / 8)) return false;
  return byteRate == info.sampleRate * info.blockAlign;
}

#ifdef VORELK_HAVE_ALSA

// ALSA reports a missing device on stderr as well as in its result; the
// program treats a missing device as silence, so the messages are dropped.
void QuietAlsaError(const char*, int, const char*, int, const char*, ...) {}

bool DeviceFormat(const WaveInfo& info, snd_pcm_format_t& format) {
  switch (info.bitsPerSample) {
    case 8: format = SND_PCM_FORMAT_U8; return true;
    case 16: format = SND_PCM_FORMAT_S16_LE; return true;
    case 24: format = SND_PCM_FORMAT_S24_3LE; return true;
    case 32: format = SND_PCM_FORMAT_S32_LE; return true;
    default: return false;
  }
}

// Writes the frames to the default device and waits until they have been
// played. False when the device cannot be opened or set up.
bool PlayOnDevice(const QByteArray& wave, const WaveInfo& info) {
  static const bool quiet = (snd_lib_error_set_handler(QuietAlsaError), true);
  (void)quiet;
  snd_pcm_format_t format;
  if (!DeviceFormat(info, format)) return false;
  snd_pcm_t* pcm = nullptr;
  // Opened without blocking so that a device held by another program is
  // refused at once rather than waited for; the writes then block.
  if (snd_pcm_open(&pcm, "default", SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK) < 0) return false;
  constexpr unsigned kLatencyUs = 100000;
  if (snd_pcm_nonblock(pcm, 0) < 0 ||
      snd_pcm_set_params(pcm, format, SND_PCM_ACCESS_RW_INTERLEAVED, info.channels,
                         info.sampleRate, 1, kLatencyUs) < 0) {
    snd_pcm_close(pcm);
    return false;
  }
  const char* frames = wave.constData() + info.dataOffset;
  snd_pcm_uframes_t left = info.frameCount;
  int failures = 0;
  while (left > 0) {
    const snd_pcm_sframes_t written = snd_pcm_writei(pcm, frames, left);
    if (written < 0) {
      // An underrun or a suspended device is recovered a few times; a
      // device that keeps failing ends the sound.
      if (++failures > 4 || snd_pcm_recover(pcm, static_cast<int>(written), 1) < 0) break;
      continue;
    }
    failures = 0;
    frames += static_cast<size_t>(written) * info.blockAlign;
    left -= static_cast<snd_pcm_uframes_t>(written);
  }
  snd_pcm_drain(pcm);
  snd_pcm_close(pcm);
  return left == 0;
}

#else

bool PlayOnDevice(const QByteArray&, const WaveInfo&) { return false; }

#endif

}  // namespace

bool ParseWave(const QByteArray& data, WaveInfo& out) {
  const auto* p = reinterpret_cast<const unsigned char*>(data.constData());
  const size_t size = static_cast<size_t>(data.size());
  if (size < 12 || !IsChunk(p, "RIFF") || !IsChunk(p + 8, "WAVE")) return false;
  const size_t riffSize = ReadU32(p + 4);
  if (riffSize < 4 || riffSize > size - 8) return false;
  const size_t end = 8 + riffSize;
  WaveInfo info;
  bool haveFormat = false;
  size_t pos = 12;
  while (pos <= end && end - pos >= 8) {
    const size_t bodyStart = pos + 8;
    const size_t bodySize = ReadU32(p + pos + 4);
    if (bodySize > end - bodyStart) return false;
    if (IsChunk(p + pos, "fmt ")) {
      if (haveFormat || !ReadFormat(p + bodyStart, bodySize, info)) return false;
      haveFormat = true;
    } else if (IsChunk(p + pos, "data")) {
      if (!haveFormat) return false;
      info.dataOffset = bodyStart;
      info.frameCount = bodySize / info.blockAlign;
      if (info.frameCount == 0) return false;
      out = info;
      return true;
    }
    // Chunks are padded to an even length.
    pos = bodyStart + bodySize + (bodySize & 1);
  }
  return false;
}

void PlaySoundResource(int soundId) {
  if (soundEnabled == 0) return;
  QFile resource(QStringLiteral(":/sounds/%1").arg(soundId));
  if (!resource.open(QIODevice::ReadOnly)) return;
  if (soundPlayHook != nullptr) {
    soundPlayHook(soundId);
    return;
  }
  const QByteArray wave = resource.readAll();
  WaveInfo info;
  if (ParseWave(wave, info)) PlayOnDevice(wave, info);
}
