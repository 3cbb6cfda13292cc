#pragma once
// Hides passwords in the messages a database driver returns, without
// touching anything else the operator needs to read.

#include <QString>
#include <QStringList>

namespace ado {

// `message` with "***" in place of
// - the value of every password keyword a connection string echoes back
//   (PWD={...}, Password="...", Password=... up to ";"), whatever it holds;
// - each of `secrets` (case-sensitive, longest first) where it stands whole:
//   not joined to a letter, digit or "_" on either side, and not inside any of
//   `keep` (any case), the server and database names the operator must see.
// Empty secrets and keep texts are ignored; a message without any is
// returned unchanged.
QString maskSecrets(const QString &message, QStringList secrets, const QStringList &keep = {});

}  // namespace ado
