#include "ui/listas.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <string>
#include <vector>

#include "main_app.h"

namespace {

// The folder list reads as the way from the drive down, then the subfolders
// in name order without regard to case; activating one shows it and tells
// Change.
TEST(FolderList, ShowsTheWayDownThenTheSubfoldersAndOpensOne) {
    TestApp();
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const std::string datos = tmp.path().toStdString() + "/datos";
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(datos + "/b")));
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(datos + "/A")));
    ui::ListaCarpetas l;
    int cambios = 0;
    QObject::connect(&l, &ui::ListaCarpetas::Change, [&] { ++cambios; });
    ASSERT_TRUE(l.SetPath(datos));
    std::vector<std::string> textos;
    for (int i = 0; i < l.count(); ++i) textos.push_back(l.item(i)->text().toStdString());
    ASSERT_GE(textos.size(), 3u);
    EXPECT_EQ(textos.front(), "/");
    EXPECT_EQ(textos[textos.size() - 3], "datos");
    EXPECT_EQ(textos[textos.size() - 2], "A");
    EXPECT_EQ(textos.back(), "b");
    EXPECT_EQ(l.currentItem()->text(), "datos");

    emit l.itemActivated(l.item(l.count() - 2));
    EXPECT_EQ(l.Path(), datos + "/A");
    emit l.itemActivated(l.item(0));
    EXPECT_EQ(l.Path(), "/");
    EXPECT_EQ(cambios, 2);
}

}  // namespace
