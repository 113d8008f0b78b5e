// Opens fuzzed .kkjx files and decrypts fuzzed data with both ciphers; then builds a file from the
// same bytes and insists that it opens to the document's text again.
//
// Input: first byte = password length (mod 10), then the password, then the file bytes.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>

#include "crypto/data_cipher.h"
#include "crypto/kkjx_format.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    std::size_t password_size = data[0] % (yz::kKkjxPasswordMaxBytes + 1);
    password_size = password_size < size - 1 ? password_size : size - 1;
    const yz::Text password(reinterpret_cast<const char*>(data + 1), password_size);
    const yz::ByteView file(data + 1 + password_size, size - 1 - password_size);

    const std::optional<yz::Text> opened = yz::OpenKkjxFile(file, password);
    if (opened && opened->find('\0') != yz::Text::npos) {
        std::fprintf(stderr, "opened text holds a zero byte\n");
        std::abort();
    }
    for (yz::CipherAlgorithm algorithm : {yz::CipherAlgorithm::kBlock, yz::CipherAlgorithm::kStream}) {
        const yz::Bytes plain = yz::DecryptData(file, password, algorithm);
        const bool length_ok =
            algorithm == yz::CipherAlgorithm::kStream
                ? plain.size() == file.size()
                : plain.empty() || (plain.size() + 4 <= file.size() && file.size() < plain.size() + 12);
        if (!length_ok) {
            std::fprintf(stderr, "data cipher %d: %zu bytes from %zu\n", static_cast<int>(algorithm), plain.size(),
                         file.size());
            std::abort();
        }
        if (!file.empty() && yz::DecryptData(yz::EncryptData(file, password, algorithm), password, algorithm) !=
                                 yz::Bytes(file.data(), file.data() + file.size())) {
            std::fprintf(stderr, "data cipher %d does not round-trip\n", static_cast<int>(algorithm));
            std::abort();
        }
    }

    // The file bytes as a document: it must come back up to its first zero byte.
    const std::uint8_t clock = password_size > 0 ? data[1] : 0;
    yz::DateTime now;
    now.month = 1 + clock % 12;
    now.day = 1 + clock % 31;
    now.hour = clock % 24;
    const std::int32_t disk = static_cast<std::int32_t>(size * 2654435761u);
    const yz::Bytes built = yz::BuildKkjxFile(file, password, now, disk);
    const std::optional<yz::Text> reopened = yz::OpenKkjxFile(built, password);
    const std::size_t end = std::find(file.data(), file.data() + file.size(), 0) - file.data();
    if (!reopened || *reopened != yz::Text(reinterpret_cast<const char*>(file.data()), end)) {
        std::fprintf(stderr, "built file does not open to its document\n");
        std::abort();
    }
    // One more byte at the end always changes the check field.
    if (yz::OpenKkjxFile(built, password + "x")) {
        std::fprintf(stderr, "built file opens with a longer password\n");
        std::abort();
    }
    return 0;
}
