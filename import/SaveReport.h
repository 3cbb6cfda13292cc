#pragma once
// The texts the operator reads about a bulk save.

#include <QString>

#include "import/BulkImport.h"

namespace bulksave {

// The guard's message when no grid row has a name.
QString guardMessage();

// The completion message box text. Exactly "Toplu Ürün Eklendi" when every
// product row landed; that line and the counts ("Eklenen ürün: 38", then
// "Atlanan satır: 2 (5, 9)", "Tekrar olduğu için eklenmeyen: 3 (4, 7, 8)" and
// "Hatalı satır: 1 (12: <message>)" when not
// zero, long lists ending in "…") otherwise; the no-connection line and its
// reason when the database was not open.
QString completionMessage(const SaveResult &result);

}  // namespace bulksave
