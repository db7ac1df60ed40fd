// Qt's own texts (the buttons of message boxes, the file and font dialogs)
// in Chinese, like the rest of the program.
#pragma once

class QCoreApplication;

// Installs Qt's Chinese translation (qtbase_zh_CN.qm from Qt's translations
// folder) on `app`, once; the translator lives as long as `app`. Without the
// file Qt keeps its English texts and the program starts all the same:
// false then.
bool InstallQtTranslation(QCoreApplication& app);
