#pragma once
// The error model the programs rely on: numbered runtime errors that a procedure can trap,
// skip or report, and the program end that nothing may trap.
#include <exception>
#include <string>

namespace rt {

// Error numbers as the programs test and report them.
enum ErrorNumber : int {
    ErrInvalidCall = 5,            // "Invalid procedure call or argument"
    ErrOverflow = 6,               // "Overflow"
    ErrOutOfMemory = 7,            // "Out of memory"
    ErrSubscript = 9,              // "Subscript out of range"
    ErrDivisionByZero = 11,        // "Division by zero"
    ErrTypeMismatch = 13,          // "Type mismatch"
    ErrInternal = 51,              // "Internal error"
    ErrFileNotFound = 53,          // "File not found"
    ErrFileAlreadyOpen = 55,       // "File already open"
    ErrInputPastEnd = 62,          // "Input past end of file"
    ErrPermissionDenied = 70,      // "Permission denied"
    ErrPathFileAccess = 75,        // "Path/File access error"
    ErrPathNotFound = 76,          // "Path not found"
    ErrObjectVariable = 91,        // "Object variable or With block variable not set"
    ErrElementMissing = 340,       // "Control array element does not exist"
    ErrAlreadyLoaded = 360,        // "Object already loaded"
    ErrCannotUnload = 362,         // "Can't unload controls created at design time"
    ErrInvalidPicture = 481,       // "Invalid picture"
    ErrCancel = 32755,             // "Cancel was selected."
    // Socket and page errors of the platform layer.
    ErrConnectionRefused = 10061,  // "Connection is forcefully rejected"
    ErrHostNotFound = 11001,       // "Authoritative answer: Host not found"
    ErrAddressInUse = 10048,       // "Address in use"
    ErrTimedOut = 10060,           // "Connection timed out"
    ErrConnectionReset = 10054,    // "Connection reset by remote side"
    ErrSocketGeneric = 10000,      // "Socket error"
    ErrReceiveBufferFull = 10055,  // "Receive buffer full"
    ErrSocketWrongState = 40006,   // "Wrong connection state for the requested operation"
    ErrSocketInvalidOperation = 40020,  // "Invalid operation at current state"
};

// The standard description of an error number ("" for numbers we do not name).
std::string error_description(int number);

struct RuntimeError : std::exception {
    int number;
    std::string description;

    explicit RuntimeError(int n) : number(n), description(error_description(n)) {}
    RuntimeError(int n, std::string d) : number(n), description(std::move(d)) {}
    const char* what() const noexcept override { return description.c_str(); }
};

}  // namespace rt

namespace platform {

// Thrown by App::end(): unwinds every handler to the event loop, which then stops. It is not a
// std::exception, so that no "skip the failing step" catch can swallow it.
struct ProgramEnd {};

}  // namespace platform
