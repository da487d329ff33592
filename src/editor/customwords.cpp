#include "editor/customwords.h"
