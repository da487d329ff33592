#include "segtest/userkeys.h"
