#include "online/chat_words.h"

#include "runtime/text.h"

namespace yz {

const std::array<Text, kBannedWordCount>& BannedWords() {
    static const std::array<Text, kBannedWordCount> words = {
        // Sexual terms and insults; the first is a single character.
        "屌", "傻逼", "煞笔", "贱人", "婊子", "混蛋", "王八", "杂种", "畜生", "人渣", "脑残", "白痴", "滚蛋", "去死",
        "他妈", "妈的", "狗屎", "废物", "色情", "做爱", "性交", "淫荡", "强奸", "嫖娼", "卖淫", "裸聊",
        // Insult abbreviations.
        "SB", "TMD", "CNM", "NMSL",
        // Political figures.
        "秦桧", "汪精卫", "袁世凯", "和珅", "严嵩", "魏忠贤", "蔡京", "高俅"};
    return words;
}

Text FirstBannedWord(const Text& text) {
    for (const Text& word : BannedWords()) {
        if (FindText(text, word, 1, true) > 0) {
            return word;
        }
    }
    return {};
}

}  // namespace yz
