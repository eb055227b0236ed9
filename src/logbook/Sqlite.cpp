#include "logbook/Sqlite.h"

#include <sqlite3.h>

#include <QFile>
#include <utility>

namespace orvanrx::sql {

Database::Database(Database&& other) noexcept : db_(std::exchange(other.db_, nullptr)) {}

Database& Database::operator=(Database&& other) noexcept {
    if (this != &other) {
        Close();
        db_ = std::exchange(other.db_, nullptr);
    }
    return *this;
}

Database::~Database() {
    Close();
}

bool Database::Open(const QString& path, bool create, int busyTimeoutMs) {
    Close();
    const QByteArray name = QFile::encodeName(path);
    const int flags =
        SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0) | SQLITE_OPEN_NOMUTEX;
    if (sqlite3_open_v2(name.constData(), &db_, flags, nullptr) != SQLITE_OK) {
        // A failed open still gives a handle that holds the message.
        return false;
    }
    sqlite3_busy_timeout(db_, busyTimeoutMs);
    sqlite3_extended_result_codes(db_, 1);
    return true;
}

void Database::Close() {
    if (db_) {
        sqlite3_close_v2(db_);
        db_ = nullptr;
    }
}

bool Database::Exec(const char* sql) {
    return db_ && sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

std::optional<std::int64_t> Database::QueryInt(const char* sql) {
    Statement statement(*this, sql);
    if (!statement.Step()) {
        return std::nullopt;
    }
    return statement.Int(0);
}

std::int64_t Database::LastInsertId() const {
    return db_ ? sqlite3_last_insert_rowid(db_) : 0;
}

int Database::Changes() const {
    return db_ ? sqlite3_changes(db_) : 0;
}

QString Database::ErrorText() const {
    return db_ ? QString::fromUtf8(sqlite3_errmsg(db_)) : QStringLiteral("not open");
}

Transaction::Transaction(Database& db) : db_(db) {
    begun_ = db_.Exec("BEGIN IMMEDIATE");
}

Transaction::~Transaction() {
    if (begun_ && !done_) {
        db_.Exec("ROLLBACK");
    }
}

bool Transaction::Commit() {
    if (!begun_ || done_) {
        return false;
    }
    done_ = db_.Exec("COMMIT");
    return done_;
}

Statement::Statement(Database& db, const char* sql) {
    if (!db.Handle() || sqlite3_prepare_v3(db.Handle(), sql, -1, SQLITE_PREPARE_PERSISTENT, &stmt_,
                                           nullptr) != SQLITE_OK) {
        sqlite3_finalize(stmt_);
        stmt_ = nullptr;
        failed_ = true;
        return;
    }
    texts_.resize(static_cast<std::size_t>(sqlite3_bind_parameter_count(stmt_)));
}

Statement::Statement(Statement&& other) noexcept
    : stmt_(std::exchange(other.stmt_, nullptr)),
      failed_(other.failed_),
      texts_(std::move(other.texts_)) {
    // The moved texts may have moved within their strings: bound again before the next step.
    if (stmt_) {
        sqlite3_clear_bindings(stmt_);
    }
}

Statement& Statement::operator=(Statement&& other) noexcept {
    if (this != &other) {
        sqlite3_finalize(stmt_);
        stmt_ = std::exchange(other.stmt_, nullptr);
        failed_ = other.failed_;
        texts_ = std::move(other.texts_);
        if (stmt_) {
            sqlite3_clear_bindings(stmt_);
        }
    }
    return *this;
}

Statement::~Statement() {
    sqlite3_finalize(stmt_);
}

void Statement::Bind(int index, const QString& text) {
    if (!stmt_) {
        return;
    }
    if (index < 1 || index > static_cast<int>(texts_.size())) {
        sqlite3_bind_text(stmt_, index, "", 0, SQLITE_STATIC);  // SQLite names the error
        return;
    }
    // The database holds UTF-8: the text is converted here, into the parameter's own buffer,
    // which SQLite reads without a copy of its own. Race-log texts are ASCII nearly always.
    std::string& utf8 = texts_[static_cast<std::size_t>(index - 1)];
    const qsizetype size = text.size();
    utf8.resize(static_cast<std::size_t>(size));
    const QChar* units = text.constData();
    bool ascii = true;
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t unit = units[i].unicode();
        if (unit >= 0x80) {
            ascii = false;
            break;
        }
        utf8[static_cast<std::size_t>(i)] = static_cast<char>(unit);
    }
    if (!ascii) {
        const QByteArray bytes = text.toUtf8();
        utf8.assign(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    }
    sqlite3_bind_text(stmt_, index, utf8.data(), static_cast<int>(utf8.size()), SQLITE_STATIC);
}

void Statement::BindUtf8(int index, const std::string& text) {
    if (stmt_) {
        sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()),
                          SQLITE_TRANSIENT);
    }
}

void Statement::Bind(int index, std::int64_t value) {
    if (stmt_) {
        sqlite3_bind_int64(stmt_, index, value);
    }
}

void Statement::Bind(int index, std::optional<double> value) {
    if (!stmt_) {
        return;
    }
    if (value) {
        sqlite3_bind_double(stmt_, index, *value);
    } else {
        sqlite3_bind_null(stmt_, index);
    }
}

void Statement::BindNull(int index) {
    if (stmt_) {
        sqlite3_bind_null(stmt_, index);
    }
}

bool Statement::Step() {
    if (!stmt_) {
        failed_ = true;
        return false;
    }
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) {
        return true;
    }
    failed_ = rc != SQLITE_DONE;
    return false;
}

bool Statement::Run() {
    Step();
    const bool ok = !failed_;
    Reset();
    return ok;
}

void Statement::Reset() {
    if (stmt_) {
        sqlite3_reset(stmt_);
        sqlite3_clear_bindings(stmt_);
    }
    failed_ = !stmt_;
}

QString Statement::Text(int column) const {
    const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
    if (!data) {
        return {};
    }
    return QString::fromUtf8(data, sqlite3_column_bytes(stmt_, column));
}

std::int64_t Statement::Int(int column) const {
    return sqlite3_column_int64(stmt_, column);
}

std::optional<double> Statement::Real(int column) const {
    if (sqlite3_column_type(stmt_, column) == SQLITE_NULL) {
        return std::nullopt;
    }
    return sqlite3_column_double(stmt_, column);
}

bool Statement::IsNull(int column) const {
    return sqlite3_column_type(stmt_, column) == SQLITE_NULL;
}

}  // namespace orvanrx::sql
