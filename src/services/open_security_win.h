#pragma once
// Security attributes for shared objects that other processes of the session must be able
// to open whatever account or integrity they run with: the access list grants everyone
// all access, not inherited, and the handle is not inheritable.

#include <windows.h>

namespace vellix {

// The process-wide attributes, built on first use; nullptr (default security) when they
// could not be built.
SECURITY_ATTRIBUTES* OpenSecurity();

}  // namespace vellix
