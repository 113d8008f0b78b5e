#pragma once

// The Store on one SQLite database file in WAL mode: readers never wait for the writer, a commit
// is on disk (synchronous FULL) before the page acknowledges it, and a killed server leaves a
// database that opens again with everything it acknowledged. The pages' writes (works, records,
// feedback) are committed in groups (see group_commit.h); the maker's rare ones each on their own. Every statement is
// prepared with bound parameters; texts are stored as blobs so their bytes come back unchanged.

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "server/store/store.h"

struct sqlite3;

namespace yz::server {

class SqliteConnection;
class SqliteGroupSession;
template <typename Session>
class GroupCommitter;

class SqliteStore final : public Store {
  public:
    // Opens or creates the database at `path` and its tables. Empty, with `error` set to a message
    // naming the path, when the file cannot be created, is not a database, is read-only (its mode
    // grants nobody write access, which counts even for root) or cannot be written.
    static std::unique_ptr<SqliteStore> Open(const std::string& path, std::string& error);

    ~SqliteStore() override;
    SqliteStore(const SqliteStore&) = delete;
    SqliteStore& operator=(const SqliteStore&) = delete;

    std::optional<std::int64_t> AddWork(const Work& work) override;
    std::optional<std::vector<Work>> ListWorks(std::int64_t before_id, std::size_t limit) override;
    std::optional<bool> DeleteWork(std::int64_t id) override;
    std::optional<WorksSince> WorksAfter(std::int64_t after_id, std::size_t limit) override;
    bool AddRecord(const std::string& link, const std::string& pen_name) override;
    std::optional<std::vector<std::string>> ListRecords(const std::string& link, std::size_t limit) override;
    std::optional<std::int64_t> AddFeedback(const Feedback& feedback) override;
    std::optional<std::vector<Feedback>> ListFeedback(std::int64_t before_id, std::size_t limit) override;
    std::optional<bool> DeleteFeedback(std::int64_t id) override;
    std::optional<bool> MarkFeedbackRead(std::int64_t id) override;
    std::optional<std::string> LatestVersion() override;
    bool SetLatestVersion(const std::string& version) override;
    std::optional<Announcement> GetAnnouncement() override;
    bool SetAnnouncement(const Announcement& announcement) override;
    std::optional<std::string> ConsolePasswordHash() override;
    bool SetConsolePasswordHash(const std::string& hash) override;
    bool AddConsoleSession(const ConsoleSession& session, std::int64_t idle_before, std::size_t keep) override;
    std::optional<bool> TouchConsoleSession(const std::string& id_hash,
                                            std::int64_t now,
                                            std::int64_t idle_before,
                                            ConsoleSession& found) override;
    bool EndConsoleSession(const std::string& id_hash) override;
    bool ChangeSignInCount(const std::string& address, std::int64_t forget_before, const SignInChange& change) override;

  private:
    explicit SqliteStore(std::string path);

    // A connection for the calling thread's operation: an idle one or a new one. Connections go
    // back to the pool when the operation ends.
    class Lease;
    std::unique_ptr<SqliteConnection> Acquire();
    void Release(std::unique_ptr<SqliteConnection> connection);
    // Runs one of the pages' writes through the group committer (an in-memory database's on a
    // pooled connection) and gives its result.
    std::optional<std::int64_t> Write(const std::function<std::optional<std::int64_t>(SqliteConnection&)>& write);

    std::string path_;
    std::mutex mutex_;
    std::vector<std::unique_ptr<SqliteConnection>> idle_;
    std::unique_ptr<GroupCommitter<SqliteGroupSession>> committer_;
};

}  // namespace yz::server
