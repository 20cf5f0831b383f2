// The program's sounds: five short WAV recordings compiled into the program
// as the resources ":/sounds/<id>", played synchronously through the
// system's default ALSA device while the "Sound" setting is on.
#pragma once

#include <QByteArray>
#include <cstddef>
#include <cstdint>

enum SoundId : int {
  kSoundRefusedMove = 148,  // also a set-up piece dropped off the board
  kSoundMove = 149,
  kSoundLostOnTime = 150,
  kSoundNewGame = 151,
  kSoundCheck = 152,
};

// The "Sound" setting: 0 keeps every sound quiet.
inline int32_t soundEnabled = 0;

// When set, PlaySoundResource hands every sound it would play (enabled and
// found among the resources) to this function instead of the device. Its
// result is not used.
inline bool (*soundPlayHook)(int soundId) = nullptr;

// What a WAV file's header says about its samples.
struct WaveInfo {
  uint16_t formatTag = 0;  // 1: integer PCM
  uint16_t channels = 0;
  uint32_t sampleRate = 0;
  uint16_t bitsPerSample = 0;
  uint16_t blockAlign = 0;  // bytes of one frame (all channels)
  size_t dataOffset = 0;    // where the samples start in the file
  size_t frameCount = 0;    // whole frames in the data chunk
};

// Reads the RIFF/WAVE header of `data`. False, with `out` unspecified, for
// anything but a complete, self-consistent file of integer PCM samples (8,
// 16, 24 or 32 bits) with at least one frame: a short or
// truncated file, chunk sizes that run past the end of the file or of the
// RIFF chunk, a format chunk that is too small or disagrees with itself
// (frame size, byte rate), no format chunk before the data.
bool ParseWave(const QByteArray& data, WaveInfo& out);

// Plays sound `soundId` when soundEnabled is non-zero and returns when it
// has finished. A missing or damaged resource, a missing sound device or a
// program built without ALSA play nothing; nothing is reported.
void PlaySoundResource(int soundId);
