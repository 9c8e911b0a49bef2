// The virtual card's text-program memory, tested on its own.
#include "../../tools/card/textprograminbox.cpp"
#include "../../tools/card/cardwire.cpp"
