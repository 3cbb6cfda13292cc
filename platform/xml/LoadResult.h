#pragma once
// The outcome of loading an XML file, as a value the caller can test.

#include <QString>

namespace xml {

// True when the file was read into the document; otherwise `status` names
// the step that failed and `description` says why.
struct LoadResult {
    enum Status {
        Loaded,
        Unreadable,       // the file cannot be opened or read
        UnknownEncoding,  // the declared encoding is one Qt cannot convert
        InvalidBytes,     // the bytes are not valid in the declared encoding
        Malformed,        // the text is not well-formed XML
    };
    Status status = Loaded;
    QString description;

    explicit operator bool() const { return status == Loaded; }
};

}  // namespace xml
