#include "segtest/dlguserkeys.h"
