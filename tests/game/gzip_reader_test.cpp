// The in-memory gzip reader on members built byte by byte: header fields,
// stored and compressed deflate data, several members, damaged data, the
// growth of the output buffer and its cap.
#include "game/gzip_reader.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/zlib_deflate.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes FromText(const std::string& text) { return Bytes(text.begin(), text.end()); }

Bytes Pattern(size_t size) {
  Bytes data(size);
  uint32_t x = 12345;
  for (auto& b : data) {
    x = x * 1103515245u + 12345u;
    b = static_cast<uint8_t>(x >> 16);
  }
  return data;
}

void PutLe32(Bytes& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// Deflate data made of stored blocks (type 0), the last one final.
Bytes StoredDeflate(const Bytes& data) {
  Bytes out;
  size_t pos = 0;
  do {
    const size_t n = std::min<size_t>(65535, data.size() - pos);
    const bool last = pos + n == data.size();
    out.push_back(last ? 1 : 0);
    out.push_back(static_cast<uint8_t>(n));
    out.push_back(static_cast<uint8_t>(n >> 8));
    out.push_back(static_cast<uint8_t>(~n));
    out.push_back(static_cast<uint8_t>(~n >> 8));
    out.insert(out.end(), data.begin() + static_cast<long>(pos),
               data.begin() + static_cast<long>(pos + n));
    pos += n;
  } while (pos < data.size());
  return out;
}

// Raw deflate data compressed by zlib.
Bytes CompressedDeflate(const Bytes& data) { return testing_support::ZlibDeflate(data, -15); }

uint32_t Crc(const Bytes& data) {
  return static_cast<uint32_t>(crc32(crc32(0, Z_NULL, 0), data.data(), static_cast<uInt>(data.size())));
}

struct HeaderExtras {
  int flags = 0;
  Bytes extra;           // FEXTRA field
  std::string name;      // FNAME
  std::string comment;   // FCOMMENT
  int method = 8;
};

Bytes Member(const Bytes& data, const Bytes& deflated, const HeaderExtras& h = {}) {
  Bytes out = {0x1F, 0x8B, static_cast<uint8_t>(h.method), static_cast<uint8_t>(h.flags),
               1, 2, 3, 4, 0, 3};
  if (h.flags & 0x04) {
    out.push_back(static_cast<uint8_t>(h.extra.size()));
    out.push_back(static_cast<uint8_t>(h.extra.size() >> 8));
    out.insert(out.end(), h.extra.begin(), h.extra.end());
  }
  if (h.flags & 0x08) out.insert(out.end(), h.name.begin(), h.name.end() + 1);
  if (h.flags & 0x10) out.insert(out.end(), h.comment.begin(), h.comment.end() + 1);
  if (h.flags & 0x02) out.insert(out.end(), {0xAB, 0xCD});
  out.insert(out.end(), deflated.begin(), deflated.end());
  PutLe32(out, Crc(data));
  PutLe32(out, static_cast<uint32_t>(data.size()));
  return out;
}

Bytes StoredMember(const Bytes& data) { return Member(data, StoredDeflate(data)); }

Bytes Join(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

struct Result {
  int status;
  Bytes output;
  bool inlineBuffer;
  size_t capacity;
  bool transparent;
};

Result Inflate(const Bytes& input) {
  CMemoryGunzip g(input.data(), input.size());
  Result r;
  r.status = g.DecompressAll();
  if (g.Data() != nullptr) r.output.assign(g.Data(), g.Data() + g.Size());
  r.inlineBuffer = g.UsesInlineBuffer();
  r.capacity = g.Capacity();
  r.transparent = g.IsTransparent();
  return r;
}

TEST(GzipReader, NoInputGivesNoOutput) {
  CMemoryGunzip g(nullptr, 0);
  EXPECT_EQ(g.DecompressAll(), kGunzipOk);
  EXPECT_EQ(g.Data(), nullptr);
  EXPECT_EQ(g.Size(), 0u);
}

TEST(GzipReader, DataWithoutMagicAreTakenAsTheyAre) {
  for (const Bytes& input : {FromText("plain record"), Bytes{0x1F}, Bytes{0x1F, 0x00, 0x8B},
                             Bytes{0x8B, 0x1F}, Pattern(10000)}) {
    const Result r = Inflate(input);
    EXPECT_EQ(r.status, kGunzipOk);
    EXPECT_TRUE(r.transparent);
    EXPECT_EQ(r.output, input);
  }
}

TEST(GzipReader, InflatesStoredAndCompressedMembers) {
  const Bytes text = FromText("red chariot to the river");
  EXPECT_EQ(Inflate(StoredMember(text)).output, text);
  EXPECT_EQ(Inflate(StoredMember({})).output, Bytes{});
  const Bytes big = Pattern(70000);  // several input chunks and stored blocks
  EXPECT_EQ(Inflate(StoredMember(big)).output, big);
  Bytes repetitive(200000, 'x');
  const Result r = Inflate(Member(repetitive, CompressedDeflate(repetitive)));
  EXPECT_EQ(r.status, kGunzipOk);
  EXPECT_FALSE(r.transparent);
  EXPECT_EQ(r.output, repetitive);
}

TEST(GzipReader, SkipsOptionalHeaderFields) {
  const Bytes text = FromText("game 17");
  HeaderExtras h;
  h.flags = 0x02 | 0x04 | 0x08 | 0x10;
  h.extra = Pattern(300);
  h.name = "game.vzd";
  h.comment = "a comment";
  EXPECT_EQ(Inflate(Member(text, StoredDeflate(text), h)).output, text);
  h.flags = 0x08;
  EXPECT_EQ(Inflate(Member(text, StoredDeflate(text), h)).output, text);
}

TEST(GzipReader, ConcatenatedMembersJoin) {
  const Bytes a = FromText("first member ");
  const Bytes b = Pattern(9000);
  const Bytes c = FromText("third");
  const Bytes input =
      Join(Join(StoredMember(a), Member(b, CompressedDeflate(b))), StoredMember(c));
  EXPECT_EQ(Inflate(input).output, Join(Join(a, b), c));
}

// The second member's header, or the first's trailer, straddles the edge of
// a 4,096-byte input chunk.
TEST(GzipReader, MemberBoundaryAcrossInputChunks) {
  const Bytes second = FromText("second");
  for (size_t size = 4060; size <= 4096; ++size) {
    const Bytes first = Pattern(size);
    HeaderExtras h;
    h.flags = 0x08;
    h.name = "n";
    const Bytes input = Join(StoredMember(first), Member(second, StoredDeflate(second), h));
    const Result r = Inflate(input);
    ASSERT_EQ(r.status, kGunzipOk) << size;
    EXPECT_EQ(r.output, Join(first, second)) << size;
  }
}

TEST(GzipReader, CrcMismatchRefusesTheData) {
  const Bytes text = FromText("check sum");
  Bytes input = StoredMember(text);
  input[input.size() - 8] ^= 1;
  Result r = Inflate(input);
  EXPECT_EQ(r.status, kGunzipDataError);
  EXPECT_TRUE(r.output.empty());

  // A damaged second member spoils the whole data too.
  Bytes second = StoredMember(text);
  second[second.size() - 5] ^= 0x80;
  r = Inflate(Join(StoredMember(text), second));
  EXPECT_EQ(r.status, kGunzipDataError);

  // The stored length is not compared: members may be joined.
  Bytes lengthChanged = StoredMember(text);
  lengthChanged[lengthChanged.size() - 1] ^= 1;
  EXPECT_EQ(Inflate(lengthChanged).status, kGunzipOk);
}

TEST(GzipReader, EveryTruncationIsAnError) {
  const Bytes text = Pattern(5000);
  HeaderExtras h;
  h.flags = 0x02 | 0x04 | 0x08 | 0x10;
  h.extra = {1, 2, 3};
  h.name = "name";
  h.comment = "comment";
  for (const Bytes& whole : {Member(text, StoredDeflate(text), h),
                             Member(text, CompressedDeflate(text), h)}) {
    for (size_t cut = 2; cut < whole.size(); ++cut) {
      const Bytes part(whole.begin(), whole.begin() + static_cast<long>(cut));
      ASSERT_EQ(Inflate(part).status, kGunzipDataError) << "cut at " << cut;
    }
    EXPECT_EQ(Inflate(whole).status, kGunzipOk);
  }
}

TEST(GzipReader, BadHeaderOrDeflateDataIsAnError) {
  const Bytes text = FromText("xiangqi");
  HeaderExtras h;
  h.method = 7;
  EXPECT_EQ(Inflate(Member(text, StoredDeflate(text), h)).status, kGunzipDataError);
  for (int reserved : {0x20, 0x40, 0x80}) {
    HeaderExtras r;
    r.flags = reserved;
    EXPECT_EQ(Inflate(Member(text, StoredDeflate(text), r)).status, kGunzipDataError);
  }
  Bytes badLength = StoredDeflate(text);
  badLength[3] ^= 0xFF;  // NLEN no longer the complement of LEN
  EXPECT_EQ(Inflate(Member(text, badLength)).status, kGunzipDataError);
  const Bytes reservedBlock = {0x07, 0x00};  // final block of reserved type 3
  EXPECT_EQ(Inflate(Member(text, reservedBlock)).status, kGunzipDataError);
  // A damaged second member header.
  Bytes second = StoredMember(text);
  second[3] = 0x40;
  EXPECT_EQ(Inflate(Join(StoredMember(text), second)).status, kGunzipDataError);
}

TEST(GzipReader, BytesAfterTheLastMemberEndTheData) {
  const Bytes text = FromText("moves");
  for (const Bytes& tail : {FromText("junk"), Bytes{0x1F}, Bytes{0x1F, 0x8C, 0, 0}}) {
    const Result r = Inflate(Join(StoredMember(text), tail));
    EXPECT_EQ(r.status, kGunzipOk);
    EXPECT_EQ(r.output, text);
  }
}

TEST(GzipReader, OutputStaysInlineUpTo64KBThenGrows) {
  Result r = Inflate(StoredMember(Pattern(65536)));
  EXPECT_EQ(r.status, kGunzipOk);
  EXPECT_TRUE(r.inlineBuffer);
  EXPECT_EQ(r.capacity, 65536u);
  EXPECT_EQ(r.output, Pattern(65536));

  r = Inflate(StoredMember(Pattern(65537)));
  EXPECT_FALSE(r.inlineBuffer);
  EXPECT_EQ(r.capacity, 131072u);
  EXPECT_EQ(r.output, Pattern(65537));

  // The data are always followed by a zero byte.
  for (size_t size : {size_t{10}, size_t{65536}, size_t{131072}, size_t{300000}}) {
    const Bytes data(size, 0xEE);
    const Bytes input = Member(data, CompressedDeflate(data));
    CMemoryGunzip g(input.data(), input.size());
    ASSERT_EQ(g.DecompressAll(), kGunzipOk);
    ASSERT_EQ(g.Size(), size);
    EXPECT_GE(g.Capacity(), size);
    EXPECT_EQ(g.Data()[size], 0);
  }
}

TEST(GzipReader, OutputIsCappedAt16MB) {
  const Bytes exact(kGunzipMaxOutput, 0);
  Result r = Inflate(Member(exact, CompressedDeflate(exact)));
  EXPECT_EQ(r.status, kGunzipOk);
  EXPECT_EQ(r.output.size(), kGunzipMaxOutput);

  const Bytes over(kGunzipMaxOutput + 1, 0);
  r = Inflate(Member(over, CompressedDeflate(over)));
  EXPECT_EQ(r.status, kGunzipTooLarge);
  EXPECT_TRUE(r.output.empty());

  // Two members that pass the cap only together.
  const Bytes half(kGunzipMaxOutput / 2 + 1, 0);
  const Bytes member = Member(half, CompressedDeflate(half));
  EXPECT_EQ(Inflate(Join(member, member)).status, kGunzipTooLarge);
}

TEST(GzipReader, ReadAfterTheEndOrAnErrorKeepsItsAnswer) {
  const Bytes good = StoredMember(FromText("done"));
  CMemoryGunzip finished(good.data(), good.size());
  ASSERT_EQ(finished.DecompressAll(), kGunzipOk);
  uint8_t buffer[16];
  EXPECT_EQ(finished.Read(buffer, sizeof buffer), 0);
  EXPECT_EQ(finished.Read(buffer, sizeof buffer), 0);

  Bytes bad = good;
  bad[bad.size() - 6] ^= 4;
  CMemoryGunzip failed(bad.data(), bad.size());
  ASSERT_EQ(failed.DecompressAll(), kGunzipDataError);
  EXPECT_EQ(failed.Read(buffer, sizeof buffer), -1);
  EXPECT_EQ(failed.Read(buffer, sizeof buffer), -1);
}

}  // namespace
