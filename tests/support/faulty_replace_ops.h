#pragma once

// The platform's file replace steps (runtime/atomic_write.h) with chosen ones failing.

#include <algorithm>
#include <optional>
#include <vector>

#include "runtime/atomic_write.h"

namespace yz::test {

enum class Step { kReadTarget, kCheckTarget, kCreateTemp, kWrite, kFlush, kClose, kRename, kRemove };

// The platform's steps, recorded, with the chosen one failing as it fails for real: a failed
// write has written part of its bytes, a failed close has still released the handle.
class FaultyOps final : public FileReplaceOps {
  public:
    explicit FaultyOps(std::vector<Step> failing = {}, std::size_t failing_write = 1)
        : failing_(std::move(failing)), failing_write_(failing_write) {}
    std::vector<Step> calls;
    std::vector<std::size_t> write_sizes;

    // A read that fails finds the file there but unreadable.
    std::optional<Bytes> ReadTarget(const Text& path) override {
        return Pass(Step::kReadTarget) ? real_.ReadTarget(path) : std::nullopt;
    }
    bool CheckTarget(const std::filesystem::path& t) override {
        return Pass(Step::kCheckTarget) && real_.CheckTarget(t);
    }
    bool CreateTemp(const std::filesystem::path& t, TempFile& f) override {
        return Pass(Step::kCreateTemp) && real_.CreateTemp(t, f);
    }
    bool Write(const TempFile& f, ByteView bytes) override {
        write_sizes.push_back(bytes.size());
        if (!Pass(Step::kWrite) && write_sizes.size() == failing_write_) {
            real_.Write(f, ByteView(bytes.data(), bytes.size() / 2));
            return false;
        }
        return real_.Write(f, bytes);
    }
    bool Flush(const TempFile& f) override { return Pass(Step::kFlush) && real_.Flush(f); }
    bool Close(TempFile& f) override { return real_.Close(f) & Pass(Step::kClose); }
    bool Rename(const TempFile& f, const std::filesystem::path& t) override {
        return Pass(Step::kRename) && real_.Rename(f, t);
    }
    bool Remove(const std::filesystem::path& p) override { return Pass(Step::kRemove) && real_.Remove(p); }

  private:
    bool Pass(Step step) {
        calls.push_back(step);
        return std::find(failing_.begin(), failing_.end(), step) == failing_.end();
    }
    FileReplaceOps& real_ = PlatformReplaceOps();
    std::vector<Step> failing_;
    std::size_t failing_write_;
};

}  // namespace yz::test
