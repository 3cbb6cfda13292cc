#pragma once
// Platform file: the ODBC headers as each system needs them. Windows wants
// <windows.h> first; SQLWCHAR is UTF-16 there and with unixODBC, which the
// wide calls of this module rely on.

#include <QtGlobal>

#ifdef Q_OS_WIN
#include <windows.h>
#endif
#include <sql.h>
#include <sqlext.h>

static_assert(sizeof(SQLWCHAR) == sizeof(char16_t), "the ODBC wide calls must take UTF-16");
