#include "server/store/postgres_group.h"

#include <pqxx/pqxx>

namespace yz::server {

namespace {

// The transaction and its savepoints are spelled out, each statement through a transaction
// object of its own that sends no BEGIN or COMMIT: the library closes a transaction object for
// good after any failed statement, while the group must go on after rolling one write back.
pqxx::result Run(pqxx::connection& connection, const char* sql) {
    return pqxx::nontransaction(connection).exec(sql);
}

}  // namespace

bool PostgresGroupSession::Commit(const std::vector<const Write*>& writes, std::vector<GroupResult>& results) {
    if (!connection_ || !connection_->is_open()) {
        connection_ = connect_();
        if (!connection_) {
            return false;
        }
    }
    try {
        Run(*connection_, "BEGIN");
        for (std::size_t i = 0; i < writes.size(); ++i) {
            Run(*connection_, "SAVEPOINT write");
            try {
                pqxx::nontransaction write(*connection_);
                results[i] = (*writes[i])(write);
            } catch (const pqxx::broken_connection&) {
                throw;
            } catch (const std::exception&) {
                results[i] = std::nullopt;
            }
            // A write that failed half-way leaves nothing behind; the others stay.
            Run(*connection_, results[i] ? "RELEASE SAVEPOINT write" : "ROLLBACK TO SAVEPOINT write");
        }
        // COMMIT of a transaction that an error left aborted would roll it back without an
        // error; any statement on it fails, so this one makes sure the group is whole.
        Run(*connection_, "SELECT 1");
        Run(*connection_, "COMMIT");
        return true;
    } catch (const pqxx::broken_connection&) {
        connection_.reset();
    } catch (const std::exception&) {
        try {
            Run(*connection_, "ROLLBACK");
        } catch (const pqxx::broken_connection&) {
            connection_.reset();
        } catch (const std::exception&) {
        }
    }
    return false;
}

}  // namespace yz::server
