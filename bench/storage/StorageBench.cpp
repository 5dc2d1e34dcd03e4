// The record storage against SQLite in memory, on 100,000 records of an Integer, a String and a Float:
// filling, sorting a record index by each column (through CompareRecordValues, with a stable sort), and
// 100,000 key lookups (TuiLookupList.FindKey against a keyed SELECT). Prints the best of several runs of
// each step for both and the ratio; the target is every step at most SQLite's time.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <numeric>
#include <string>
#include <vector>

#include "controls/foundation/uiDataStorage.h"

#ifdef K58_BENCH_SQLITE
#include <sqlite3.h>
#endif

namespace {

constexpr Integer kRecords = 100000;
constexpr Integer kLookups = 100000;
constexpr int kRuns = 5;

// The same pseudo-random values for both sides.
struct TRow {
  Integer Number;
  std::string Text;
  double Real;
};

std::vector<TRow> MakeRows() {
  std::vector<TRow> rows;
  uint64_t state = 88172645463325252ull;
  auto next = [&] {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    return state;
  };
  for (Integer i = 0; i < kRecords; ++i) {
    const uint64_t r = next();
    rows.push_back({static_cast<Integer>(r % 1000000), "name " + std::to_string(next() % 1000000),
                    static_cast<double>(next() % 100000000) / 1000.0});
  }
  return rows;
}

// Keys of the lookups: the records' numbers (with duplicates) and numbers that are not keys.
std::vector<Integer> MakeProbes(const std::vector<TRow>& Rows) {
  std::vector<Integer> probes;
  for (Integer i = 0; i < kLookups; ++i) probes.push_back(i % 2 == 0 ? Rows[(i * 7919) % kRecords].Number : i * 13 + 1000000);
  return probes;
}

double Best(const std::function<void()>& Run) {
  double best = 1e30;
  for (int run = 0; run < kRuns; ++run) {
    const auto start = std::chrono::steady_clock::now();
    Run();
    best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  return best * 1000.0;
}

struct TFigures {
  double Fill = 0, Sort[3] = {0, 0, 0}, Lookup = 0;
  long Found = 0;
};

TFigures RunStorage(const std::vector<TRow>& Rows, const std::vector<Integer>& Probes) {
  TFigures figures;
  TuiDataStorage storage;
  TuiValueDef* defs[3] = {
      storage.MainDefs()->AddValueDef(ValueTypeClass<TuiIntegerValueType>(), true, nullptr, false),
      storage.MainDefs()->AddValueDef(ValueTypeClass<TuiStringValueType>(), true, nullptr, false),
      storage.MainDefs()->AddValueDef(ValueTypeClass<TuiFloatValueType>(), true, nullptr, false)};
  figures.Fill = Best([&] {
    storage.ClearAll(true);
    for (const TRow& row : Rows) {
      const Integer index = storage.AddRecord();
      storage.SetRecordValue(index, defs[0], Variant(row.Number));
      storage.SetRecordValue(index, defs[1], Variant(row.Text));
      storage.SetRecordValue(index, defs[2], Variant(row.Real));
    }
  });
  for (int column = 0; column < 3; ++column) {
    std::vector<Integer> order(static_cast<size_t>(kRecords));
    figures.Sort[column] = Best([&] {
      std::iota(order.begin(), order.end(), 0);
      std::stable_sort(order.begin(), order.end(), [&](Integer a, Integer b) {
        return storage.CompareRecordValues(a, b, defs[column]) < 0;
      });
    });
  }
  TuiLookupList list;
  for (Integer i = 0; i < kRecords; ++i) {
    Integer at = 0;
    const Variant key(Rows[static_cast<size_t>(i)].Number);
    if (!list.FindKey(key, at)) list.InsertItem(at, key, Rows[static_cast<size_t>(i)].Text);
  }
  figures.Lookup = Best([&] {
    figures.Found = 0;
    for (const Integer probe : Probes) {
      Integer at = 0;
      if (list.FindKey(Variant(probe), at)) figures.Found += static_cast<long>(list.GetItem(at).Text.size() > 0);
    }
  });
  return figures;
}

#ifdef K58_BENCH_SQLITE
void Exec(sqlite3* Db, const char* Sql) {
  char* error = nullptr;
  if (sqlite3_exec(Db, Sql, nullptr, nullptr, &error) != SQLITE_OK) {
    std::printf("sqlite: %s\n", error);
    sqlite3_free(error);
  }
}

TFigures RunSqlite(const std::vector<TRow>& Rows, const std::vector<Integer>& Probes) {
  TFigures figures;
  sqlite3* db = nullptr;
  sqlite3_open(":memory:", &db);
  Exec(db, "CREATE TABLE t (i INTEGER, s TEXT, f REAL)");
  sqlite3_stmt* insert = nullptr;
  sqlite3_prepare_v2(db, "INSERT INTO t (i, s, f) VALUES (?, ?, ?)", -1, &insert, nullptr);
  figures.Fill = Best([&] {
    Exec(db, "DELETE FROM t");
    Exec(db, "BEGIN");
    for (const TRow& row : Rows) {
      sqlite3_bind_int(insert, 1, row.Number);
      sqlite3_bind_text(insert, 2, row.Text.c_str(), static_cast<int>(row.Text.size()), SQLITE_STATIC);
      sqlite3_bind_double(insert, 3, row.Real);
      sqlite3_step(insert);
      sqlite3_reset(insert);
    }
    Exec(db, "COMMIT");
  });
  sqlite3_finalize(insert);
  const char* sorts[3] = {"SELECT rowid FROM t ORDER BY i", "SELECT rowid FROM t ORDER BY s",
                          "SELECT rowid FROM t ORDER BY f"};
  for (int column = 0; column < 3; ++column) {
    sqlite3_stmt* select = nullptr;
    sqlite3_prepare_v2(db, sorts[column], -1, &select, nullptr);
    std::vector<sqlite3_int64> order;
    order.reserve(static_cast<size_t>(kRecords));
    figures.Sort[column] = Best([&] {
      order.clear();
      while (sqlite3_step(select) == SQLITE_ROW) order.push_back(sqlite3_column_int64(select, 0));
      sqlite3_reset(select);
    });
    sqlite3_finalize(select);
  }
  Exec(db, "CREATE TABLE k (key INTEGER PRIMARY KEY, text TEXT)");
  Exec(db, "INSERT OR IGNORE INTO k SELECT i, s FROM t ORDER BY rowid");
  sqlite3_stmt* lookup = nullptr;
  sqlite3_prepare_v2(db, "SELECT text FROM k WHERE key = ?", -1, &lookup, nullptr);
  figures.Lookup = Best([&] {
    figures.Found = 0;
    for (const Integer probe : Probes) {
      sqlite3_bind_int(lookup, 1, probe);
      if (sqlite3_step(lookup) == SQLITE_ROW) figures.Found += static_cast<long>(sqlite3_column_bytes(lookup, 0) > 0);
      sqlite3_reset(lookup);
    }
  });
  sqlite3_finalize(lookup);
  sqlite3_close(db);
  return figures;
}
#endif

void Print(const char* Step, double Ours, double Peer) {
  if (Peer > 0) {
    std::printf("%-28s storage %8.2f ms   SQLite %8.2f ms   ratio %.2f %s\n", Step, Ours, Peer, Ours / Peer,
                Ours <= Peer ? "(target met)" : "(target missed)");
  } else {
    std::printf("%-28s storage %8.2f ms\n", Step, Ours);
  }
}

}  // namespace

int main() {
  const std::vector<TRow> rows = MakeRows();
  const std::vector<Integer> probes = MakeProbes(rows);
  std::printf("%d records of Integer, String and Float; best of %d runs\n", kRecords, kRuns);
  const TFigures ours = RunStorage(rows, probes);
  TFigures peer;
#ifdef K58_BENCH_SQLITE
  std::printf("SQLite %s in memory\n", sqlite3_libversion());
  peer = RunSqlite(rows, probes);
#else
  std::printf("SQLite is not installed (libsqlite3-dev): no peer figures\n");
#endif
  Print("fill", ours.Fill, peer.Fill);
  const char* columns[3] = {"sort by Integer", "sort by String", "sort by Float"};
  for (int column = 0; column < 3; ++column) Print(columns[column], ours.Sort[column], peer.Sort[column]);
  Print("100,000 key lookups", ours.Lookup, peer.Lookup);
  if (peer.Lookup > 0 && ours.Found != peer.Found)
    std::printf("the lookups disagree: %ld found here, %ld by SQLite\n", ours.Found, peer.Found);
  return 0;
}
