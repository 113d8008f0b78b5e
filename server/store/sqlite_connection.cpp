#include "server/store/sqlite_connection.h"

namespace yz::server {

namespace {

// How long a writer waits for another connection's write to finish before the operation fails
// (and the page answers 503): a writer is better told at once than kept waiting with a worker.
// Readers never wait for a writer in WAL mode.
constexpr int kBusyWaitMilliseconds = 2000;

}  // namespace

Statement::~Statement() {
    if (statement_ != nullptr) {
        sqlite3_reset(statement_);
        sqlite3_clear_bindings(statement_);
    }
}

Statement& Statement::Bind(int index, std::string_view bytes) {
    if (statement_ != nullptr) {
        // An empty view may carry a null pointer, which SQLite would bind as NULL: give it a
        // real address so an empty field stays an empty blob.
        const char* data = bytes.empty() ? "" : bytes.data();
        bind_ok_ =
            bind_ok_ && sqlite3_bind_blob64(statement_, index, data, bytes.size(), SQLITE_TRANSIENT) == SQLITE_OK;
    }
    return *this;
}

Statement& Statement::Bind(int index, std::int64_t value) {
    if (statement_ != nullptr) {
        bind_ok_ = bind_ok_ && sqlite3_bind_int64(statement_, index, value) == SQLITE_OK;
    }
    return *this;
}

int Statement::Step() {
    if (!ok()) {
        return SQLITE_MISUSE;
    }
    return sqlite3_step(statement_);
}

bool Statement::Run() {
    int result = Step();
    while (result == SQLITE_ROW) {
        result = Step();
    }
    return result == SQLITE_DONE;
}

std::string Statement::Bytes(int column) const {
    const void* data = sqlite3_column_blob(statement_, column);
    const int size = sqlite3_column_bytes(statement_, column);
    if (data == nullptr || size <= 0) {
        return {};
    }
    return std::string(static_cast<const char*>(data), static_cast<std::size_t>(size));
}

std::int64_t Statement::Integer(int column) const {
    return sqlite3_column_int64(statement_, column);
}

SqliteConnection::SqliteConnection(const std::string& path, std::string& error) {
    const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX;
    if (sqlite3_open_v2(path.c_str(), &db_, flags, nullptr) != SQLITE_OK) {
        error = LastError();
        return;
    }
    sqlite3_busy_timeout(db_, kBusyWaitMilliseconds);
    // WAL: readers go on while one writer commits. FULL: a commit is on disk before it returns,
    // so an acknowledged write survives even a crash of the machine.
    if (!Execute("PRAGMA journal_mode=WAL") || !Execute("PRAGMA synchronous=FULL")) {
        error = LastError();
    }
}

SqliteConnection::~SqliteConnection() {
    for (auto& [sql, statement] : cache_) {
        sqlite3_finalize(statement);
    }
    sqlite3_close(db_);
}

Statement SqliteConnection::Prepare(const char* sql) {
    const auto found = cache_.find(sql);
    if (found != cache_.end()) {
        return Statement(found->second);
    }
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v3(db_, sql, -1, SQLITE_PREPARE_PERSISTENT, &statement, nullptr) != SQLITE_OK) {
        sqlite3_finalize(statement);
        return Statement(nullptr);
    }
    cache_.emplace(sql, statement);
    return Statement(statement);
}

bool SqliteConnection::Execute(const char* sql) {
    return sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

}  // namespace yz::server
