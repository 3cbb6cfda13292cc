#pragma once
// What an OdbcDriver shares with the results it creates: its connection
// handle and the count of requests sent to the server. A result outlives a
// closed or reopened connection safely: it frees its statement only while
// the connection it was allocated on is still open.

#include <QtGlobal>

#include "platform/ado/OdbcApi.h"

namespace ado {

struct OdbcSession {
    SQLHENV environment = SQL_NULL_HENV;
    SQLHDBC connection = SQL_NULL_HDBC;
    // Tells one opening of the connection from the next.
    quint64 opening = 0;
    quint64 roundTrips = 0;
    bool inTransaction = false;
};

}  // namespace ado
