// The public header compiles on its own with every warning an error (C++17).
#include "kavrin.h"

int kavrin_header_check_cxx() { return KAVRIN_MSG_EXPLORER + KAVRIN_REQ_OPEN_ONE; }
