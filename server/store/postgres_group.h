#pragma once

// The PostgreSQL half of the group committer: one connection of its own, made by `connect` for
// the first group and again after it breaks. A group is one transaction (synchronous_commit as
// the database has it, on by default: the COMMIT returns once its WAL is flushed), each write
// after a SAVEPOINT of its own.

#include <functional>
#include <memory>
#include <vector>

#include <pqxx/connection>
#include <pqxx/transaction_base>

#include "server/store/group_commit.h"

namespace yz::server {

class PostgresGroupSession {
  public:
    using Write = std::function<GroupResult(pqxx::transaction_base&)>;
    // Empty when the database cannot be reached.
    using Connect = std::function<std::unique_ptr<pqxx::connection>()>;

    explicit PostgresGroupSession(Connect connect) : connect_(std::move(connect)) {}

    bool Commit(const std::vector<const Write*>& writes, std::vector<GroupResult>& results);

  private:
    Connect connect_;
    std::unique_ptr<pqxx::connection> connection_;
};

}  // namespace yz::server
