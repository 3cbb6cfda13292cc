#include <gtest/gtest.h>

#include <QStringList>

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

TEST(Outcome, a_result_that_failed_keeps_what_was_read_before)
{
    const platform::Result<QStringList> read(Outcome::failure(u"liste okunamadı"_qs), QStringList{u"Çay"_qs});
    EXPECT_FALSE(read.ok());
    EXPECT_EQ(read.value, QStringList{u"Çay"_qs});
    const platform::Result<QStringList> whole(QStringList{u"Su"_qs});
    EXPECT_TRUE(whole.ok());
}
