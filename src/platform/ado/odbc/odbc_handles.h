#pragma once

// ODBC handles that free themselves.

#include <sql.h>
#include <sqlext.h>

#include <utility>

namespace kl::ado::odbc {

template <SQLSMALLINT Kind>
class Handle {
  public:
    Handle() = default;
    ~Handle() { reset(); }
    Handle(Handle&& other) noexcept
        : handle_(std::exchange(other.handle_, SQLHANDLE{SQL_NULL_HANDLE})) {}
    Handle& operator=(Handle&& other) noexcept {
        if (this != &other) {
            reset();
            handle_ = std::exchange(other.handle_, SQLHANDLE{SQL_NULL_HANDLE});
        }
        return *this;
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;

    static constexpr SQLSMALLINT kind = Kind;

    SQLRETURN allocate(SQLHANDLE parent) {
        reset();
        return SQLAllocHandle(Kind, parent, &handle_);
    }
    SQLHANDLE get() const { return handle_; }
    explicit operator bool() const { return handle_ != SQL_NULL_HANDLE; }
    void reset() {
        if (handle_ != SQL_NULL_HANDLE) SQLFreeHandle(Kind, handle_);
        handle_ = SQL_NULL_HANDLE;
    }

  private:
    SQLHANDLE handle_ = SQL_NULL_HANDLE;
};

using EnvironmentHandle = Handle<SQL_HANDLE_ENV>;
using StatementHandle = Handle<SQL_HANDLE_STMT>;

// A connection handle, disconnected before it is freed: a handle still
// connected cannot be freed, and its server session would linger.
class ConnectionHandle {
  public:
    ConnectionHandle() = default;
    ~ConnectionHandle() { reset(); }
    ConnectionHandle(const ConnectionHandle&) = delete;
    ConnectionHandle& operator=(const ConnectionHandle&) = delete;

    static constexpr SQLSMALLINT kind = SQL_HANDLE_DBC;

    SQLRETURN allocate(SQLHANDLE environment) {
        reset();
        return handle_.allocate(environment);
    }
    SQLHANDLE get() const { return handle_.get(); }
    explicit operator bool() const { return static_cast<bool>(handle_); }
    void setConnected() { connected_ = true; }
    bool connected() const { return connected_; }
    void reset() {
        if (connected_ && !SQL_SUCCEEDED(SQLDisconnect(handle_.get()))) {
            // A transaction still open keeps the connection: end it first.
            SQLEndTran(SQL_HANDLE_DBC, handle_.get(), SQL_ROLLBACK);
            SQLDisconnect(handle_.get());
        }
        connected_ = false;
        handle_.reset();
    }

  private:
    Handle<SQL_HANDLE_DBC> handle_;
    bool connected_ = false;
};

}  // namespace kl::ado::odbc
