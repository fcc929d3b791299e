#include <sqlite3.h>

#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "common/Exception.h"
#include "db/BlockingQueue.h"
#include "db/IDCache.h"
#include "db/ResultsFile.h"
#include "db/TDBCDatabase.h"
#include "db/TDBCReadStatement.h"
#include "db/TDBCWriteStatement.h"
#include "db/WorkPackage.h"
#include "gtest/gtest.h"

namespace netsim::test {
namespace {

// ---------------------------------------------------------------------------------------------
// Queue

TEST(BlockingQueueTest, ConsumerThreadReceivesEveryPackageInPushOrder) {
    constexpr uint64_t kPackages = 20000;
    BlockingQueue queue;
    std::vector<uint64_t> received;
    std::thread consumer([&] {
        for (uint64_t i = 0; i < kPackages; ++i) {
            auto package = queue.pop();
            received.push_back(static_cast<FinishRunPackage&>(*package).colourCodeCount);
        }
    });
    for (uint64_t i = 0; i < kPackages; ++i) queue.push(std::make_unique<FinishRunPackage>(i));
    consumer.join();

    std::vector<uint64_t> expected(kPackages);
    for (uint64_t i = 0; i < kPackages; ++i) expected[i] = i;
    EXPECT_EQ(received, expected);
}

TEST(BlockingQueueTest, PackagesLeftInTheQueueAreFreedWithIt) {
    auto queue = std::make_unique<SynchronizedQueue>();
    EXPECT_EQ(queue->pop(), nullptr);
    queue->push(
        std::make_unique<UserMessagePackage>(UserMessagePackage::kInfo, "a message longer than any short string"));
    queue->push(std::make_unique<FinishRunPackage>(1));
    auto first = queue->pop();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->kind, WorkPackage::kUserMessage);
    queue->push(std::make_unique<FinishRunPackage>(2));
    queue.reset();  // the sanitizer build reports the two packages if they leak
}

// ---------------------------------------------------------------------------------------------
// Identifier caches

TEST(IDCacheTest, NamesAreNumberedFromOneInOrderOfAssignment) {
    IDCache cache;
    EXPECT_EQ(cache.find("ECU1.CPU"), IDCache::kNotFound);
    EXPECT_EQ(cache.assign("SW1.P1"), 1);
    EXPECT_EQ(cache.assign("ECU1.CPU"), 2);
    EXPECT_EQ(cache.find("SW1.P1"), 1);
    EXPECT_EQ(cache.find("ECU1.CPU"), 2);
    EXPECT_EQ(cache.find("ECU1"), IDCache::kNotFound);

    std::vector<std::pair<std::string, int64_t>> unstored;
    cache.forEachUnstored([&](const std::string& name, int64_t id) { unstored.emplace_back(name, id); });
    EXPECT_EQ(unstored, (std::vector<std::pair<std::string, int64_t>>{{"ECU1.CPU", 2}, {"SW1.P1", 1}}));
}

TEST(IDCacheTest, NewNamesAreNumberedAfterTheLargestStoredIdentifierAndOnlyTheyAreUnstored) {
    IDCache cache;
    cache.restore("T-b", 7);
    cache.restore("T-a", 3);
    EXPECT_FALSE(cache.hasUnstored());
    EXPECT_EQ(cache.find("T-b"), 7);
    EXPECT_EQ(cache.assign("T-c"), 8);
    EXPECT_EQ(cache.assign("T-0"), 9);

    std::vector<std::pair<std::string, int64_t>> unstored;
    cache.forEachUnstored([&](const std::string& name, int64_t id) { unstored.emplace_back(name, id); });
    EXPECT_EQ(unstored, (std::vector<std::pair<std::string, int64_t>>{{"T-0", 9}, {"T-c", 8}}));

    cache.markAllStored();
    EXPECT_FALSE(cache.hasUnstored());
    EXPECT_EQ(cache.assign("T-d"), 10);
    EXPECT_TRUE(cache.hasUnstored());
}

TEST(IDCacheTest, DataCacheKeepsTheDataOfEachIdentifier) {
    struct Sampling {
        std::string from;
        std::string to;
    };
    IDCacheData<Sampling> cache;
    cache.restore("Timer0", 4);
    int64_t first = cache.assign("Timer1", Sampling{"ECU1.P1", "ECU2.P1"});
    int64_t second = cache.assign("Timer2");
    cache.setData(second, Sampling{"SW1.P1", "SW1.P2"});
    EXPECT_EQ(first, 5);
    EXPECT_EQ(cache.data(first).from, "ECU1.P1");
    EXPECT_EQ(cache.data(first).to, "ECU2.P1");
    EXPECT_EQ(cache.data(second).from, "SW1.P1");
    EXPECT_EQ(cache.data(4).from, "");
}

// ---------------------------------------------------------------------------------------------
// SQLite wrappers

struct WrapperFailure {
    const char* name;
    std::function<void(TDBCDatabase&, const std::string& path)> call;
    const char* message;
    const char* function;
    int32_t line;
};

const std::vector<WrapperFailure> kWrapperFailures = {
    {"open in a missing directory",
     [](TDBCDatabase& database, const std::string&) { database.open("/nonexistent-netsim-directory/r.db"); },
     "TDBCDatabase::open : [14] - unable to open database file\n", "TDBCDatabase::open", 138},
    {"close with a statement still prepared",
     [](TDBCDatabase& database, const std::string& path) {
         database.open(path);
         TDBCWriteStatement pending(database, "create table t (a integer)");
         database.close();
     },
     "TDBCDatabase::close : [5] - database is locked\n", "TDBCDatabase::close", 130},
    {"exec of a broken statement",
     [](TDBCDatabase& database, const std::string& path) {
         database.open(path);
         database.exec("create tabel t (a integer)");
     },
     "TDBCDatabase::exec : [1] - SQL logic error\n", "TDBCDatabase::exec", 134},
    {"prepare of a query on a missing table",
     [](TDBCDatabase& database, const std::string& path) {
         database.open(path);
         TDBCReadStatement read(database, "select id, name from task");
     },
     "TDBCDatabase::prepare : [1] - SQL logic error\n", "TDBCDatabase::prepare", 142},
    {"write that breaks a not-null column",
     [](TDBCDatabase& database, const std::string& path) {
         database.open(path);
         database.exec("create table t (a integer not null)");
         TDBCWriteStatement insert(database, "insert into t (a) values (?)");
         insert.exec();
     },
     "TDBCWriteStatement::exec : [19] - constraint failed\n", "TDBCWriteStatement::exec", 256},
    {"fetch of a row whose value overflows",
     [](TDBCDatabase& database, const std::string& path) {
         database.open(path);
         TDBCReadStatement read(database, "select 1, abs(-9223372036854775807 - 1)");
         int64_t id;
         std::string name;
         read.fetch(id, name);
     },
     "TDBCReadStatement::fetch : [1] - SQL logic error\n", "TDBCReadStatement::fetch", 208},
    {"finalizing a read whose fetch failed unnoticed",
     [](TDBCDatabase& database, const std::string& path) {
         database.open(path);
         TDBCReadStatement read(database, "select 1, abs(-9223372036854775807 - 1)");
         int64_t id;
         std::string name;
         try {
             read.fetch(id, name);
         } catch (const Exception&) {
         }
     },
     "TDBCReadStatement::~TDBCReadStatement : [1] - SQL logic error\n", "TDBCReadStatement::~TDBCReadStatement", 188},
};

TEST(TDBCTest, EverySQLiteFailureNamesItsOperationCodeAndText) {
    for (const WrapperFailure& failure : kWrapperFailures) {
        SCOPED_TRACE(failure.name);
        TempDir directory;
        TDBCDatabase database;
        try {
            failure.call(database, directory.file("wrapped.db"));
            ADD_FAILURE() << "no exception";
        } catch (const Exception& raised) {
            EXPECT_EQ(raised.message(), failure.message);
            EXPECT_EQ(raised.function(), failure.function);
            EXPECT_EQ(raised.file(), "db/DatabasePersistence");
            EXPECT_EQ(raised.line(), failure.line);
        }
    }
}

TEST(TDBCTest, WrittenRowsAreReadBackAsIdentifierAndName) {
    TempDir directory;
    std::string path = directory.file("wrapped.db");
    {
        TDBCDatabase database;
        database.open(path);
        database.exec("create table task (id integer not null, name text not null)");
        {
            TDBCWriteStatement insert(database, "insert into task (id, name) values (?, ?)");
            for (int64_t id : {3, 1}) {
                insert.bind(1, id);
                insert.bind(2, "Task " + std::to_string(id));
                insert.exec();
            }
            std::vector<std::pair<int64_t, std::string>> read;
            TDBCReadStatement select(database, "select id, name from task order by rowid");
            int64_t id;
            std::string name;
            while (select.fetch(id, name)) read.emplace_back(id, name);
            EXPECT_EQ(read, (std::vector<std::pair<int64_t, std::string>>{{3, "Task 3"}, {1, "Task 1"}}));
        }
        database.close();
        EXPECT_FALSE(database.isOpen());
    }
    EXPECT_EQ(ResultsFile(path).count("select count(*) from task"), 2);
}

}  // namespace
}  // namespace netsim::test
