// The card process and pty helpers of the transport tests, built into this
// program too rather than copied.
#include "transport/cardprocess.cpp"
#include "transport/ptypair.cpp"
