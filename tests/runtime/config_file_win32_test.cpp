// Our configuration reader against the system's own GetPrivateProfileStringA, on files as writers
// leave them after editing by hand: comments, blank and odd lines, keys without "=", duplicate
// keys and sections, names in other cases, GBK names (some with a trail byte that is an ASCII
// letter or a backslash), blanks of every kind around names and values, and CR LF, LF or CR
// alone as line ends. Both must give the same text for every read.

#include <windows.h>
// <windows.h> maps these names to their W forms; ours are the functions of files.h.
#undef SetFileAttributes
#undef GetFileAttributes

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "runtime/config_file.h"
#include "runtime/files.h"
#include "support/temp_dir.h"
#include "support/test_text.h"

namespace yz {
namespace {

// What the program asks for, and names that only look like them.
const Text kSections[] = {"功能配置", "其他", "Gong"};
const Text kKeys[] = {"透明背景",           "字体名称", "cnhy", "Key",      "\x81\x41" /* 丄, trail 'A' */,
                      "乗" /* trail '\' */, "\x80",     ";k",   "字体 名称"};

// A name as it appears in the file, and the name asked for when the file is read.
struct Spelling {
    Text in_file;
    Text asked;
};

const Spelling kHeaders[] = {{"[功能配置]", "功能配置"},
                             {"[ 功能配置 ]", "功能配置"},
                             {"[功能配置] ; 设置", "功能配置"},
                             {"[其他]", "其他"},
                             {"[GONG]", "Gong"},
                             {"[ Gong\t]", "Gong"},
                             {"[功能配置", "功能配置"},
                             {"[乚]" /* trail ']' */, "其他"},
                             {"[]", "其他"},
                             {"x]", "Gong"}};
const Spelling kFileKeys[] = {{"透明背景", "透明背景"},
                              {"字体名称", "字体名称"},
                              {"CNHY", "cnhy"},
                              {"cnhy", "cnhy"},
                              {"kEY", "Key"},
                              {"\x81\x41", "\x81\x41"},
                              {"\x81\x61" /* 乤, trail 'a' */, "\x81\x41"},
                              {"乗", "乗"},
                              {"\x80", "\x80"},
                              {";k", ";k"},
                              {"字体 名称", "字体 名称"},
                              {"字体  名称", "字体 名称"},
                              {"透明", "透明背景"}};
const Text kValues[] = {"60",  "",    "宋体",     "'单引'", "\"双引\"",           "\"半", "a=b", "真", "300",
                        "abc", "x y", "\x80\x80", "乗",     "\xA1\xA1值\xA1\xA1", "''",   "\"",  "\"'"};
const Text kBlanks[] = {"", "", "", " ", "\t", "  ", "\v", "\f", "\x1A", "\xA1\xA1", " \t "};
const Text kOddLines[] = {"; 透明背景=1", ";cnhy=笔名", "# 透明背景=2", "=孤值",         "  ",
                          "\t",           "\xA1\xA1",   "[功能配置]x",  "透明背景 = = 5"};

struct Read {
    Text section;
    Text key;
};

// Files and the reads worth making on them: the names the file holds, asked for as the program
// would ask, and names from anywhere.
class Generator {
  public:
    explicit Generator(std::uint32_t seed) : random_(seed) {}

    std::size_t Below(std::size_t n) { return random_() % n; }
    template <typename T, std::size_t N>
    const T& Pick(const T (&items)[N]) {
        return items[Below(N)];
    }

    // Each file keeps one kind of line end, or mixes them line by line.
    Text File() {
        static const Text kBreaks[] = {"\r\n", "\n", "\r"};
        const std::size_t style = Below(4);
        reads_.clear();
        section_ = Pick(kSections);
        Text content;
        const std::size_t lines = 1 + Below(14);
        for (std::size_t i = 0; i < lines; ++i) {
            content += i == 0 && Below(4) != 0 ? Header() : Line();
            if (i + 1 < lines || Below(3) != 0) {
                content += style < 3 ? kBreaks[style] : Pick(kBreaks);
            }
        }
        for (int i = 0; i < 4; ++i) {
            reads_.push_back({Pick(kSections), Pick(kKeys)});
        }
        return content;
    }

