#pragma once

#include <QString>

namespace platform {

// The local form of a fixed Windows path such as "C:\Folder\File.txt".
// On Windows it is returned unchanged. Elsewhere the user's home folder
// stands in for the drive root: "C:\Folder\File.txt" becomes
// "<home>/Folder/File.txt". A text that is not a drive path is returned with
// its backslashes turned into slashes.
QString localPath(const QString &windowsPath);

}  // namespace platform
