// The card process and pty helpers of the transport tests, built into this
// test program too.
#include "transport/cardprocess.cpp"
#include "transport/ptypair.cpp"
// The virtual card's text-program memory, tested on its own.
#include "../../tools/card/textprograminbox.cpp"
