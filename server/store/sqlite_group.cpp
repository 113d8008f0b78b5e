#include "server/store/sqlite_group.h"

namespace yz::server {

bool SqliteGroupSession::Commit(const std::vector<const Write*>& writes, std::vector<GroupResult>& results) {
    if (!connection_) {
        std::string error;
        connection_ = std::make_unique<SqliteConnection>(path_, error);
        if (!error.empty()) {
            connection_.reset();
            return false;
        }
    }
    SqliteConnection& db = *connection_;
    if (!db.Execute("BEGIN IMMEDIATE")) {
        return false;
    }
    for (std::size_t i = 0; i < writes.size(); ++i) {
        if (!db.Execute("SAVEPOINT write")) {
            db.Execute("ROLLBACK");
            return false;
        }
        results[i] = (*writes[i])(db);
        // A write that failed half-way leaves nothing behind; when even that cannot be undone, the
        // transaction is in doubt and the whole group is given up.
        if ((!results[i] && !db.Execute("ROLLBACK TO write")) || !db.Execute("RELEASE write")) {
            db.Execute("ROLLBACK");
            return false;
        }
    }
    if (!db.Execute("COMMIT")) {
        db.Execute("ROLLBACK");
        return false;
    }
    return true;
}

}  // namespace yz::server
