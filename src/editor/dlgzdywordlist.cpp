#include "editor/dlgzdywordlist.h"
