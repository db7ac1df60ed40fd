// The Gerber import command: the user says in what form the style comes
// (storage folder, export files, zip archive of export files), picks it, and
// the model read becomes the style's sizes and pieces.
#pragma once

#include <memory>

#include "imports/gerber_model.h"

// The model of the last Gerber import; null before the first.
extern std::unique_ptr<CModel> g_pGgtModel;
// 0 while a model is being read, 1 when reading has finished.
extern int g_bGgtModelRead;

// The whole command, dialogs included. Every dialog comes first: cancelling
// any of them, or closing one with nothing chosen, changes nothing (style,
// list pane, model, "TMP/"). A zip archive that cannot be unpacked shows its
// message and changes nothing either. Once a model is read, the style is
// cleared and the model becomes its sizes and pieces.
void GgtImportCommand();
