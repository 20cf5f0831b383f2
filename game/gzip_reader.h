// In-memory gzip reader: inflates a block of memory holding one or more
// gzip members (RFC 1952) into one output buffer. A block without the gzip
// magic is taken as it is. Built on the stack for one decompression.
#pragma once

#include <zlib.h>

#include <cstddef>
#include <cstdint>

// Results of DecompressAll and the error state of Read.
enum GunzipStatus : int {
  kGunzipOk = 0,
  kGunzipEnd = 1,            // every member was read
  kGunzipDataError = -3,     // bad header, bad deflate data, truncated member, CRC mismatch
  kGunzipMemoryError = -4,   // zlib or the output buffer could not be set up
  kGunzipTooLarge = -6,      // the output would pass kGunzipMaxOutput
};

// Output bytes a single decompression may produce.
constexpr size_t kGunzipMaxOutput = 16u * 1024 * 1024;
// Capacity of the inline output buffer and the step its heap successors grow by.
constexpr size_t kGunzipInlineCapacity = 65536;
constexpr size_t kGunzipInputChunk = 4096;

class CMemoryGunzip {
 public:
  // The block must outlive the object.
  CMemoryGunzip(const uint8_t* data, size_t size);
  ~CMemoryGunzip();
  CMemoryGunzip(const CMemoryGunzip&) = delete;
  CMemoryGunzip& operator=(const CMemoryGunzip&) = delete;

  // Inflates the whole block. Returns kGunzipOk when every member was read
  // whole with matching CRC-32s (Data() and Size() then describe the output,
  // always followed by at least one zero byte); otherwise the error, and
  // the output must not be used. Without input the output is null and empty.
  int DecompressAll();
  // Produces up to length bytes into buffer: the count, 0 at the end of the
  // data, -1 once an error was met (every later call too).
  int Read(uint8_t* buffer, int length);

  const uint8_t* Data() const { return output; }
  size_t Size() const { return outputSize; }
  // Bytes the output buffer can take before it grows (one more is allocated
  // for the trailing zero).
  size_t Capacity() const { return outputCapacity; }
  bool UsesInlineBuffer() const { return output == inlineOutput; }
  bool IsTransparent() const { return transparent; }

 private:
  int NextInputByte();
  void RefillInput();
  int ReadMemberHeader();
  int ReadTrailerAndNextMember();
  int ReadTransparent(uint8_t* buffer, int length);
  int Append(const uint8_t* bytes, size_t count);
  void ReleaseOutput();

  uint8_t* output = nullptr;
  size_t outputSize = 0;
  uint8_t inlineOutput[kGunzipInlineCapacity + 1];
  size_t outputCapacity = 0;
  z_stream stream{};
  int lastError = kGunzipOk;
  uint8_t input[kGunzipInputChunk];
  uLong crc = 0;
  bool endOfInput = false;
  bool transparent = false;
  bool streamReady = false;
  size_t inputPosition = 0;
  const uint8_t* inputBase;
  size_t inputSize;
};
