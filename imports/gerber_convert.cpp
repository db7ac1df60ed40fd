#include "imports/gerber_model.h"

CGgtImportContext::CGgtImportContext() : writeSteps(kImportOptions[6]) {}

void CModel::ConvertReadPiece(CGgtImportContext&, CPiece&) {}
void CModel::BuildPieces(CGgtImportContext&) {}
