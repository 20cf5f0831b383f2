// Compresses test data with zlib at its best level, for tests that feed
// compressed input to the readers.
#pragma once

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace testing_support {

// The data deflated in one call; windowBits as deflateInit2 takes it (-15
// raw deflate, 31 a gzip member). The output buffer is the bound plus
// `slack` bytes.
inline std::vector<uint8_t> ZlibDeflate(const std::vector<uint8_t>& data, int windowBits,
                                        size_t slack = 0) {
  z_stream s{};
  EXPECT_EQ(deflateInit2(&s, 9, Z_DEFLATED, windowBits, 8, Z_DEFAULT_STRATEGY), Z_OK);
  std::vector<uint8_t> out(deflateBound(&s, data.size()) + slack);
  s.next_in = const_cast<Bytef*>(data.data());
  s.avail_in = static_cast<uInt>(data.size());
  s.next_out = out.data();
  s.avail_out = static_cast<uInt>(out.size());
  EXPECT_EQ(deflate(&s, Z_FINISH), Z_STREAM_END);
  out.resize(s.total_out);
  deflateEnd(&s);
  return out;
}

}  // namespace testing_support
