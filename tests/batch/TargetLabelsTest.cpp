#include <QDir>

#include <gtest/gtest.h>

#include "batch/TargetImport.h"

TEST(TargetLabels, AFileIsNamedByAsMuchOfItsPathAsTellsItApart)
{
    const std::pair<QStringList, QStringList> cases[] = {
        {{"/srv/sube1/pos.db", "/srv/sube2/pos.db"}, {"sube1/pos.db", "sube2/pos.db"}},
        {{"/srv/pos.db", "/srv/kasa.db"}, {"pos.db", "kasa.db"}},
        // One path is the end of the other: both need every part, and are given whole.
        {{"/a/pos.db", "/b/a/pos.db"}, {"/a/pos.db", "/b/a/pos.db"}},
        {{"/s/1/veri/pos.db", "/s/2/veri/pos.db", "/s/2/yedek/pos.db"},
         {"1/veri/pos.db", "2/veri/pos.db", "yedek/pos.db"}},
        // The same file twice, and a target that is no file.
        {{"/srv/pos.db", "", "/srv/pos.db"}, {"pos.db", "", "pos.db"}},
    };
    for (const auto &[paths, labels] : cases) {
        SCOPED_TRACE(paths.join(u' ').toStdString());
        QStringList expected;
        for (const QString &label : labels)
            expected << QDir::toNativeSeparators(label);
        EXPECT_EQ(batch::distinctFileLabels(paths), expected);
    }
}
