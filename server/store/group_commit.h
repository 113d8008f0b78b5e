#pragma once

// Writes committed in groups. A durable commit costs one sync of the disk however much it holds,
// so the writes that arrive while one group is being committed wait together for the next: one
// thread takes every write queued, runs them in one transaction on a connection of its own, each
// in its own savepoint (a write that fails or refuses undoes only itself), commits with one sync,
// and only then hands each waiting caller its own result.
//
// A Session is the storage engine's half, used by the committer thread alone:
//   using Write = std::function<GroupResult(Connection&)>;   // one write, on the engine's connection
//   // Runs `writes` in one transaction, each in its own savepoint, filling `results` (each starts
//   // as nullopt, which a write that failed or refused keeps, rolled back alone); true once the
//   // transaction is committed and on disk, false when nothing of it was kept.
//   bool Commit(const std::vector<const Write*>& writes, std::vector<GroupResult>& results);

#include <pthread.h>
#include <signal.h>

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

namespace yz::server {

// What one write gives back: the id it made (0 when it makes none), nullopt when it was not stored.
using GroupResult = std::optional<std::int64_t>;

// Writes waiting for the next group beyond which a new one fails at once (the page answers 503):
// a bound on what a flood of writes can hold in memory and in waiting callers.
inline constexpr std::size_t kGroupQueueLimit = 1024;

template <typename Session>
class GroupCommitter {
  public:
    using Write = typename Session::Write;

    explicit GroupCommitter(Session session, std::size_t limit = kGroupQueueLimit)
        : session_(std::move(session)), limit_(limit) {
        // The committer takes no signals: a server waits for its stop signals in a thread of its
        // own, and a signal delivered here would end the process instead.
        sigset_t all;
        sigset_t previous;
        sigfillset(&all);
        pthread_sigmask(SIG_SETMASK, &all, &previous);
        thread_ = std::thread([this] { Loop(); });
        pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    }

    // Commits what is queued, then stops.
    ~GroupCommitter() {
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        wake_.notify_one();
        thread_.join();
    }

    GroupCommitter(const GroupCommitter&) = delete;
    GroupCommitter& operator=(const GroupCommitter&) = delete;

    // Queues `write` and waits until the commit holding it is on disk: its result then; nullopt
    // when it was refused, its group could not be committed or the queue is full.
    GroupResult Submit(const Write& write) {
        Pending pending{.write = &write};
        std::unique_lock lock(mutex_);
        if (stopping_ || queue_.size() >= limit_) {
            return std::nullopt;
        }
        queue_.push_back(&pending);
        wake_.notify_one();
        done_.wait(lock, [&] { return pending.done; });
        return pending.result;
    }

    // Writes queued for the next group (not those of the group being committed).
    std::size_t Waiting() {
        std::lock_guard lock(mutex_);
        return queue_.size();
    }

  private:
    struct Pending {
        const Write* write = nullptr;
        GroupResult result;
        bool done = false;
    };

    void Loop() {
        std::vector<Pending*> group;
        std::vector<const Write*> writes;
        std::vector<GroupResult> results;
        std::unique_lock lock(mutex_);
        for (;;) {
            wake_.wait(lock, [&] { return stopping_ || !queue_.empty(); });
            if (queue_.empty()) {
                return;
            }
            group.assign(queue_.begin(), queue_.end());
            queue_.clear();
            lock.unlock();
            writes.clear();
            for (const Pending* pending : group) {
                writes.push_back(pending->write);
            }
            results.assign(group.size(), std::nullopt);
            const bool committed = session_.Commit(writes, results);
            lock.lock();
            for (std::size_t i = 0; i < group.size(); ++i) {
                group[i]->result = committed ? results[i] : std::nullopt;
                group[i]->done = true;
            }
            done_.notify_all();
        }
    }

    Session session_;
    const std::size_t limit_;
    std::mutex mutex_;
    std::condition_variable wake_;  // the committer: writes queued, or stopping
    std::condition_variable done_;  // the callers: a group is committed or refused
    std::deque<Pending*> queue_;
    bool stopping_ = false;
    std::thread thread_;
};

}  // namespace yz::server
