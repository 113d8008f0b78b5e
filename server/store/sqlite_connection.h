#pragma once

// One SQLite connection and the prepared statements it has made, reused for every call with the
// same SQL text. A Statement borrowed from the cache is reset and its bindings cleared when it
// goes out of scope, so the next borrower starts clean.

#include <sqlite3.h>

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

namespace yz::server {

class Statement {
  public:
    explicit Statement(sqlite3_stmt* statement) : statement_(statement) {}
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    // Parameters are numbered from 1. Texts are bound as blobs, bytes as they are.
    Statement& Bind(int index, std::string_view bytes);
    Statement& Bind(int index, std::int64_t value);

    // SQLITE_ROW, SQLITE_DONE or an error code.
    int Step();
    // True when the statement ran to its end without error.
    bool Run();

    std::string Bytes(int column) const;
    std::int64_t Integer(int column) const;

    bool ok() const { return statement_ != nullptr && bind_ok_; }

  private:
    sqlite3_stmt* statement_;
    bool bind_ok_ = true;
};

class SqliteConnection {
  public:
    // Empty `error` on success; otherwise the connection is unusable and `error` says why.
    SqliteConnection(const std::string& path, std::string& error);
    ~SqliteConnection();
    SqliteConnection(const SqliteConnection&) = delete;
    SqliteConnection& operator=(const SqliteConnection&) = delete;

    // A statement for `sql`, prepared once per connection; check ok() before use. `sql` must be a
    // string literal: the cache knows statements by the literal's address.
    Statement Prepare(const char* sql);
    // Runs statements without parameters (schema, transactions).
    bool Execute(const char* sql);

    std::int64_t LastInsertId() const { return sqlite3_last_insert_rowid(db_); }
    int Changes() const { return sqlite3_changes(db_); }
    bool ReadOnly() const { return sqlite3_db_readonly(db_, "main") == 1; }
    std::string LastError() const { return db_ != nullptr ? sqlite3_errmsg(db_) : "out of memory"; }

  private:
    sqlite3* db_ = nullptr;
    std::map<const char*, sqlite3_stmt*> cache_;
};

}  // namespace yz::server
