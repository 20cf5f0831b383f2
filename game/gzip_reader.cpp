// In-memory gzip reader over zlib's raw inflate: the member headers and
// trailers are read here, the deflate data by zlib, one 4,096-byte input
// chunk at a time.
#include "game/gzip_reader.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

constexpr int kGzipMagic1 = 0x1F;
constexpr int kGzipMagic2 = 0x8B;
constexpr int kFlagHeaderCrc = 0x02;
constexpr int kFlagExtra = 0x04;
constexpr int kFlagName = 0x08;
constexpr int kFlagComment = 0x10;
constexpr int kFlagReserved = 0xE0;
// Modification time, extra flags and operating system.
constexpr int kFixedHeaderSkip = 6;
// Raw deflate with a 32 KB window: the gzip framing is read by this class.
constexpr int kRawDeflateWindow = -15;
// The zlib interface the records were written against; zlib checks only
// its major number.
constexpr const char* kZlibInterfaceVersion = "1.1.4";

}  // namespace

CMemoryGunzip::CMemoryGunzip(const uint8_t* data, size_t size)
    : inputBase(data), inputSize(data == nullptr ? 0 : size) {}

CMemoryGunzip::~CMemoryGunzip() {
  ReleaseOutput();
  if (streamReady) inflateEnd(&stream);
}

void CMemoryGunzip::ReleaseOutput() {
  if (output != nullptr && output != inlineOutput) delete[] output;
  output = nullptr;
  outputSize = 0;
  outputCapacity = 0;
}

void CMemoryGunzip::RefillInput() {
  const size_t count = std::min(kGunzipInputChunk, inputSize - inputPosition);
  if (count > 0) std::memcpy(input, inputBase + inputPosition, count);
  inputPosition += count;
  stream.next_in = input;
  stream.avail_in = static_cast<uInt>(count);
  if (inputPosition == inputSize) endOfInput = true;
}

int CMemoryGunzip::NextInputByte() {
  if (stream.avail_in == 0) {
    if (endOfInput) return -1;
    RefillInput();
    if (stream.avail_in == 0) return -1;
  }
  --stream.avail_in;
  return *stream.next_in++;
}

// The rest of a member header after its two magic bytes.
int CMemoryGunzip::ReadMemberHeader() {
  const int method = NextInputByte();
  const int flags = NextInputByte();
  if (method != Z_DEFLATED || flags < 0 || (flags & kFlagReserved) != 0) return kGunzipDataError;
  for (int i = 0; i < kFixedHeaderSkip; ++i) {
    if (NextInputByte() < 0) return kGunzipDataError;
  }
  if (flags & kFlagExtra) {
    const int low = NextInputByte();
    const int high = NextInputByte();
    if (low < 0 || high < 0) return kGunzipDataError;
    for (int left = low | high << 8; left > 0; --left) {
      if (NextInputByte() < 0) return kGunzipDataError;
    }
  }
  for (int flag : {kFlagName, kFlagComment}) {
    if ((flags & flag) == 0) continue;
    int c;
    do {
      c = NextInputByte();
    } while (c > 0);
    if (c < 0) return kGunzipDataError;
  }
  if (flags & kFlagHeaderCrc) {
    if (NextInputByte() < 0 || NextInputByte() < 0) return kGunzipDataError;
  }
  return kGunzipOk;
}

// After a deflate stream: its CRC-32 must match what was produced; its
// length is read but not compared (the length of the last member alone
// would not match the output of several). Another member may follow;
// anything else ends the data.
int CMemoryGunzip::ReadTrailerAndNextMember() {
  uint32_t stored = 0;
  for (int i = 0; i < 4; ++i) {
    const int c = NextInputByte();
    if (c < 0) return kGunzipDataError;
    stored |= static_cast<uint32_t>(c) << (8 * i);
  }
  if (stored != static_cast<uint32_t>(crc)) return kGunzipDataError;
  for (int i = 0; i < 4; ++i) {
    if (NextInputByte() < 0) return kGunzipDataError;
  }
  if (NextInputByte() != kGzipMagic1 || NextInputByte() != kGzipMagic2) return kGunzipEnd;
  const int header = ReadMemberHeader();
  if (header != kGunzipOk) return header;
  inflateReset(&stream);
  crc = crc32(0L, Z_NULL, 0);
  return kGunzipOk;
}

