#pragma once

// The Store on a PostgreSQL database, for several server processes sharing one showcase. Texts
// are stored as bytea, so the program's GBK bytes come back unchanged whatever the database's
// encoding. Each thread's operation borrows one connection from a small pool; every statement is
// prepared once per connection with bound parameters. A connection that breaks is dropped and the
// next operation opens a new one, so a restarted database is picked up without restarting us.
// The pages' writes (works, records, feedback) are committed in groups (see group_commit.h).

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include <pqxx/connection>

#include "server/store/store.h"

namespace yz::server {

class PostgresGroupSession;
template <typename Session>
class GroupCommitter;

class PostgresStore final : public Store {
  public:
    // Connects to `uri` ("postgresql://..."), creates the tables when missing. Empty, with `error`
    // set (the URI's password left out), when the database cannot be reached or set up.
    static std::unique_ptr<PostgresStore> Open(const std::string& uri, std::string& error);

    ~PostgresStore() override;
    PostgresStore(const PostgresStore&) = delete;
    PostgresStore& operator=(const PostgresStore&) = delete;

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
    explicit PostgresStore(std::string uri);

    class Lease;
    std::unique_ptr<pqxx::connection> Connect(std::string& error);
    std::unique_ptr<pqxx::connection> Acquire();
    void Release(std::unique_ptr<pqxx::connection> connection);

    std::string uri_;
    std::mutex mutex_;
    std::vector<std::unique_ptr<pqxx::connection>> idle_;
    std::unique_ptr<GroupCommitter<PostgresGroupSession>> committer_;
};

// True for the two URI schemes PostgreSQL takes ("postgresql://", "postgres://").
bool IsPostgresUri(const std::string& database);

// `uri` with any password replaced by "***", for messages.
std::string RedactedUri(const std::string& uri);

}  // namespace yz::server
