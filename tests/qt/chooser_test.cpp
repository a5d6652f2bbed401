// The file chooser's preview panel on the real front end: the arrow keys walk the file list and
// the panel follows, a picture larger than the panel is scaled to fit inside its frame, and a
// file without a picture shows its text in the picture's place.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>

#include <cstdio>
#include <cstring>
#include <memory>

#include "platform/bitmap.h"
#include "platform/platform.h"
#include "tests/qt/support.h"

namespace {

// A.TXL gets a picture far larger than the panel, B.TXL none.
void Preview(const char* path, platform::FilePreview& preview) {
    static std::unique_ptr<platform::Bitmap> picture;
    const bool a = std::strstr(path, "A.TXL") != nullptr;
    if (a) {
        picture = std::make_unique<platform::Bitmap>(900, 600);
        preview.picture = picture.get();
    }
    std::snprintf(preview.text, sizeof preview.text, a ? "Alpha\nLevels: 3" : "Beta\nCannot be played: <no>");
}

QAbstractItemView* FileList(QWidget* dialog) {
    for (QAbstractItemView* view : dialog->findChildren<QAbstractItemView*>())
        if ((view->objectName() == "listView" || view->objectName() == "treeView") && view->isVisible()) return view;
    return nullptr;
}

TEST(FileChooserPreview, ArrowsMoveThePreviewWhichFitsItsFrame) {
    qttest::App();
    const QString dir = QDir::tempPath() + QStringLiteral("/tolbex-qt-chooser");
    QDir(dir).removeRecursively();
    QDir().mkpath(dir);
    for (const char* name : {"/A.TXL", "/B.TXL"}) ASSERT_TRUE(QFile(dir + QLatin1String(name)).open(QIODevice::WriteOnly));
    QString afterA, afterB, pictureTextB;
    QSize pixmapA, roomA;
    bool listHadFocus = false;
    qttest::WhenModal([&](QWidget* dialog) {
        // The folder is read in the background: wait for both files before pressing keys.
        auto* poll = new QTimer(dialog);
        QObject::connect(poll, &QTimer::timeout, [&, dialog, poll, polls = 0]() mutable {
            QAbstractItemView* view = FileList(dialog);
            if (++polls < 400 && (!view || view->model()->rowCount(view->rootIndex()) < 2)) return;
            poll->stop();
            if (!view) return;
            listHadFocus = view->hasFocus();
            auto* picture = dialog->findChild<QLabel*>("previewPicture");
            auto* text = dialog->findChild<QLabel*>("previewText");
            if (!picture || !text) return;
            view->setCurrentIndex(QModelIndex());
            QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
            QApplication::sendEvent(view, &down);
            afterA = text->text();
            pixmapA = picture->pixmap().size();
            roomA = picture->contentsRect().size();
            QApplication::sendEvent(view, &down);
            afterB = text->text();
            pictureTextB = picture->text();
            dialog->close();
        });
        poll->start(10);
    });
    char file[500] = "";
    const QByteArray initial = dir.toUtf8();
    platform::OpenFileName ofn;
    ofn.filterName = "Layouts (*.TXL)", ofn.filterPattern = "*.TXL";
    ofn.file = file, ofn.fileSize = sizeof file;
    ofn.initialDir = initial.constData(), ofn.flags = platform::OFN_FILEMUSTEXIST, ofn.preview = Preview;
    EXPECT_FALSE(platform::GetOpenFileName(ofn));
    EXPECT_TRUE(listHadFocus);
    EXPECT_EQ(afterA, QStringLiteral("<b>Alpha</b><br>Levels: 3"));
    ASSERT_FALSE(pixmapA.isEmpty());   // scaled into the frame, not cut by it, and not stretched
    EXPECT_TRUE(pixmapA.width() <= roomA.width() && pixmapA.height() <= roomA.height()) << roomA.width();
    EXPECT_EQ(pixmapA.width() * 2, pixmapA.height() * 3);
    EXPECT_EQ(afterB, QString());
    EXPECT_EQ(pictureTextB, QStringLiteral("<b>Beta</b><br>Cannot be played: &lt;no&gt;"));
    QDir(dir).removeRecursively();
}

}  // namespace
