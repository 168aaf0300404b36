// Each test gets a fresh database in its own temporary folder, holding the
// host's tables made with the engine's own DDL and a few rows of sample data.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "jet/database.h"
#include "vb/variant.h"

namespace jettest {

// Sample declaration used by the statements of the tests.
inline constexpr const char* kRuc = "20100100100";
inline constexpr const char* kPeriodo = "200405";
inline constexpr const char* kUsuario = "JPEREZ";
inline constexpr const char* kMov = "078720040520100100100.MOV";
inline constexpr const char* kExt = "078720040520100100100.EXT";

class JetTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Rows of a query, counted by walking to the end.
    long Count(const std::string& sql);
    // The first row's field as text ("" & value).
    std::string First(const std::string& sql, const std::string& field);

    std::string dir_;
    std::string path_;
    std::unique_ptr<jet::Database> db_;
};

// The number of the vb::VbError that `f` raises, or 0.
int ErrorOf(const std::function<void()>& f);

void CreateHostTables(jet::Database& db);
void LoadSample(jet::Database& db);

}  // namespace jettest
