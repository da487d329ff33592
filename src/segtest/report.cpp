#include "segtest/report.h"
