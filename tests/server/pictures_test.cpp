// Pictures are judged by reading them through as their format: small real pictures of each kind
// pass, and what only begins like one (a web page behind a GIF header, a cut-off file, bytes after
// the end mark) does not.

#include <gtest/gtest.h>

#include "server/pages/pictures.h"

namespace yz::server {
namespace {

std::string FromHex(std::string_view hex) {
    std::string bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        bytes.push_back(static_cast<char>(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16)));
    }
    return bytes;
}

const std::string kJpeg = FromHex(
    "ffd8ffe000104a46494600010100000100010000ffdb004300030202020202030202020303030304060404040404080606050609080a0a09"
    "0809090a0c0f0c0a0b0e0b09090d110d0e0f101011100a0c12131210130f101010ffc0000b080001000201011100ffc40014000100000000"
    "000000000000000000000009ffc40014100100000000000000000000000000000000ffda0008010100003f0054dfffd9");
const std::string kPng = FromHex(
    "89504e470d0a1a0a0000000d4948445200000001000000010802000000907753de0000000c49444154789c63f8ffff3f0005fe02fe0def46"
    "b80000000049454e44ae426082");
const std::string kGif =
    FromHex("47494638396101000100800000ffffff00000021f90401000000002c00000000010001000002024401003b");
const std::string kBmp = FromHex(
    "424d92000000000000008a0000007c0000000200000001000000010018000000000008000000000000000000000000000000000000000000"
    "ff0000ff0000ff000000000000ff424752730000000000000000000000000000000000000000000000000000000000000000000000000000"
    "0000000000000000000004000000000000000000000000000000ffffffffffff0000");

TEST(PicturesTest, WholePicturesPassAndLookAlikesDoNot) {
    EXPECT_EQ(PictureType(kJpeg), "jpg");
    EXPECT_EQ(PictureType(kPng), "png");
    EXPECT_EQ(PictureType(kGif), "gif");
    EXPECT_EQ(PictureType(kBmp), "bmp");
    // A page behind a GIF header was once served to browsers as image/gif.
    EXPECT_EQ(PictureType("GIF89a<html><script>alert(1)</script>"), std::nullopt);
    EXPECT_EQ(PictureType(""), std::nullopt);
    const std::pair<const std::string*, const char*> pictures[] = {
        {&kJpeg, "jpg"}, {&kPng, "png"}, {&kGif, "gif"}, {&kBmp, "bmp"}};
    for (const auto& [picture, type] : pictures) {
        // Cut anywhere, or with anything after its end, it is no picture.
        for (std::size_t size = 0; size < picture->size(); ++size) {
            EXPECT_EQ(PictureType(picture->substr(0, size)), std::nullopt) << type << " " << size;
        }
        EXPECT_EQ(PictureType(*picture + "<html>"), std::nullopt) << type;
    }
    // A changed byte inside a PNG chunk no longer matches its checksum.
    std::string png = kPng;
    png[45] ^= 1;
    EXPECT_EQ(PictureType(png), std::nullopt);
    // A GIF or BMP without width says nothing about the picture it would be.
    std::string gif = kGif;
    gif[6] = gif[7] = 0;
    EXPECT_EQ(PictureType(gif), std::nullopt);
    std::string bmp = kBmp;
    bmp[18] = 0;
    EXPECT_EQ(PictureType(bmp), std::nullopt);
}

}  // namespace
}  // namespace yz::server
