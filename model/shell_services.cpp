#include "model/shell_services.h"

IWorkWindow* g_pWorkWindow = nullptr;
IPatternListBox* g_pListPane = nullptr;
IChildFrame* g_pChildFrame = nullptr;

int32_t GetWorkWindowLoadMode() { return g_pWorkWindow ? g_pWorkWindow->LoadMode : 0; }
