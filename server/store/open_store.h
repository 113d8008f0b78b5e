#pragma once

// The store a --database value names: a PostgreSQL URI (postgresql://... or postgres://...) or
// else the path of an SQLite file.

#include <memory>
#include <string>

#include "server/store/store.h"

namespace yz::server {

// Empty with `error` set (a message naming the database) when it cannot be opened for writing.
std::unique_ptr<Store> OpenStore(const std::string& database, std::string& error);

}  // namespace yz::server
