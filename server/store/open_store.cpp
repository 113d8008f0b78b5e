#include "server/store/open_store.h"

#include "server/store/postgres_store.h"
#include "server/store/sqlite_store.h"

namespace yz::server {

std::unique_ptr<Store> OpenStore(const std::string& database, std::string& error) {
    if (IsPostgresUri(database)) {
        return PostgresStore::Open(database, error);
    }
    return SqliteStore::Open(database, error);
}

}  // namespace yz::server
