// The card process and pty helpers of the transport tests, built into this
// test program too.
#include "transport/cardprocess.cpp"
#include "transport/ptypair.cpp"
