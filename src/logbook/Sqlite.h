#pragma once

#include <QString>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

// A thin owner of an SQLite connection and its prepared statements. Texts go in and out as
// UTF-8; every failure is reported by its result (false, nothing) with the database's message
// in ErrorText(), never thrown.
namespace orvanrx::sql {

class Statement;

class Database {
public:
    Database() = default;
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;
    Database(Database&& other) noexcept;
    Database& operator=(Database&& other) noexcept;
    ~Database();

    // Opens (creating when `create`) the database at path. Waits up to `busyTimeoutMs` for
    // another connection's lock before a statement gives up.
    bool Open(const QString& path, bool create, int busyTimeoutMs);
    void Close();
    bool IsOpen() const { return db_ != nullptr; }

    // Runs one or more statements without results.
    bool Exec(const char* sql);
    // The first column of the first row of a query, as an integer.
    std::optional<std::int64_t> QueryInt(const char* sql);

    std::int64_t LastInsertId() const;
    int Changes() const;
    QString ErrorText() const;
    sqlite3* Handle() const { return db_; }

private:
    sqlite3* db_ = nullptr;
};

// A transaction that rolls back unless committed.
class Transaction {
public:
    // BEGIN IMMEDIATE: takes the write lock now, so a busy database is waited for here.
    explicit Transaction(Database& db);
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    ~Transaction();
    bool Begun() const { return begun_; }
    bool Commit();

private:
    Database& db_;
    bool begun_ = false;
    bool done_ = false;
};

class Statement {
public:
    Statement() = default;
    Statement(Database& db, const char* sql);
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    Statement(Statement&& other) noexcept;
    Statement& operator=(Statement&& other) noexcept;
    ~Statement();

    bool Ok() const { return stmt_ != nullptr; }

    // Parameters count from 1. A null QString binds an empty text, like an empty one. A text
    // stays with the statement until it is bound again (a move clears the parameters).
    void Bind(int index, const QString& text);
    void BindUtf8(int index, const std::string& text);
    void Bind(int index, std::int64_t value);
    void Bind(int index, int value) { Bind(index, static_cast<std::int64_t>(value)); }
    void Bind(int index, std::optional<double> value);
    void BindNull(int index);

    // The next row: true while there is one; false at the end or on an error (Failed()).
    bool Step();
    // Runs a statement without results; true when it completed.
    bool Run();
    bool Failed() const { return failed_; }
    // Back to the start with the parameters cleared.
    void Reset();

    // Columns count from 0.
    QString Text(int column) const;
    std::int64_t Int(int column) const;
    std::optional<double> Real(int column) const;
    bool IsNull(int column) const;

private:
    sqlite3_stmt* stmt_ = nullptr;
    bool failed_ = false;
    std::vector<std::string> texts_;  // each text parameter's UTF-8, as bound
};

}  // namespace orvanrx::sql
