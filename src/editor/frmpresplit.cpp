#include "editor/frmpresplit.h"
