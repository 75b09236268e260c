// A fresh, empty results database on either engine: an SQLite file in a scratch folder, or a
// database of its own on one PostgreSQL cluster shared by the test suite.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "Database.h"
#include "PgCluster.h"
#include "ResultsStore.h"
#include "ScratchFolder.h"

namespace tavrin::results::fixtures {

class EngineTest : public ::testing::TestWithParam<Engine> {
public:
    static void SetUpTestSuite() {
        s_cluster = std::make_unique<PgCluster>();
        s_started = s_cluster->Start();
    }
    static void TearDownTestSuite() { s_cluster.reset(); }

protected:
    void SetUp() override {
        if (GetParam() == Engine::PostgreSQL) {
            ASSERT_TRUE(s_started) << "the throwaway PostgreSQL cluster did not start";
        }
        m_location = NewDatabase();
    }
    // Where a new connection to the test's database goes.
    std::unique_ptr<Database> Connect() const {
        return GetParam() == Engine::SQLite ? OpenSqlite(m_location) : OpenPostgres(m_location);
    }
    // Another empty database on the same engine.
    std::string NewDatabase() {
        if (GetParam() == Engine::SQLite)
            return m_scratch.Path() + "/results-" + std::to_string(++m_count) + ".db";
        const std::string name = "t" + std::to_string(++s_databases);
        OpenPostgres(s_cluster->Uri())->Execute("CREATE DATABASE " + name);
        const std::string uri = s_cluster->Uri();
        return uri.substr(0, uri.rfind('/') + 1) + name;
    }

    cli::fixtures::ScratchFolder m_scratch;
    std::string m_location;
    int m_count = 0;
    static inline std::unique_ptr<PgCluster> s_cluster;
    static inline bool s_started = false;
    static inline int s_databases = 0;
};

inline std::string EngineName(const ::testing::TestParamInfo<Engine>& info) {
    return info.param == Engine::SQLite ? "SQLite" : "PostgreSQL";
}

}  // namespace tavrin::results::fixtures
