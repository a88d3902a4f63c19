#pragma once

// The error numbers a RunError carries, named once: the access layer's (ADO's
// own, the providers' HRESULTs) and the classic run-time errors the module's
// routines report as VB did. Other programs of the module and the operator's
// KVERR.LOG know the numbers, so they never change.

namespace kl::err {

// ADO's own errors, and the providers' HRESULTs as VB shows them (signed
// 32-bit values).
constexpr long hresult(unsigned long code) {
    return static_cast<long>(static_cast<int>(code));
}
inline constexpr long ObjectClosed = 3704;      // operation not allowed on a closed object
inline constexpr long AlreadyOpen = 3705;       // operation not allowed on an open object
inline constexpr long ConnectionClosed = 3709;  // connection closed or invalid
inline constexpr long NotAllowedInContext = 3219;
inline constexpr long ItemNotFound = 3265;
inline constexpr long EofOrBof = 3021;  // no current record
inline constexpr long ReadOnly = 3251;  // operation not supported by this cursor/lock
inline constexpr long ProviderFailure = hresult(0x80004005);
inline constexpr long Syntax = hresult(0x80040E14);
inline constexpr long NoSuchTable = hresult(0x80040E37);
inline constexpr long Constraint = hresult(0x80040E2F);
inline constexpr long RowChanged = hresult(0x80040E38);  // optimistic conflict
inline constexpr long Timeout = hresult(0x80040E31);
inline constexpr long DataOverflow = hresult(0x80040E57);  // text longer than the column
inline constexpr long Conversion = hresult(0x80040E07);    // value of the wrong type
inline constexpr long CantFetchBackward = hresult(0x80040E24);
inline constexpr long NoTransaction = hresult(0x8004D00E);  // commit/rollback without begin
inline constexpr long NativeNetwork = 11;                   // general network error
inline constexpr long NativeTruncation = 8152;              // data would be truncated

// The run-time's own errors.
inline constexpr long InvalidArgument = 5;      // invalid procedure call or argument
inline constexpr long Overflow = 6;             // a number too large for its type
inline constexpr long TypeMismatch = 13;        // a text that is not the number or date wanted
inline constexpr long FileNotFound = 53;        // also a program that cannot be started
inline constexpr long InvalidUseOfNull = 94;    // a Null read where a value was needed
inline constexpr long AutomationError = 440;    // an outside component failed
inline constexpr long DialogCancelled = 32755;  // the file dialog's Cancel

// Number 0 reads as "no error": the error notices show and log nothing for
// it. A failure whose notice the operator has already answered travels with
// it, so that leaving the routine shows nothing more.
inline constexpr long AlreadyShown = 0;

}  // namespace kl::err

// The access layer's code and its callers name them as the layer's own
// (ado::err::Timeout), as ADO's error codes are.
namespace kl::ado {
namespace err = kl::err;
}  // namespace kl::ado