int CMemoryGunzip::ReadTransparent(uint8_t* buffer, int length) {
  const size_t count = std::min(static_cast<size_t>(length), inputSize - inputPosition);
  if (count == 0) {
    lastError = kGunzipEnd;
    return 0;
  }
  std::memcpy(buffer, inputBase + inputPosition, count);
  inputPosition += count;
  return static_cast<int>(count);
}

int CMemoryGunzip::Read(uint8_t* buffer, int length) {
  if (lastError < 0) return -1;
  if (lastError == kGunzipEnd || buffer == nullptr || length <= 0) return 0;
  if (transparent) return ReadTransparent(buffer, length);
  if (!streamReady) {
    lastError = kGunzipMemoryError;
    return -1;
  }
  stream.next_out = buffer;
  stream.avail_out = static_cast<uInt>(length);
  Bytef* start = buffer;
  while (stream.avail_out > 0 && lastError == kGunzipOk) {
    if (stream.avail_in == 0 && !endOfInput) RefillInput();
    const int status = inflate(&stream, Z_NO_FLUSH);
    if (status == Z_STREAM_END) {
      crc = crc32(crc, start, static_cast<uInt>(stream.next_out - start));
      start = stream.next_out;
      lastError = ReadTrailerAndNextMember();
    } else if (status == Z_MEM_ERROR) {
      lastError = kGunzipMemoryError;
    } else if (status != Z_OK) {
      // Z_BUF_ERROR here means the input ended inside a member.
      lastError = kGunzipDataError;
    }
  }
  crc = crc32(crc, start, static_cast<uInt>(stream.next_out - start));
  const int produced = length - static_cast<int>(stream.avail_out);
  if (produced > 0) return produced;
  return lastError < 0 ? -1 : 0;
}

// Grows the buffer when needed: at least to the total rounded down to a
// multiple of 64 KB plus 64 KB (so 65,537 bytes take 131,072), and at least
// to twice the old capacity so that a large output is not copied over and
// over. One zero byte more than the capacity is allocated.
int CMemoryGunzip::Append(const uint8_t* bytes, size_t count) {
  if (count > kGunzipMaxOutput - outputSize) return kGunzipTooLarge;
  const size_t total = outputSize + count;
  if (total > outputCapacity) {
    const size_t least = total / kGunzipInlineCapacity * kGunzipInlineCapacity + kGunzipInlineCapacity;
    const size_t capacity = std::max(least, std::min(2 * outputCapacity, kGunzipMaxOutput));
    uint8_t* grown = new (std::nothrow) uint8_t[capacity + 1]();
    if (grown == nullptr) return kGunzipMemoryError;
    if (outputSize > 0) std::memcpy(grown, output, outputSize);
    if (output != inlineOutput) delete[] output;
    output = grown;
    outputCapacity = capacity;
  }
  std::memcpy(output + outputSize, bytes, count);
  outputSize = total;
  return kGunzipOk;
}

int CMemoryGunzip::DecompressAll() {
  ReleaseOutput();
  if (inputSize == 0) return kGunzipOk;
  output = inlineOutput;
  outputCapacity = kGunzipInlineCapacity;
  std::memset(inlineOutput, 0, sizeof inlineOutput);
  crc = crc32(0L, Z_NULL, 0);
  if (inflateInit2_(&stream, kRawDeflateWindow, kZlibInterfaceVersion,
                    static_cast<int>(sizeof(z_stream))) != Z_OK) {
    ReleaseOutput();
    return kGunzipMemoryError;
  }
  streamReady = true;
  lastError = kGunzipOk;
  if (inputSize >= 2 && inputBase[0] == kGzipMagic1 && inputBase[1] == kGzipMagic2) {
    NextInputByte();
    NextInputByte();
    lastError = ReadMemberHeader();
  } else {
    transparent = true;
  }
  uint8_t chunk[kGunzipInputChunk];
  while (lastError >= kGunzipOk) {
    const int count = Read(chunk, static_cast<int>(sizeof chunk));
    if (count < 1) break;
    const int appended = Append(chunk, static_cast<size_t>(count));
    if (appended != kGunzipOk) lastError = appended;
  }
  inflateEnd(&stream);
  streamReady = false;
  if (lastError < 0) {
    ReleaseOutput();
    return lastError;
  }
  return kGunzipOk;
}
