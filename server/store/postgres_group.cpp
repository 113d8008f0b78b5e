#include "server/store/postgres_group.h"

#include <pqxx/pqxx>
#include <string>

namespace yz::server {

namespace {

// The SQLSTATE of a statement that could not get its lock within lock_timeout.
const char* const kLockNotAvailable = "55P03";

// The transaction and its savepoints are spelled out, each statement through a transaction
// object of its own that sends no BEGIN or COMMIT: the library closes a transaction object for
// good after any failed statement, while the group must go on after rolling one write back.
void Run(pqxx::connection& connection, const std::string& sql) {
    pqxx::nontransaction(connection).exec(sql);
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
        // Each round trip between two writes ends the one and begins the next.
        Run(*connection_, "BEGIN; SAVEPOINT write");
        for (std::size_t i = 0; i < writes.size(); ++i) {
            bool locked = false;
            try {
                pqxx::nontransaction write(*connection_);
                results[i] = (*writes[i])(write);
            } catch (const pqxx::broken_connection&) {
                throw;
            } catch (const pqxx::sql_error& error) {
                results[i] = std::nullopt;
                locked = error.sqlstate() == kLockNotAvailable;
            } catch (const std::exception&) {
                results[i] = std::nullopt;
            }
            // A write that failed half-way leaves nothing behind; the others stay. RELEASE fails
            // on a transaction that an error left aborted, so the COMMIT after it (which would
            // roll such a transaction back without an error) is reached only by a whole group.
            // A write that waited the whole lock wait in vain ends the group: each write after it
            // would wait as long again, so they are refused (left without a result) at once.
            const bool last = locked || i + 1 == writes.size();
            std::string next =
                results[i] ? "RELEASE SAVEPOINT write" : "ROLLBACK TO SAVEPOINT write; RELEASE SAVEPOINT write";
            next += last ? "; COMMIT" : "; SAVEPOINT write";
            Run(*connection_, next);
            if (last) {
                break;
            }
        }
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
