#pragma once

#include <QString>

// The grid's data-source interface: a grid bound to an implementation reads
// its rows through it and hands every cell edit back through SetData.
// Implementations report a bad record or field by throwing an exception
// derived from std::exception; the grid catches it and shows an empty cell
// (or keeps the old value on an edit).
class IVSFlexDataSource {
public:
    virtual ~IVSFlexDataSource() = default;

    // Number of records, one grid row each below the fixed rows.
    virtual int GetRecordCount() = 0;
    // Number of fields, one grid column each.
    virtual int GetFieldCount() = 0;
    // Heading of a field, shown in the fixed row.
    virtual QString GetFieldName(int Field) = 0;
    // Text of one field of one record (Record counts from 0).
    virtual QString GetData(int Field, int Record) = 0;
    // Stores an edit of one field of one record.
    virtual void SetData(int Field, int Record, const QString &newData) = 0;
};
