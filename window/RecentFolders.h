#pragma once
// The folders the window's file dialogs last used, kept between runs in the
// tool's settings (QSettings under the application's name), so that the
// operator is not sent back to the program's folder every time.

#include <QString>

namespace recentfolders {

enum class Dialog { Open, Export, KeptRows };

// The folder `dialog` last used; "" when none was kept or it is gone.
QString folder(Dialog dialog);
// Keeps the folder of `filePath` for `dialog`; an empty path keeps nothing.
void remember(Dialog dialog, const QString &filePath);

}  // namespace recentfolders
