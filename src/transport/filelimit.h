// The limit of open files of the program. Every card on the network holds a
// connection, and each connection is a file: the usual soft limit (1024)
// would stop the server long before a large fleet is on line.
#pragma once

namespace ledsign {

// Raises the soft limit of open files to the hard limit (or to the system's
// most when the hard limit is unlimited); returns the soft limit in force
// afterwards, or -1 when it cannot be read.
long raiseOpenFileLimit();

} // namespace ledsign
