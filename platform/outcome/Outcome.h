#pragma once
// How an operation that can fail went, in one shape for the whole engine.

#include <QString>

#include <utility>

namespace platform {

// A success carries nothing. A failure carries a reason, a short Turkish
// sentence the operator may be shown ("ayar dosyası okunamadı"), and a
// detail: the words of the file, library or database underneath, as they
// came, for logs, reports and the end of a message. Either may be empty on a
// failure; a failure stays a failure whatever its texts say.
class Outcome {
public:
    Outcome() = default;

    static Outcome failure(QString reason, QString detail = {})
    {
        Outcome outcome;
        outcome.m_failed = true;
        outcome.m_reason = std::move(reason);
        outcome.m_detail = std::move(detail);
        return outcome;
    }

    // Makes this, the outcome part of a result that carries more, `outcome`.
    void setOutcome(Outcome outcome) { *this = std::move(outcome); }

    bool ok() const { return !m_failed; }
    const QString &reason() const { return m_reason; }
    const QString &detail() const { return m_detail; }

    // Reason and detail on one line ("reason: detail"), or whichever is
    // given: what a message or a log prints. "" on a success.
    QString text() const
    {
        if (m_reason.isEmpty() || m_detail.isEmpty())
            return m_reason.isEmpty() ? m_detail : m_reason;
        return m_reason + QStringLiteral(": ") + m_detail;
    }

private:
    bool m_failed = false;
    QString m_reason;
    QString m_detail;
};

// What an operation that reads something gives: its value, and how the
// reading went. A failure may still hold what was read before it.
template <typename T>
struct Result : Outcome {
    T value{};

    Result() = default;
    // A value alone is a success, so that a reader can `return rows;`.
    Result(T read) : value(std::move(read)) {}
    Result(Outcome outcome, T read = T{}) : Outcome(std::move(outcome)), value(std::move(read)) {}
};

}  // namespace platform
