#include <gtest/gtest.h>

#include "platform/outcome/Outcome.h"

using platform::Outcome;

TEST(Outcome, a_failure_stays_one_whatever_its_texts_and_text_joins_what_it_has)
{
    const struct {
        Outcome outcome;
        bool ok;
        const char16_t *text;
    } cases[] = {
        {Outcome(), true, u""},
        {Outcome::failure(u"dosya okunamadı"_qs, u"No such file"_qs), false, u"dosya okunamadı: No such file"},
        {Outcome::failure(u"veritabanı açık değil"_qs), false, u"veritabanı açık değil"},
        {Outcome::failure({}, u"disk full"_qs), false, u"disk full"},
        {Outcome::failure({}), false, u""},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(c.outcome.ok(), c.ok) << c.outcome.text().toStdString();
        EXPECT_EQ(c.outcome.text(), QString::fromUtf16(c.text));
    }
}
