// The helper that runs ledsign-card as a child process lives with the
// transport tests; the UDP tests build the same source rather than a copy.
#include "transport/cardprocess.cpp"
