#include "editor/dlgzdycode.h"
