// schema/velmora.sql and schema/quorix.sql are plain T-SQL an administrator
// runs to make a test pair of databases: every batch passes the grammar check.
#include <gtest/gtest.h>

#include <sstream>

#include "support/files.h"
#include "support/tsql_grammar.h"

namespace {

std::vector<std::string> Batches(const std::string& script) {
  std::vector<std::string> batches;
  std::istringstream in(script);
  std::string line, batch;
  while (std::getline(in, line)) {
    if (line == "GO") {
      batches.push_back(batch);
      batch.clear();
    } else if (line.rfind("--", 0) != 0) {
      batch += line + "\n";
    }
  }
  if (batch.find_first_not_of(" \n") != std::string::npos) batches.push_back(batch);
  return batches;
}

TEST(SchemaTest, BothScriptsAreValidTsql) {
  std::vector<std::string> all;
  for (const char* file : {"/velmora.sql", "/quorix.sql"}) {
    const auto batches = Batches(testsupport::ReadFile(std::string(QV_SCHEMA_DIR) + file));
    EXPECT_GT(batches.size(), 20u) << file;
    all.insert(all.end(), batches.begin(), batches.end());
  }
  EXPECT_ALL_TSQL(all);
}

}  // namespace
