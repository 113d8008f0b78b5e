#pragma once

// PostgreSQL databases for the tests: each call gives a new, empty database on a real
// PostgreSQL 15 that the tests start themselves (scripts/postgres-instance), listening only on a
// unix socket in a temporary directory. Under CTest one instance serves every test (the
// postgres_start fixture names its directory in YZ_TEST_POSTGRES); a test program run by hand
// starts its own on first use and stops it when it ends.

#include <string>

namespace yz::test {

// The URI of a fresh database; empty with `why` set when PostgreSQL is not installed (the caller
// skips then) or could not be started.
std::string FreshPostgresDatabase(std::string& why);

// True when `why` from FreshPostgresDatabase means "not installed" rather than a failure.
bool PostgresMissing(const std::string& why);

}  // namespace yz::test
