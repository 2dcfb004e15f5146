#include "platform/rt_error.hpp"
namespace rt {
std::string error_description(int n) {
    switch (n) {
    case ErrInvalidCall: return "Invalid procedure call or argument";
    case ErrOverflow: return "Overflow";
    case ErrOutOfMemory: return "Out of memory";
    case ErrSubscript: return "Subscript out of range";
    case ErrDivisionByZero: return "Division by zero";
    case ErrTypeMismatch: return "Type mismatch";
    case ErrInternal: return "Internal error";
    case ErrFileNotFound: return "File not found";
    case ErrFileAlreadyOpen: return "File already open";
    case ErrInputPastEnd: return "Input past end of file";
    case ErrPermissionDenied: return "Permission denied";
    case ErrPathFileAccess: return "Path/File access error";
    case ErrPathNotFound: return "Path not found";
    case ErrObjectVariable: return "Object variable or With block variable not set";
    case ErrElementMissing: return "Control array element does not exist";
    case ErrAlreadyLoaded: return "Object already loaded";
    case ErrCannotUnload: return "Can't unload controls created at design time";
    case ErrInvalidPicture: return "Invalid picture";
    case ErrCancel: return "Cancel was selected.";
    case ErrConnectionRefused: return "Connection is forcefully rejected";
    case ErrHostNotFound: return "Authoritative answer: Host not found";
    case ErrAddressInUse: return "Address in use";
    case ErrTimedOut: return "Connection timed out";
    case ErrConnectionReset: return "Connection reset by remote side";
    case ErrSocketGeneric: return "Socket error";
    case ErrReceiveBufferFull: return "Receive buffer full";
    case ErrSocketWrongState: return "Wrong connection state for the requested operation";
    case ErrSocketInvalidOperation: return "Invalid operation at current state";
    default: return "";
    }
}
}  // namespace rt
