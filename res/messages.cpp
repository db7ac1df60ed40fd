// Failure messages: a text from the string table under the program's title.

#include "platform/prompts.h"
#include "res/resource_ids.h"
#include "res/resources.h"

int ShowFailureMessage(UINT id) {
  return Prompts().MessageBox(LoadString(id), LoadString(IDS_APP_TITLE), MB_ICONEXCLAMATION);
}
