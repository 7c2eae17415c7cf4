// SPDX-License-Identifier: Apache-2.0
#include "embedded_pictures.h"
#include "jpeg_image.h"

#include <gtest/gtest.h>

namespace {

QByteArray logo() { return embedded_bytes(logo_jpeg, logo_jpeg_size); }

TEST(JpegImage, EmbeddedLogoDecodesAtItsLaidOutSize)
{
    const QImage image = decode_jpeg(logo());
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.width(), 350);
    EXPECT_EQ(image.height(), 190);
    EXPECT_EQ(image.format(), QImage::Format_RGB888);
    // The logo's top-left corner is a pale sky colour, its lungs are red.
    const QColor corner = image.pixelColor(2, 2);
    EXPECT_GT(corner.blue(), 220);
    EXPECT_GT(corner.red(), 200);
    const QColor lung = image.pixelColor(40, 120);
    EXPECT_GT(lung.red(), 180);
    EXPECT_LT(lung.green(), 150);
}

struct bad_input {
    const char* what;
    QByteArray bytes;
};

class JpegImageRejects : public ::testing::TestWithParam<bad_input> {};

TEST_P(JpegImageRejects, WithANullImageAndNoOutput)
{
    testing::internal::CaptureStderr();
    const QImage image = decode_jpeg(GetParam().bytes);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(image.isNull()) << GetParam().what;
    EXPECT_EQ(said, "") << GetParam().what;
}

QByteArray corrupted_logo()
{
    QByteArray bytes = logo();
    bytes.detach();
    // Overwrite the middle of the entropy-coded data with marker bytes.
    for (qsizetype i = bytes.size() / 2; i < bytes.size() / 2 + 64; ++i) bytes[i] = char(0xFF);
    return bytes;
}

QByteArray corrupted_header()
{
    QByteArray bytes = logo();
    bytes.detach();
    for (qsizetype i = 4; i < 40; ++i) bytes[i] = char(0x5A);
    return bytes;
}

INSTANTIATE_TEST_SUITE_P(BrokenBytes, JpegImageRejects,
                         ::testing::Values(bad_input{"empty", QByteArray()},
                                           bad_input{"not a jpeg",
                                                     QByteArray("GIF89a this is no jpeg at all")},
                                           bad_input{"start marker only", QByteArray("\xFF\xD8", 2)},
                                           bad_input{"truncated to half", logo().left(logo().size() / 2)},
                                           bad_input{"truncated header", logo().left(100)},
                                           bad_input{"corrupt header", corrupted_header()},
                                           bad_input{"corrupt data", corrupted_logo()}));

TEST(JpegImage, DecodesAgainAfterAFailure)
{
    // The error manager's jump leaves nothing behind that spoils the next call.
    EXPECT_TRUE(decode_jpeg(logo().left(200)).isNull());
    EXPECT_FALSE(decode_jpeg(logo()).isNull());
}

}  // namespace
