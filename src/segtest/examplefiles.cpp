#include "segtest/examplefiles.h"
