#include "segtest/dlgkeys.h"
