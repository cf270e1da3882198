#include <gtest/gtest.h>

#include <vector>

#include "platform/coding.h"

namespace pelisto {
namespace {

using Bytes = std::vector<uint8_t>;

TEST(Coding, RawFormsPutAndGetInTheirByteOrder) {
  Bytes b(12);
  putLe16(&b[0], 0x1234);
  putLe32(&b[2], 0xA1B2C3D4);
  putBe16(&b[6], 0x1234);
  putBe32(&b[8], 0xA1B2C3D4);
  EXPECT_EQ(b, (Bytes{0x34, 0x12, 0xD4, 0xC3, 0xB2, 0xA1, 0x12, 0x34, 0xA1, 0xB2, 0xC3, 0xD4}));
  EXPECT_EQ(getLe16(&b[0]), 0x1234);
  EXPECT_EQ(getLe32(&b[2]), 0xA1B2C3D4u);
  EXPECT_EQ(getBe16(&b[6]), 0x1234);
  EXPECT_EQ(getBe32(&b[8]), 0xA1B2C3D4u);
}

TEST(Coding, CursorNumbersRoundTripAndShortInputFailsInPlace) {
  ByteWriter w;
  w.putBe16(-2);
  w.putBe32(88200);
  w.putBe32(-1);
  ASSERT_EQ(w.bytes(), (Bytes{0xFF, 0xFE, 0x00, 0x01, 0x58, 0x88, 0xFF, 0xFF, 0xFF, 0xFF}));
  ByteReader r(w.bytes());
  EXPECT_EQ(r.be16(), -2);
  EXPECT_EQ(r.be32(), 88200);
  EXPECT_EQ(r.bytes(5), std::nullopt);  // only 4 left
  EXPECT_EQ(r.position(), 6u);
  EXPECT_EQ(r.be32(), -1);
  EXPECT_EQ(r.byte(), std::nullopt);
  EXPECT_EQ(r.bytes(0), std::string());

  ByteWriter le;
  le.putLe16(-2);
  le.putLe32(88200);
  ASSERT_EQ(le.bytes(), (Bytes{0xFE, 0xFF, 0x88, 0x58, 0x01, 0x00}));
  ByteReader lr(le.bytes());
  EXPECT_EQ(lr.le16(), -2);
  EXPECT_EQ(lr.le16(), 0x5888);
  EXPECT_EQ(lr.le32(), std::nullopt);  // only 2 left
  EXPECT_EQ(lr.le16(), 1);
}

}  // namespace
}  // namespace pelisto
