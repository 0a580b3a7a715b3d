/* The public header compiles on its own with every warning an error (C89 and C11). */
#include "kavrin.h"

int kavrin_header_check_c(void) { return KAVRIN_MSG_EXPLORER + KAVRIN_REQ_OPEN_ONE; }
