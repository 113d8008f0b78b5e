#pragma once

// The SQLite half of the group committer: one connection of its own, opened by the first group
// (and by the next one when opening failed). A group takes the write lock at once (BEGIN IMMEDIATE, waiting as
// long as any writer may for another process's write), and its COMMIT is the one sync of the
// group (WAL, synchronous FULL).

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "server/store/group_commit.h"
#include "server/store/sqlite_connection.h"

namespace yz::server {

class SqliteGroupSession {
  public:
    using Write = std::function<GroupResult(SqliteConnection&)>;

    explicit SqliteGroupSession(std::string path) : path_(std::move(path)) {}

    bool Commit(const std::vector<const Write*>& writes, std::vector<GroupResult>& results);

  private:
    std::string path_;
    std::unique_ptr<SqliteConnection> connection_;
};

}  // namespace yz::server
