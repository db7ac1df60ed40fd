#include "imports/gerber_import.h"

std::unique_ptr<CModel> g_pGgtModel;
int g_bGgtModelRead = 1;
