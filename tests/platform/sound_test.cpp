// The sounds: the five generated recordings are linked into the program
// and have the expected format; the switch, the test hook and missing ids;
// the WAV parser against damaged headers; and the samples that reach an
// ALSA device.
#include "platform/sound.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <QFile>
#include <QString>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

QByteArray Resource(int id) {
  QFile file(QStringLiteral(":/sounds/%1").arg(id));
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

std::vector<int16_t> Samples(const QByteArray& wave, const WaveInfo& info) {
  std::vector<int16_t> samples(info.frameCount);
  std::memcpy(samples.data(), wave.constData() + info.dataOffset, info.frameCount * 2);
  return samples;
}

TEST(SoundResources, AllFiveAreLinkedValidWaves) {
  // No explicit resource initialisation anywhere: the static link alone
  // must register them.
  const struct {
    int id;
    double seconds;
  } sounds[] = {{kSoundRefusedMove, 0.15}, {kSoundMove, 0.08}, {kSoundLostOnTime, 0.6},
                {kSoundNewGame, 0.4}, {kSoundCheck, 0.25}};
  for (const auto& sound : sounds) {
    const QByteArray wave = Resource(sound.id);
    ASSERT_FALSE(wave.isEmpty()) << sound.id;
    WaveInfo info;
    ASSERT_TRUE(ParseWave(wave, info)) << sound.id;
    EXPECT_EQ(info.formatTag, 1) << sound.id;
    EXPECT_EQ(info.channels, 1) << sound.id;
    EXPECT_EQ(info.bitsPerSample, 16) << sound.id;
    EXPECT_EQ(info.sampleRate, 22050u) << sound.id;
    EXPECT_EQ(info.dataOffset + info.frameCount * 2, static_cast<size_t>(wave.size())) << sound.id;
    EXPECT_NEAR(static_cast<double>(info.frameCount) / info.sampleRate, sound.seconds, 0.01)
        << sound.id;
    // Audible, not clipped, and fading out rather than ending on a click.
    const std::vector<int16_t> s = Samples(wave, info);
    int peak = 0;
    for (int16_t v : s) peak = std::max(peak, std::abs(static_cast<int>(v)));
    EXPECT_GT(peak, 10000) << sound.id;
    EXPECT_LT(peak, 32000) << sound.id;
    EXPECT_LT(std::abs(static_cast<int>(s.back())), 500) << sound.id;
  }
  EXPECT_TRUE(Resource(147).isEmpty());
  EXPECT_TRUE(Resource(153).isEmpty());
}

// Playing, with the device replaced by a recorder.

std::vector<int> played;
bool Record(int id) {
  played.push_back(id);
  return true;
}

class PlaySoundTest : public ::testing::Test {
 protected:
  void SetUp() override {
    played.clear();
    soundPlayHook = Record;
  }
  void TearDown() override {
    soundPlayHook = nullptr;
    soundEnabled = 0;
  }
};

TEST_F(PlaySoundTest, SwitchedOffPlaysNothing) {
  soundEnabled = 0;
  for (int id = kSoundRefusedMove; id <= kSoundCheck; ++id) PlaySoundResource(id);
  EXPECT_TRUE(played.empty());
}

TEST_F(PlaySoundTest, SwitchedOnPlaysEachSoundOnce) {
  soundEnabled = 1;
  PlaySoundResource(kSoundCheck);
  PlaySoundResource(kSoundMove);
  PlaySoundResource(kSoundNewGame);
  EXPECT_EQ(played, (std::vector<int>{kSoundCheck, kSoundMove, kSoundNewGame}));
  // Any non-zero setting counts as on.
  soundEnabled = 7;
  PlaySoundResource(kSoundRefusedMove);
  EXPECT_EQ(played.back(), kSoundRefusedMove);
}

TEST_F(PlaySoundTest, MissingSoundPlaysNothing) {
  soundEnabled = 1;
  for (int id : {147, 153, 0, -1, 1000000}) PlaySoundResource(id);
  EXPECT_TRUE(played.empty());
}

// The parser against hand-made headers.

void Put16(std::string& s, size_t at, uint16_t v) {
  s[at] = static_cast<char>(v & 0xFF);
  s[at + 1] = static_cast<char>(v >> 8);
}
void Put32(std::string& s, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) s[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}
void Append32(std::string& s, uint32_t v) {
  s.append(4, '\0');
  Put32(s, s.size() - 4, v);
}

// A well-formed 16-bit stereo file at 8000 Hz with `frames` frames and an
// optional chunk before the data.
std::string MakeWave(uint32_t frames, const std::string& extra = "") {
  std::string s = "RIFF....WAVEfmt ";
  Append32(s, 16);
  s.append(16, '\0');
  Put16(s, 20, 1);         // PCM
  Put16(s, 22, 2);         // channels
  Put32(s, 24, 8000);      // rate
  Put32(s, 28, 8000 * 4);  // bytes per second
  Put16(s, 32, 4);         // frame size
  Put16(s, 34, 16);        // bits
  s += extra;
  s += "data";
  Append32(s, frames * 4);
  for (uint32_t i = 0; i < frames * 4; ++i) s += static_cast<char>(i * 7);
  Put32(s, 4, static_cast<uint32_t>(s.size() - 8));
  return s;
}

bool Parses(const std::string& s, WaveInfo* info = nullptr) {
  WaveInfo local;
  return ParseWave(QByteArray(s.data(), static_cast<qsizetype>(s.size())), info ? *info : local);
}

TEST(ParseWave, WellFormedFiles) {
  WaveInfo info;
  ASSERT_TRUE(Parses(MakeWave(10), &info));
  EXPECT_EQ(info.channels, 2);
  EXPECT_EQ(info.sampleRate, 8000u);
  EXPECT_EQ(info.blockAlign, 4);
  EXPECT_EQ(info.dataOffset, 44u);
  EXPECT_EQ(info.frameCount, 10u);

  // An odd-sized chunk is padded to an even length before the next one.
  std::string list = "LIST";
  Append32(list, 5);
  list += "abcde";
  list += '\0';
  ASSERT_TRUE(Parses(MakeWave(3, list), &info));
  EXPECT_EQ(info.dataOffset, 44u + 14u);
  EXPECT_EQ(info.frameCount, 3u);

  // Bytes after the RIFF chunk and a partial last frame are ignored.
  std::string tail = MakeWave(4) + "junk";
  ASSERT_TRUE(Parses(tail, &info));
  EXPECT_EQ(info.frameCount, 4u);
  std::string partial = MakeWave(4);
  Put32(partial, 40, 4 * 4 - 2);
  Put32(partial, 4, static_cast<uint32_t>(partial.size() - 8 - 2));
  ASSERT_TRUE(Parses(partial, &info));
  EXPECT_EQ(info.frameCount, 3u);
}

TEST(ParseWave, TruncatedFilesAreRefused) {
  const std::string good = MakeWave(6);
  for (size_t length = 0; length < good.size(); ++length)
    EXPECT_FALSE(Parses(good.substr(0, length))) << length;
  EXPECT_FALSE(Parses(""));
}

TEST(ParseWave, WrongSizesAreRefused) {
  const std::string good = MakeWave(6);
  struct Damage {
    const char* what;
    size_t at;
    uint32_t value;
    bool wide;
  } damages[] = {
      {"RIFF size past the end", 4, static_cast<uint32_t>(good.size()), true},
      {"RIFF size of 0xFFFFFFFF", 4, 0xFFFFFFFFu, true},
      {"RIFF size too small for the data", 4, 30, true},
      {"format chunk past the end", 16, 0xFFFFFFF0u, true},
      {"format chunk too short", 16, 14, true},
      {"data chunk past the end", 40, 6 * 4 + 2, true},
      {"data chunk of 0xFFFFFFFF", 40, 0xFFFFFFFFu, true},
      {"empty data", 40, 0, true},
      {"data shorter than a frame", 40, 3, true},
      {"compressed format", 20, 2, false},
      {"no channels", 22, 0, false},
      {"rate of zero", 24, 0, true},
      {"byte rate disagrees", 28, 8000 * 2, true},
      {"frame size disagrees", 32, 2, false},
      {"12-bit samples", 34, 12, false},
      {"float samples", 20, 3, false},
  };
  for (const Damage& d : damages) {
    std::string bad = good;
    if (d.wide) {
      Put32(bad, d.at, d.value);
    } else {
      Put16(bad, d.at, static_cast<uint16_t>(d.value));
    }
    EXPECT_FALSE(Parses(bad)) << d.what;
  }

  std::string notRiff = good;
  notRiff[0] = 'X';
  EXPECT_FALSE(Parses(notRiff));
  std::string notWave = good;
  notWave[8] = 'X';
  EXPECT_FALSE(Parses(notWave));

  // Samples before any format, and no samples at all.
  std::string dataFirst = "RIFF....WAVEdata";
  Append32(dataFirst, 4);
  dataFirst += "abcd";
  Put32(dataFirst, 4, static_cast<uint32_t>(dataFirst.size() - 8));
  EXPECT_FALSE(Parses(dataFirst));
  std::string noData = good.substr(0, 36);
  Put32(noData, 4, static_cast<uint32_t>(noData.size() - 8));
  EXPECT_FALSE(Parses(noData));

  // A second format chunk contradicting the first.
  std::string twoFormats = MakeWave(2, good.substr(12, 24));
  EXPECT_FALSE(Parses(twoFormats));
}

// The device: ALSA reads its configuration from ALSA_CONFIG_PATH, so the
// default device can be made a file recorder or a card that is not there.

std::filesystem::path TempDir() {
  char pattern[] = "/tmp/vorelk_sound_XXXXXX";
  return mkdtemp(pattern) ? std::filesystem::path(pattern) : std::filesystem::path();
}

class SoundDeviceTest : public ::testing::Test {
 protected:
  void SetUp() override {
#ifndef VORELK_HAVE_ALSA
    GTEST_SKIP() << "built without ALSA";
#endif
    dir_ = TempDir();
    ASSERT_FALSE(dir_.empty());
    soundEnabled = 1;
    soundPlayHook = nullptr;
  }
  void TearDown() override {
    soundEnabled = 0;
    unsetenv("ALSA_CONFIG_PATH");
    std::error_code error;
    if (!dir_.empty()) std::filesystem::remove_all(dir_, error);
  }
  void UseConfiguration(const std::string& text) {
    const std::filesystem::path config = dir_ / "asound.conf";
    std::ofstream(config) << text;
    setenv("ALSA_CONFIG_PATH", config.c_str(), 1);
  }

  std::filesystem::path dir_;
};

TEST_F(SoundDeviceTest, TheSamplesReachTheDevice) {
  const std::filesystem::path output = dir_ / "played.raw";
  UseConfiguration("pcm.null { type null }\n"
                   "pcm.!default { type file slave.pcm \"null\" file \"" +
                   output.string() + "\" format \"raw\" }\n");
  for (int id : {kSoundMove, kSoundCheck}) {
    std::filesystem::remove(output);
    PlaySoundResource(id);
    std::ifstream in(output, std::ios::binary);
    const std::string recorded{std::istreambuf_iterator<char>(in), {}};
    const QByteArray wave = Resource(id);
    WaveInfo info;
    ASSERT_TRUE(ParseWave(wave, info));
    EXPECT_EQ(recorded.size(), info.frameCount * 2) << id;
    EXPECT_TRUE(recorded == std::string(wave.constData() + info.dataOffset, info.frameCount * 2))
        << id;
  }
}

TEST_F(SoundDeviceTest, NoDeviceIsSilence) {
  // The recorder sits in front of a card that does not exist, so the
  // device cannot be opened: the call returns at once and records nothing.
  const std::filesystem::path output = dir_ / "played.raw";
  UseConfiguration("pcm.!default { type file slave.pcm { type hw card 31 } file \"" +
                   output.string() + "\" format \"raw\" }\n");
  const auto start = std::chrono::steady_clock::now();
  PlaySoundResource(kSoundNewGame);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));  // no hang
  EXPECT_FALSE(std::filesystem::exists(output));
}

}  // namespace
