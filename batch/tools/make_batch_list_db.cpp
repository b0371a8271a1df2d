// Build tool: makes the delivered batch-list database from its schema text.
// Usage: make_batch_list_db SCHEMA.sql OUTPUT.mdb. The file is written under a temporary
// name and renamed into place, so a failed build never leaves a half-made database.
#include <sqlite3.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: make_batch_list_db SCHEMA OUTPUT\n");
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "make_batch_list_db: cannot read %s\n", argv[1]);
    return 1;
  }
  std::ostringstream schema;
  schema << in.rdbuf();

  const std::string output = argv[2];
  const std::string partial = output + ".part";
  std::remove(partial.c_str());
  sqlite3* db = nullptr;
  int rc =
      sqlite3_open_v2(partial.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  char* error = nullptr;
  if (rc == SQLITE_OK) rc = sqlite3_exec(db, schema.str().c_str(), nullptr, nullptr, &error);
  if (rc != SQLITE_OK) {
    std::fprintf(stderr, "make_batch_list_db: %s\n", error ? error : sqlite3_errmsg(db));
    sqlite3_free(error);
    sqlite3_close(db);
    std::remove(partial.c_str());
    return 1;
  }
  sqlite3_close(db);
  if (std::rename(partial.c_str(), output.c_str()) != 0) {
    std::perror("make_batch_list_db: rename");
    return 1;
  }
  return 0;
}
