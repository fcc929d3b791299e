#include "cli/CsvExport.h"

#include <sqlite3.h>

#include <fstream>
#include <string>
#include <utility>

namespace netsim::cli {
namespace {

// Finalizes on every way out, so that a failing query cannot keep the database open.
class Statement {
public:
    Statement(sqlite3* connection, const char* sql) {
        if (sqlite3_prepare_v2(connection, sql, -1, &statement_, nullptr) != SQLITE_OK) statement_ = nullptr;
    }
    ~Statement() { sqlite3_finalize(statement_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    explicit operator bool() const { return statement_ != nullptr; }
    sqlite3_stmt* get() const { return statement_; }

private:
    sqlite3_stmt* statement_ = nullptr;
};

}  // namespace

CsvExport::CsvExport(const std::filesystem::path& database, NumberFormat numbers)
    : path_(database), numbers_(std::move(numbers)) {
    if (sqlite3_open_v2(database.c_str(), &connection_, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        std::string reason = connection_ != nullptr ? sqlite3_errmsg(connection_) : "out of memory";
        sqlite3_close(connection_);
        connection_ = nullptr;
        throw CsvExportError("the results database [" + path_.string() + "] could not be read: " + reason);
    }
}

CsvExport::~CsvExport() { sqlite3_close(connection_); }

void CsvExport::fail() const {
    throw CsvExportError("the results database [" + path_.string() + "] could not be read: " +
                         sqlite3_errmsg(connection_));
}

bool CsvExport::hasRow(const char* query) const {
    Statement statement(connection_, query);
    if (!statement) fail();
    int step = sqlite3_step(statement.get());
    if (step != SQLITE_ROW && step != SQLITE_DONE) fail();
    return step == SQLITE_ROW;
}

bool CsvExport::hasLatencyData() const { return hasRow("select 1 from latency limit 1"); }

bool CsvExport::hasJitterData() const {
    return hasRow("select 1 from latency group by timer_id, run_id having count(*) >= 2 limit 1");
}

int64_t CsvExport::runCount() const {
    static constexpr char kQuery[] = "select run_count from info";
    Statement statement(connection_, kQuery);
    if (!statement) fail();
    int step = sqlite3_step(statement.get());
    if (step == SQLITE_ROW) return sqlite3_column_int64(statement.get(), 0);
    if (step != SQLITE_DONE) fail();
    return 0;
}

std::vector<CsvExport::Timer> CsvExport::timers() const {
    // The desktop application lists timers with this query; the CSV keeps its order.
    static constexpr char kQuery[] = "select id, name, flow_name, sampled_from, sampled_to from timer order by name";
    Statement statement(connection_, kQuery);
    if (!statement) fail();
    std::vector<Timer> result;
    int step;
    while ((step = sqlite3_step(statement.get())) == SQLITE_ROW) {
        const auto* name = reinterpret_cast<const char*>(sqlite3_column_text(statement.get(), 1));
        result.push_back({sqlite3_column_int64(statement.get(), 0),
                          name != nullptr ? std::string(name, static_cast<std::size_t>(
                                                                  sqlite3_column_bytes(statement.get(), 1)))
                                          : std::string()});
    }
    if (step != SQLITE_DONE) fail();
    return result;
}

std::vector<std::vector<double>> CsvExport::samplesPerRun(int64_t timerId, int64_t runs) const {
    static constexpr char kQuery[] = "select latency_time from latency where timer_id = ? and run_id = ?";
    Statement statement(connection_, kQuery);
    if (!statement) fail();
    std::vector<std::vector<double>> result;
    for (int64_t run = 1; run <= runs; ++run) {
        sqlite3_reset(statement.get());
        sqlite3_bind_int64(statement.get(), 1, timerId);
        sqlite3_bind_int64(statement.get(), 2, run);
        std::vector<double>& samples = result.emplace_back();
        int step;
        while ((step = sqlite3_step(statement.get())) == SQLITE_ROW)
            samples.push_back(sqlite3_column_double(statement.get(), 0));
        if (step != SQLITE_DONE) fail();
    }
    return result;
}

std::vector<double> CsvExport::jitter(const std::vector<std::vector<double>>& samplesPerRun) {
    std::vector<double> result;
    for (const std::vector<double>& samples : samplesPerRun) {
        if (samples.size() < 2) continue;
        if (result.empty()) result.push_back(0.0);
        for (std::size_t i = 0; i + 1 < samples.size(); ++i) result.push_back(samples[i] - samples[i + 1]);
    }
    return result;
}

std::string CsvExport::record(const std::string& timerName, const std::string& value) {
    std::string text = "\"";
    for (char c : timerName) {
        if (c == '"') text += '"';
        text += c;
    }
    text += "\",\"";
    text += value;
    text += "\"\n";
    return text;
}

void CsvExport::write(const std::filesystem::path& file, bool jitterValues) const {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    if (!out) throw CsvExportError("the file [" + file.string() + "] could not be written");
    const int64_t runs = runCount();
    for (const Timer& timer : timers()) {
        std::vector<std::vector<double>> samples = samplesPerRun(timer.id, runs);
        std::vector<double> values;
        if (jitterValues) {
            values = jitter(samples);
        } else {
            for (const std::vector<double>& run : samples) values.insert(values.end(), run.begin(), run.end());
        }
        for (double value : values) out << record(timer.name, numbers_.plain(value));
        if (!out) throw CsvExportError("the file [" + file.string() + "] could not be written");
    }
    out.close();
    if (!out) throw CsvExportError("the file [" + file.string() + "] could not be written");
}

void CsvExport::writeLatencyCsv(const std::filesystem::path& file) const { write(file, false); }

void CsvExport::writeJitterCsv(const std::filesystem::path& file) const { write(file, true); }

}  // namespace netsim::cli