    const std::vector<Read>& reads() const { return reads_; }

  private:
    Text Header() {
        const Spelling& header = Pick(kHeaders);
        section_ = header.asked;
        return Pick(kBlanks) + header.in_file + Pick(kBlanks);
    }

    Text Entry() {
        const Spelling& name = Pick(kFileKeys);
        reads_.push_back({section_, name.asked});
        const Text key = Pick(kBlanks) + name.in_file + Pick(kBlanks);
        if (Below(6) == 0) {
            return key;  // a key without "="
        }
        const Text value = Below(60) == 0 ? Text(12000, 'v') : Pick(kValues);
        return key + "=" + Pick(kBlanks) + value + Pick(kBlanks);
    }

    Text Line() {
        switch (Below(10)) {
            case 0:
            case 1:
                return Header();
            case 2:
                return Pick(kOddLines);
            case 3:
                return "";
            default:
                return Entry();
        }
    }

    std::mt19937 random_;
    std::vector<Read> reads_;
    Text section_;
};

Text SystemRead(const Text& file, const Text& section, const Text& key, const std::optional<Text>& fallback) {
    std::vector<char> buffer(kConfigValueLimit + 1);
    const DWORD length = GetPrivateProfileStringA(section.c_str(), key.c_str(), fallback ? fallback->c_str() : nullptr,
                                                  buffer.data(), static_cast<DWORD>(buffer.size()), file.c_str());
    return Text(buffer.data(), length);
}

std::optional<Text> PickDefault(Generator& generator) {
    static const std::optional<Text> kDefaults[] = {std::nullopt, "默认", "60", "默认  ", "'默认'", ""};
    return generator.Pick(kDefaults);
}

TEST(ConfigFileAgainstSystem, HandEditedFilesReadTheSame) {
    test::TempDir dir;
    Generator generator(20261209);
    int reads = 0, values = 0, mismatches = 0;
    for (int round = 0; round < 300; ++round) {
        // A new name for every file: the system caches the files it has read.
        const Text file = dir.File("config" + std::to_string(round) + ".ini");
        const Text content = generator.File();
        ASSERT_TRUE(WriteFileBytes(file, {content}));
        for (const Read& read : generator.reads()) {
            const std::optional<Text> fallback = PickDefault(generator);
            const Text ours = ReadConfigItem(file, read.section, read.key, fallback);
            const Text system = SystemRead(file, read.section, read.key, fallback);
            ++reads;
            values += ReadConfigItem(file, read.section, read.key, "\x01") != "\x01" ? 1 : 0;
            if (ours != system && ++mismatches <= 10) {
                ADD_FAILURE() << "file " << test::Show(content) << "\nsection " << test::Show(read.section) << " key "
                              << test::Show(read.key) << "\nours   " << test::Show(ours) << "\nsystem "
                              << test::Show(system);
            }
        }
    }
    EXPECT_EQ(mismatches, 0) << "of " << reads << " reads";
    // The files must hold what is asked for often enough to compare values, not only defaults.
    EXPECT_GT(values, reads / 10) << "of " << reads << " reads";
}

TEST(ConfigFileAgainstSystem, TheSystemReadsWhatWeWrite) {
    test::TempDir dir;
    Generator generator(7);
    for (int round = 0; round < 100; ++round) {
        const Text file = dir.File("written" + std::to_string(round) + ".ini");
        const Text content = generator.File();
        ASSERT_TRUE(WriteFileBytes(file, {content}));
        const Text section = generator.Pick(kSections);
        const Text key = generator.Pick(kKeys);
        const Text value = "值" + std::to_string(round);
        ASSERT_TRUE(WriteConfigItem(file, section, key, value));
        EXPECT_EQ(test::Show(SystemRead(file, section, key, std::nullopt)), test::Show(value))
            << "file " << test::Show(content) << "\nsection " << test::Show(section) << " key " << test::Show(key);
        EXPECT_EQ(test::Show(ReadConfigItem(file, section, key)), test::Show(value));
    }
}

}  // namespace
}  // namespace yz
