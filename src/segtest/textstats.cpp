#include "segtest/textstats.h"
