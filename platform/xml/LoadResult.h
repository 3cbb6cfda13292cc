#pragma once
// The outcome of loading an XML file, as a value the caller can test.

#include "platform/outcome/Outcome.h"

namespace xml {

// A success when the file was read into the document; otherwise `status`
// names the step that failed, the reason says it in Turkish and the detail
// in the words of the file system or the parser.
struct LoadResult : platform::Outcome {
    enum Status {
        Loaded,
        Unreadable,       // the file cannot be opened or read
        UnknownEncoding,  // the declared encoding is one Qt cannot convert
        InvalidBytes,     // the bytes are not valid in the declared encoding
        Malformed,        // the text is not well-formed XML
    };
    Status status = Loaded;

    LoadResult() = default;
    // A load that failed at `failedAt` (never Loaded), for `detail`.
    LoadResult(Status failedAt, QString detail)
        : Outcome(failure(reasonFor(failedAt), std::move(detail))), status(failedAt)
    {
    }

    explicit operator bool() const { return ok(); }

private:
    static QString reasonFor(Status status)
    {
        switch (status) {
        case Unreadable: return QStringLiteral("dosya okunamadı");
        case UnknownEncoding: return QStringLiteral("dosyanın bildirdiği kodlama tanınmıyor");
        case InvalidBytes: return QStringLiteral("dosyada kodlamasına uymayan baytlar var");
        case Malformed: return QStringLiteral("dosya geçerli bir XML değil");
        case Loaded: break;
        }
        return {};
    }
};

}  // namespace xml
