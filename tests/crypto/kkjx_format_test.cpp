#include "crypto/kkjx_format.h"

#include <gtest/gtest.h>

#include "crypto/cipher_test_support.h"
#include "crypto/data_cipher.h"
#include "crypto/rc4.h"
#include "support/test_text.h"

namespace yz {
namespace {

using test::FromHex;
using test::Hex;
using test::Show;

constexpr char kFileKey[] = "pwtm3842hd1795rvb";

DateTime At(int month, int day, int hour) {
    DateTime time;
    time.year = 2024;
    time.month = month;
    time.day = day;
    time.hour = hour;
    time.minute = 41;
    time.second = 7;
    return time;
}

// P, the plain content under the outer block layer.
Bytes PlainOf(const Bytes& file) {
    return DecryptData(file, kFileKey);
}

Bytes EncryptPlain(const Bytes& plain) {
    return EncryptData(plain, kFileKey);
}

TEST(KkjxHeaderTest, FieldsAndTags) {
    const struct {
        int month;
        int day;
        int hour;
        std::int32_t disk;
        const char* header;
    } cases[] = {
        {3, 5, 14, 0, "1002121423"},
        {1, 1, 0, 0, "1002101009"},  // hour 0 is padded to "09"
        {12, 31, 23, 123456, "3456214032"},
        {6, 15, 9, 1000, "1000152418"},
        {6, 15, 9, 99, "0099152418"},
        {6, 15, 9, 7, "0007152418"},
        {6, 15, 9, -7, "00-7152418"},
        {6, 15, 9, -123, "-123152418"},
        {6, 15, 9, -12345, "2345152418"},
        {6, 15, 9, 2147483647, "3647152418"},
        {6, 15, 9, -2147483647 - 1, "3648152418"},
        {0, 0, -1, 0, "1002101009"},  // out-of-range fields are held to their ranges
        {13, 32, 24, 0, "1002214032"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(KkjxHeader(At(c.month, c.day, c.hour), c.disk), c.header) << c.disk;
    }
}

// Content computed outside this code base (RC4 and framing by hand, DES-ECB of libcrypto): the
// document "Hello, " plus two GBK characters and a byte C8, password "abc", 14 March 0 o'clock,
// disk number 0.
TEST(KkjxFileTest, MatchesIndependentComputation) {
    const Bytes document = FromHex("48 65 6c 6c 6f 2c 20 ca c0 bd e7 c8");
    const Bytes file = BuildKkjxFile(document, "abc", At(3, 5, 0), 0);
    EXPECT_EQ(Hex(file),
              "ef cf 68 7f 91 37 a6 a5 6d b0 78 fd 4e 5b c7 3f 2f b2 b2 b5 cf 10 50 08 d2 6c 4b ec c8 a5 07 05 ed 1b "
              "12 6e d0 2d 7d 63");
    const std::optional<Text> text = OpenKkjxFile(file, "abc");
    ASSERT_TRUE(text.has_value());
    EXPECT_EQ(Hex(*text), Hex(document));
}

// P = header | body | check field, and the file is P under the block framing.
TEST(KkjxFileTest, LayoutOfPlainContent) {
    const struct {
        const char* document;
        const char* password;
        std::size_t plain_size;
        std::size_t file_size;
        const char* check;
    } cases[] = {
        {"", "a", 19, 24, "~~~~~~~~a"},
        {"", "123456789", 19, 24, "123456789"},
        {"twelve bytes", "12345678", 31, 40, "~12345678"},
        {"twelve bytes", "pw", 31, 40, "~~~~~~~pw"},
        {"x", "pw", 20, 24, "~~~~~~~pw"},
        {"sixteen bytes!!!", "pw", 35, 40, "~~~~~~~pw"},
    };
    for (const auto& c : cases) {
        const Text document = c.document;
        const Bytes file = BuildKkjxFile(document, c.password, At(7, 8, 9), 42);
        EXPECT_EQ(file.size(), c.file_size) << c.document;
        const Bytes plain = PlainOf(file);
        ASSERT_EQ(plain.size(), c.plain_size) << c.document;
        EXPECT_EQ(Text(plain.begin(), plain.begin() + 10), "0042161718");
        EXPECT_EQ(Text(plain.end() - 9, plain.end()), c.check);
        Bytes body;
        for (char byte : document) {
            body.push_back(static_cast<std::uint8_t>(byte + 56));
        }
        EXPECT_EQ(Hex(Bytes(plain.begin() + 10, plain.end() - 9)), Hex(Rc4Apply(c.password, body))) << c.document;
    }
}

TEST(KkjxFileTest, RoundTripsDocumentsPasswordsAndHeaders) {
    Text every_byte;
    for (int byte = 1; byte < 256; ++byte) {
        every_byte.push_back(static_cast<char>(byte));
    }
    const Text documents[] = {
        "", "a", "\xc8", "\xc8\xc8 starts with C8", "\xd6\xd0\xce\xc4 GBK text\r\n", every_byte, Text(5000, 'z')};
    const char* passwords[] = {"1",      "ab",      "abc",      "1234",     "\xc3\xdc\xc2\xeb",
                               "123456", "1234567", "12345678", "123456789"};
    const std::pair<DateTime, std::int32_t> headers[] = {
        {At(1, 1, 0), 0}, {At(12, 31, 23), 7}, {At(2, 29, 5), -7}, {At(10, 10, 10), 123456789}};
    for (const Text& document : documents) {
        for (const char* password : passwords) {
            for (const auto& [now, disk] : headers) {
                const std::optional<Text> text = OpenKkjxFile(BuildKkjxFile(document, password, now, disk), password);
                ASSERT_TRUE(text.has_value()) << password << " " << disk;
                EXPECT_EQ(*text, document) << Show(document) << " / " << password << " / " << disk;
            }
        }
    }
}

TEST(KkjxFileTest, TextEndsAtFirstZeroByte) {
    const Bytes document = FromHex("61 62 00 63 64");
    const std::optional<Text> text = OpenKkjxFile(BuildKkjxFile(document, "pw", At(4, 4, 4), 1), "pw");
    ASSERT_TRUE(text.has_value());
    EXPECT_EQ(*text, "ab");
}

TEST(KkjxFileTest, WrongPasswordIsRefused) {
    const Bytes file = BuildKkjxFile("the novel", "abc", At(5, 5, 5), 5);
    for (const char* password : {"abd", "ab", "abcd", "ABC", "cba", "~~~~~~abc~", "", "abc\x7e"}) {
        EXPECT_FALSE(OpenKkjxFile(file, password).has_value()) << password;
    }
    // A password past 9 bytes makes a check field that can never match.
    EXPECT_FALSE(OpenKkjxFile(BuildKkjxFile("x", "0123456789", At(5, 5, 5), 5), "0123456789").has_value());
    // Padding makes a leading '~' invisible to the check; such a password gets past it and only
    // the body comes out wrong.
    const std::optional<Text> tilde = OpenKkjxFile(file, "~abc");
    ASSERT_TRUE(tilde.has_value());
    EXPECT_NE(*tilde, "the novel");
}

TEST(KkjxFileTest, DamagedFilesAreRefused) {
    const Bytes file = BuildKkjxFile("a document of some length", "pw", At(5, 5, 5), 5);
    ASSERT_EQ(file.size(), 48u);
    Bytes longer = file;
    longer.push_back(0);
    EXPECT_FALSE(OpenKkjxFile(longer, "pw").has_value());
    for (std::size_t size : {0, 1, 8, 23, 40, 47}) {
        EXPECT_FALSE(OpenKkjxFile(ByteView(file.data(), size), "pw").has_value()) << size;
    }
    Bytes flipped = file;
    flipped.back() ^= 1;
    EXPECT_FALSE(OpenKkjxFile(flipped, "pw").has_value());
}

// The reader drops exactly 10 bytes whatever they hold, and copes with content shorter than that.
TEST(KkjxFileTest, ReaderDropsTenHeaderBytesBlindly) {
    Bytes body = {'h' + 56, 'i' + 56};
    body = Rc4Apply("pw", body);
    Bytes plain = BytesOf("ABCDEFGHIJ");
    plain.insert(plain.end(), body.begin(), body.end());
    plain.insert(plain.end(), {'~', '~', '~', '~', '~', '~', '~', 'p', 'w'});
    EXPECT_EQ(OpenKkjxFile(EncryptPlain(plain), "pw"), std::optional<Text>("hi"));

    for (const char* short_plain : {"~~~~~~~pw", "12345~~~~~~~pw", "123456789~~~~~~~pw"}) {
        EXPECT_EQ(OpenKkjxFile(EncryptPlain(BytesOf(short_plain)), "pw"), std::optional<Text>("")) << short_plain;
    }
    EXPECT_FALSE(OpenKkjxFile(EncryptPlain(BytesOf("~~~~~pw")), "pw").has_value());
}

}  // namespace
}  // namespace yz
